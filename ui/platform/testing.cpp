#include "ui/platform/testing.h"

#include <algorithm>

namespace kestravin::platform::testing {

TestingPlatform::TestingPlatform(Platform& real, std::vector<std::string> refusedClasses)
    : real_(real), refusedClasses_(std::move(refusedClasses)) {}

bool TestingPlatform::refused(const std::string& name) const {
  return std::find(refusedClasses_.begin(), refusedClasses_.end(), name) != refusedClasses_.end();
}

bool TestingPlatform::registerClass(const std::string& name) {
  return !refused(name) && real_.registerClass(name);
}

// A class registered before (by an earlier start-up in the same process) stays registered
// in the real platform: its windows are refused here too.
std::unique_ptr<Window> TestingPlatform::createWindow(const WindowSpec& desc) {
  return refused(desc.className) ? nullptr : real_.createWindow(desc);
}

void TestingPlatform::messageBox(const std::string& text, const std::string& caption) {
  if (messages_) {
    messages_(text, caption);
  } else {
    real_.messageBox(text, caption);
  }
}

void TestingPlatform::askOkCancel(const std::string& text, const std::string& caption,
                                  std::function<void(bool ok)> answer) {
  if (questions_) {
    answer(questions_(text, caption));
  } else {
    real_.askOkCancel(text, caption, std::move(answer));
  }
}

std::optional<std::string> TestingPlatform::askSaveFileName(const SaveDialogSpec& request) {
  return saveDialogs_ ? saveDialogs_(request) : real_.askSaveFileName(request);
}

}  // namespace kestravin::platform::testing
