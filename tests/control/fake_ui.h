#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "control/run_controller.h"

namespace kestravin::testing {

/// Records every call of the controller in order; the options window holds `setup`, or
/// nothing usable when it is empty.
class FakeUi : public RunUi {
 public:
  std::vector<std::string> calls;
  std::vector<std::string> messages;
  std::vector<std::vector<std::string>> callsAtMessage;  // what had been called when each came
  std::optional<RunSetup> setup;
  RunController* controller = nullptr;  // receives the status repaint

  void drawStatusPanel() override { calls.push_back("drawStatusPanel"); }
  void tickBusy() override { calls.push_back("tickBusy"); }
  void resetBusy() override { calls.push_back("resetBusy"); }
  void refreshPlayerList() override { calls.push_back("refreshPlayerList"); }
  void clearPlayerList() override { calls.push_back("clearPlayerList"); }
  void drawPlayerDetails() override { calls.push_back("drawPlayerDetails"); }
  std::optional<RunSetup> readOptionFields() override {
    calls.push_back("readOptionFields");
    return setup;
  }
  void hideOptionsWindow() override { calls.push_back("hideOptionsWindow"); }
  void repaintStatusArea() override {
    calls.push_back("repaintStatusArea");
    if (controller) controller->requestStatusRedraw();
  }
  /// The report limits asked about: the report's name and the size it may reach.
  std::vector<std::pair<std::string, std::uint64_t>> limitsAsked;
  void askReportLimit(const std::string& name, std::uint64_t allowed) override {
    calls.push_back("askReportLimit");
    limitsAsked.emplace_back(name, allowed);
  }
  void showMessage(const std::string& text) override {
    messages.push_back(text);
    callsAtMessage.push_back(calls);
  }
};

}  // namespace kestravin::testing
