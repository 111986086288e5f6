#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "ui/platform/platform.h"

namespace kestravin::platform::web {

class WebWindow;
class PageControl;
class WebListBox;

/// The browser page as the platform. The page's own event loop runs the program: each pass
/// of the main loop is a task of its own, asked for only while there is work (a run that
/// advances, a window to paint, an event to answer), so an idle page uses no processor.
/// Events reach the windows' handlers as they happen; windows are painted during the passes,
/// and their pixels reach the canvases at the next animation frame.
class WebPlatform : public Platform {
 public:
  WebPlatform();
  ~WebPlatform() override;

  bool registerClass(const std::string& name) override;
  std::unique_ptr<Window> createWindow(const WindowSpec& desc) override;
  std::unique_ptr<Buffer> createBuffer(Size size) override;
  std::unique_ptr<Font> createFont(const FontSpec& desc) override;
  /// Shown over the page; the main loop waits until it is closed.
  void messageBox(const std::string& text, const std::string& caption) override;
  /// Shown over the page as a message box is; the answer comes as an event of the page.
  void askOkCancel(const std::string& text, const std::string& caption,
                   std::function<void(bool ok)> answer) override;
  /// Paints the windows that need it; never waits (the page's loop does the waiting).
  bool processEvents(bool wait) override;
  void postQuit() override;
  void wake() override { requestPass(); }
  void yield() override {}

  /// Calls `pass` as a task of the page whenever the program has something to do, until it
  /// returns true; returns at once.
  void runInPage(std::function<bool()> pass);

  /// The page around the windows, for what the program shows beside them: the text of the
  /// page's element `id`, or the address its link leads to.
  void setPageText(std::string_view id, std::string_view text);
  void setPageLink(std::string_view id, std::string_view address);
  /// Calls `action` when the user clicks a page element whose data-action is `name`, with its
  /// data-argument; for a file input of that name, with the path of the file the user picked,
  /// copied into the page's files (empty when it is larger than `maxBytes`) and its name.
  using PageAction = std::function<void(const std::string& argument, const std::string& name)>;
  void onPageAction(const std::string& name, PageAction action);
  /// Puts a text on the clipboard.
  void copyText(std::string_view text) override;
  /// A page has no folder of the user's to save into: the file is written in the page's own
  /// files, under the name asked for, and then goes to the user as a download (fileSaved),
  /// where the browser decides, or asks, where it is kept.
  std::optional<std::string> askSaveFileName(const SaveDialogSpec& request) override;
  void fileSaved(const std::string& path) override;
  /// A page is not asked to end; leaving it while a report is written asks the user first.
  void closeOnTermination(Window& window) override { (void)window; }

  // For the windows and controls.
  int addWindow(WebWindow& window);
  void removeWindow(int handle);
  int addControl(PageControl& control);
  void removeControl(int handle);
  void requestPass();
  void requestFrame();
  /// A list's rows are to be shown anew at the next frame.
  void listChanged(WebListBox& list);
  void listGone(WebListBox& list);

  // For the page.
  void pageAction(const std::string& name, const std::string& argument, const std::string& file);
  void pageAnswer(int question, bool ok);
  /// One pass of the main loop; whether another is due at once.
  bool pagePass();
  /// Shows the windows' changed pixels and lists.
  void flush();
  WebWindow* window(int handle) const;
  PageControl* control(int handle) const;
  /// Runs what the page reports of a control, after whatever runs now; then a pass follows.
  void pageEvent(std::function<void()> event);

 private:
  std::set<std::string> classes_;
  std::map<int, WebWindow*> windows_;
  std::map<int, PageControl*> controls_;
  std::set<WebListBox*> changedLists_;
  int nextHandle_ = 1;
  std::function<bool()> pass_;
  bool waited_ = true;  // the last pass would have waited for an event
  bool quit_ = false;
  bool busy_ = false;  // a pass or an event is being handled
  std::vector<std::function<void()>> deferred_;
  std::map<std::string, PageAction> actions_;
  std::map<int, std::function<void(bool)>> questions_;
  int nextQuestion_ = 1;
};

/// The folder whose files go to the user as downloads once the program has closed them:
/// the page has no folder of the user's to write into.
inline constexpr std::string_view kOutbox = "/downloads";

/// Makes the page's platform; there is one per page.
PlatformResult makeWebPlatform();
/// The program's part of the page's address, after the '?' (empty when there is none).
std::string pageQuery();
/// The page's address without its query.
std::string pageBase();
/// Where the page puts the files the user picks for the program.
inline constexpr std::string_view kUploads = "/uploads";
/// Where the files the user saves are written before they go to the user as downloads.
inline constexpr std::string_view kSaved = "/saved";

}  // namespace kestravin::platform::web
