#pragma once

#include <string>
#include <vector>

#include "engine/run_controller.h"

namespace kestravin::testing {

/// Records every call of the controller in order; the option fields are plain texts.
class FakeUi : public RunUi {
 public:
  std::vector<std::string> calls;
  std::vector<std::string> messages;
  OptionFields fields;
  bool outputToFile = false;
  RunController* controller = nullptr;  // receives the status repaint

  void drawStatusPanel() override { calls.push_back("drawStatusPanel"); }
  void tickBusy() override { calls.push_back("tickBusy"); }
  void resetBusy() override { calls.push_back("resetBusy"); }
  void refreshPlayerList() override { calls.push_back("refreshPlayerList"); }
  void clearPlayerList() override { calls.push_back("clearPlayerList"); }
  void drawPlayerDetails() override { calls.push_back("drawPlayerDetails"); }
  OptionFields readOptionFields() override { return fields; }
  void writeOptionFields(const OptionFields& f) override {
    calls.push_back("writeOptionFields");
    fields = f;
  }
  void hideOptionsWindow() override { calls.push_back("hideOptionsWindow"); }
  void repaintStatusArea() override {
    calls.push_back("repaintStatusArea");
    if (controller) controller->requestStatusRedraw();
  }
  bool outputToFileChecked() override { return outputToFile; }
  void showMessage(const std::string& text) override { messages.push_back(text); }
};

}  // namespace kestravin::testing
