#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/platform/platform.h"

// What tests and measuring tools do to the windows as a user would, and what they read back.
// Each backend implements the free functions in a testing library of its own, which only the
// tests and tools link; the program never includes this header.
namespace kestravin::platform::testing {

/// Clicks a button of this backend as the user would: its window's handler hears of it.
void click(Button& button);
/// Clicks a check box as the user would: its state toggles and its window's handler hears.
void click(CheckBox& box);
/// Types one character at the end of the field as the user would; false when it is refused.
bool type(EditField& field, char c);
/// Selects a row (-1 for none) as the user would, which notifies the list's window.
void userSelect(ListBox& list, int row);
/// The colour of one pixel of a buffer of this backend; black outside the buffer.
Rgb pixel(const Buffer& buffer, Point at);
/// The colour shown at a point of a window's client area; black where nothing is shown.
Rgb shownPixel(Window& window, Point at);

/// A platform that passes everything on to a real one, except that message boxes go to a
/// handler (when one is set) and the named window classes are refused: registering one
/// fails, and no window of one is made.
class TestingPlatform : public Platform {
 public:
  using MessageHandler = std::function<void(const std::string& text, const std::string& caption)>;

  explicit TestingPlatform(Platform& real, std::vector<std::string> refusedClasses = {});

  /// Message boxes go to `handler` from now on; an empty one shows them again.
  void setMessageHandler(MessageHandler handler) { messages_ = std::move(handler); }
  /// Questions go to `handler`, which answers them, from now on; an empty one asks the user.
  using QuestionHandler = std::function<bool(const std::string& text, const std::string& caption)>;
  void setQuestionHandler(QuestionHandler handler) { questions_ = std::move(handler); }

  bool registerClass(const std::string& name) override;
  std::unique_ptr<Window> createWindow(const WindowSpec& desc) override;
  std::unique_ptr<Buffer> createBuffer(Size size) override { return real_.createBuffer(size); }
  std::unique_ptr<Font> createFont(const FontSpec& desc) override { return real_.createFont(desc); }
  void messageBox(const std::string& text, const std::string& caption) override;
  void askOkCancel(const std::string& text, const std::string& caption,
                   std::function<void(bool ok)> answer) override;
  bool processEvents(bool wait) override { return real_.processEvents(wait); }
  void postQuit() override { real_.postQuit(); }
  void wake() override { real_.wake(); }
  void yield() override { real_.yield(); }

 private:
  bool refused(const std::string& name) const;

  Platform& real_;
  std::vector<std::string> refusedClasses_;
  MessageHandler messages_;
  QuestionHandler questions_;
};

}  // namespace kestravin::platform::testing
