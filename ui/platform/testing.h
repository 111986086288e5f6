#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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
/// Selects the whole text of a field (Ctrl+A) and types the characters one after another as
/// the user would; returns how many of them changed the text.
int typeOver(EditField& field, std::string_view text);
/// Selects the whole text of a field and pastes `text` over it as the user would; false when
/// the field refuses it.
bool pasteOver(EditField& field, std::string_view text);
/// Selects a row (-1 for none) as the user would, which notifies the list's window.
void userSelect(ListBox& list, int row);
/// The colour of one pixel of a buffer of this backend; black outside the buffer.
Rgb pixel(const Buffer& buffer, Point at);
/// The colour shown at a point of a window's client area; black where nothing is shown.
Rgb shownPixel(Window& window, Point at);
/// The colours shown over a rectangle of a window's client area, its controls included, row by
/// row from the top.
std::vector<Rgb> shownPixels(Window& window, const Rect& rect);

/// The entries of the context menu a right-click on the window opens now, as the backend
/// builds it (an entry's text without its key); empty when it opens none.
std::vector<MenuItem> contextMenu(Window& window);
/// Opens the window's context menu and chooses the entry with this id as the user would;
/// false when there is no such entry or it is disabled.
bool chooseMenuItem(Window& window, int id);
/// The text of a context-menu entry's key as the menu shows it, "" for none.
std::string menuKeyText(Window& window, int id);
/// Presses a key with the focus on one of the window's controls, as the user would.
void pressKey(Window& window, char key, bool ctrl = false, bool shift = false);
/// Minimises a top-level window as its minimise box would, and tells whether it is minimised.
void minimize(Window& window);
bool minimized(Window& window);
/// Which boxes a top-level window asks the system for in its caption.
struct CaptionBoxes {
  bool close = false;
  bool minimize = false;
  bool maximize = false;
};
CaptionBoxes captionBoxes(Window& window);
/// The text on the system's clipboard.
std::string clipboardText();
/// Makes ready for requestTermination; called first thing, before any file is opened. On
/// Windows the process gets a console of its own, which Ctrl+C then reaches alone.
void prepareTerminationRequests();
/// Asks this process to end as the system would: SIGTERM, or Ctrl+C on its console.
void requestTermination();

/// A platform that passes everything on to a real one, except that message boxes and save
/// dialogs go to handlers (when set) and the named window classes are refused: registering
/// one fails, and no window of one is made.
class TestingPlatform : public Platform {
 public:
  using MessageHandler = std::function<void(const std::string& text, const std::string& caption)>;
  using SaveDialogHandler = std::function<std::optional<std::string>(const SaveDialogSpec&)>;

  explicit TestingPlatform(Platform& real, std::vector<std::string> refusedClasses = {});

  /// Message boxes go to `handler` from now on; an empty one shows them again.
  void setMessageHandler(MessageHandler handler) { messages_ = std::move(handler); }
  /// Questions go to `handler`, which answers them, from now on; an empty one asks the user.
  using QuestionHandler = std::function<bool(const std::string& text, const std::string& caption)>;
  void setQuestionHandler(QuestionHandler handler) { questions_ = std::move(handler); }
  /// Save dialogs go to `handler` from now on, which answers for the user; an empty one shows
  /// them again.
  void setSaveDialogHandler(SaveDialogHandler handler) { saveDialogs_ = std::move(handler); }

  bool registerClass(const std::string& name) override;
  std::unique_ptr<Window> createWindow(const WindowSpec& desc) override;
  std::unique_ptr<Buffer> createBuffer(Size size) override { return real_.createBuffer(size); }
  std::unique_ptr<Font> createFont(const FontSpec& desc) override { return real_.createFont(desc); }
  void messageBox(const std::string& text, const std::string& caption) override;
  void askOkCancel(const std::string& text, const std::string& caption,
                   std::function<void(bool ok)> answer) override;
  std::optional<std::string> askSaveFileName(const SaveDialogSpec& request) override;
  void fileSaved(const std::string& path) override {
    saved_.push_back(path);
    real_.fileSaved(path);
  }
  /// Every file the program has told of as saved, in order.
  const std::vector<std::string>& savedFiles() const { return saved_; }
  void copyText(std::string_view text) override { real_.copyText(text); }
  void closeOnTermination(Window& window) override { real_.closeOnTermination(window); }
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
  SaveDialogHandler saveDialogs_;
  std::vector<std::string> saved_;
};

}  // namespace kestravin::platform::testing
