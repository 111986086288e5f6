#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/run_ui.h"

namespace kestravin {

/// The user interface of a run without windows: the option fields are plain texts, "Output
/// to File" is a flag, and messages are collected for the caller to print.
class HeadlessUi : public RunUi {
 public:
  HeadlessUi(OptionFields fields, bool outputToFile)
      : fields_(std::move(fields)), outputToFile_(outputToFile) {}

  /// Called when the status area is repainted (the controller's requestStatusRedraw).
  void onStatusRepaint(std::function<void()> callback) { statusRepaint_ = std::move(callback); }

  const std::vector<std::string>& messages() const { return messages_; }

  void drawStatusPanel() override {}
  void tickBusy() override {}
  void resetBusy() override {}
  void refreshPlayerList() override {}
  void clearPlayerList() override {}
  void drawPlayerDetails() override {}
  OptionFields readOptionFields() override { return fields_; }
  void writeOptionFields(const OptionFields& fields) override { fields_ = fields; }
  void hideOptionsWindow() override {}
  void repaintStatusArea() override {
    if (statusRepaint_) statusRepaint_();
  }
  bool outputToFileChecked() override { return outputToFile_; }
  void showMessage(const std::string& text) override { messages_.push_back(text); }

 private:
  OptionFields fields_;
  bool outputToFile_;
  std::function<void()> statusRepaint_;
  std::vector<std::string> messages_;
};

}  // namespace kestravin
