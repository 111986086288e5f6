#include "ui/platform/web/web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "ui/platform/web/web_controls.h"
#include "ui/platform/web/web_host.h"
#include "ui/platform/web/web_window.h"

namespace kestravin::platform::web {

namespace {

WebPlatform* thePlatform = nullptr;

int length(std::string_view text) {
  return static_cast<int>(text.size());
}

}  // namespace

WebPlatform::WebPlatform() {
  thePlatform = this;
  kw_pageStart(kOutbox.data(), length(kOutbox));
}

WebPlatform::~WebPlatform() {
  if (thePlatform == this) thePlatform = nullptr;
}

bool WebPlatform::registerClass(const std::string& name) {
  classes_.insert(name);
  return true;
}

std::unique_ptr<Window> WebPlatform::createWindow(const WindowSpec& desc) {
  if (!classes_.count(desc.className)) return nullptr;
  WebWindow* parent = nullptr;
  if (desc.kind == WindowKind::kChild) {
    if (!desc.parent) return nullptr;
    parent = static_cast<WebWindow*>(desc.parent);
  }
  return std::make_unique<WebWindow>(*this, desc, parent);
}

std::unique_ptr<Buffer> WebPlatform::createBuffer(Size size) {
  return std::make_unique<PixelSurface>(size);
}

std::unique_ptr<Font> WebPlatform::createFont(const FontSpec& desc) {
  (void)desc;  // one font: the desktop's Arial at cell height 17, as a glyph atlas
  return std::make_unique<AtlasFont>(GlyphAtlas::builtIn());
}

void WebPlatform::messageBox(const std::string& text, const std::string& caption) {
  kw_messageBox(0, caption.data(), length(caption), text.data(), length(text));
}

void WebPlatform::askOkCancel(const std::string& text, const std::string& caption,
                              std::function<void(bool ok)> answer) {
  const int question = nextQuestion_++;
  questions_[question] = std::move(answer);
  kw_messageBox(question, caption.data(), length(caption), text.data(), length(text));
}

void WebPlatform::pageAnswer(int question, bool ok) {
  const auto found = questions_.find(question);
  if (found == questions_.end()) return;
  auto answer = std::move(found->second);
  questions_.erase(found);
  pageEvent([answer = std::move(answer), ok] { answer(ok); });
}

bool WebPlatform::processEvents(bool wait) {
  waited_ = wait;
  // Windows are painted when asked to, as the system's paint messages come when no other
  // message is waiting; a window painted may ask for another's paint.
  for (bool painted = true; painted && !quit_;) {
    painted = false;
    for (const auto& [handle, window] : std::map(windows_)) {
      if (windows_.count(handle) && window->runPaintCycle()) painted = true;
    }
  }
  return quit_;
}

void WebPlatform::postQuit() {
  quit_ = true;
  requestPass();
}

void WebPlatform::runInPage(std::function<bool()> pass) {
  pass_ = std::move(pass);
  requestPass();
}

void WebPlatform::setPageText(std::string_view id, std::string_view text) {
  kw_pageText(id.data(), length(id), text.data(), length(text));
}

void WebPlatform::setPageLink(std::string_view id, std::string_view address) {
  kw_pageLink(id.data(), length(id), address.data(), length(address));
}

void WebPlatform::onPageAction(const std::string& name, PageAction action) {
  actions_[name] = std::move(action);
}

void WebPlatform::copyText(std::string_view text) {
  kw_copyText(text.data(), length(text));
}

std::optional<std::string> WebPlatform::askSaveFileName(const SaveDialogSpec& request) {
  std::error_code ec;
  std::filesystem::create_directories(std::string(kSaved), ec);
  // The suggested name without any folder part, with its extension.
  std::string name = request.fileName.substr(request.fileName.find_last_of('/') + 1);
  if (name.empty()) name = "kestravin";
  const std::string extension = "." + request.extension;
  if (!request.extension.empty() && !name.ends_with(extension)) name += extension;
  return std::string(kSaved) + "/" + name;
}

void WebPlatform::fileSaved(const std::string& path) {
  // The page's own save folder keeps nothing once it has been handed on.
  const bool ours = path.starts_with(std::string(kSaved) + "/");
  kw_offerFile(path.data(), length(path), ours ? 1 : 0);
}

void WebPlatform::pageAction(const std::string& name, const std::string& argument,
                             const std::string& file) {
  const auto found = actions_.find(name);
  if (found == actions_.end()) return;
  pageEvent([action = found->second, argument, file] { action(argument, file); });
}

int WebPlatform::addWindow(WebWindow& window) {
  windows_[nextHandle_] = &window;
  return nextHandle_++;
}

void WebPlatform::removeWindow(int handle) {
  windows_.erase(handle);
}

int WebPlatform::addControl(PageControl& control) {
  controls_[nextHandle_] = &control;
  return nextHandle_++;
}

void WebPlatform::removeControl(int handle) {
  controls_.erase(handle);
}

void WebPlatform::requestPass() {
  if (pass_) kw_requestPass();
}

void WebPlatform::requestFrame() {
  kw_requestFrame();
}

void WebPlatform::listChanged(WebListBox& list) {
  if (changedLists_.insert(&list).second) requestFrame();
}

void WebPlatform::listGone(WebListBox& list) {
  changedLists_.erase(&list);
}

bool WebPlatform::pagePass() {
  if (!pass_) return false;
  busy_ = true;
  const bool quit = pass_();
  busy_ = false;
  if (quit) pass_ = nullptr;
  for (auto events = std::move(deferred_); auto& event : events) pageEvent(std::move(event));
  // A pass that would have waited had nothing to do; the next event asks for another.
  const bool painting = std::any_of(windows_.begin(), windows_.end(),
                                    [](const auto& entry) { return entry.second->invalid(); });
  return pass_ && (!waited_ || painting);
}

void WebPlatform::flush() {
  for (const auto& [handle, window] : windows_) window->pushPixels();
  for (auto lists = std::move(changedLists_); WebListBox * list : lists) list->render();
  changedLists_.clear();
}

WebWindow* WebPlatform::window(int handle) const {
  const auto found = windows_.find(handle);
  return found == windows_.end() ? nullptr : found->second;
}

PageControl* WebPlatform::control(int handle) const {
  const auto found = controls_.find(handle);
  return found == controls_.end() ? nullptr : found->second;
}

void WebPlatform::pageEvent(std::function<void()> event) {
  // The page reports events only between tasks, but a change the program makes to the page
  // (a focused field hidden) may report one at once: it then waits its turn.
  if (busy_) {
    deferred_.push_back(std::move(event));
    return;
  }
  busy_ = true;
  event();
  busy_ = false;
  requestPass();
}

PlatformResult makeWebPlatform() {
  return {std::make_unique<WebPlatform>(), {}};
}

std::string pageBase() {
  std::string base(static_cast<std::size_t>(kw_pageBaseLength()), '\0');
  kw_pageBaseRead(base.data(), length(base));
  return base;
}

std::string pageQuery() {
  std::string query(static_cast<std::size_t>(kw_queryLength()), '\0');
  kw_queryRead(query.data(), length(query));
  return query;
}

}  // namespace kestravin::platform::web

// What the page calls.
using kestravin::platform::web::thePlatform;
using kestravin::platform::web::WebListBox;

extern "C" {

/// One pass of the main loop; 1 when another is due at once.
EMSCRIPTEN_KEEPALIVE int kestravin_pass() {
  return thePlatform && thePlatform->pagePass() ? 1 : 0;
}

/// Shows the windows' changed pixels and lists.
EMSCRIPTEN_KEEPALIVE void kestravin_flush() {
  if (thePlatform) thePlatform->flush();
}

/// The user clicked a button or check box.
EMSCRIPTEN_KEEPALIVE void kestravin_click(int control) {
  if (!thePlatform) return;
  thePlatform->pageEvent([control] {
    if (auto* c = thePlatform->control(control)) c->pageClick();
  });
}

/// The user selected a row (-1: none) of a list box.
EMSCRIPTEN_KEEPALIVE void kestravin_select(int list, int row) {
  if (!thePlatform) return;
  thePlatform->pageEvent([list, row] {
    if (auto* c = thePlatform->control(list)) c->pageSelect(row);
  });
}

/// The user answered a question (kw_messageBox): 1 for OK.
EMSCRIPTEN_KEEPALIVE void kestravin_answer(int question, int ok) {
  if (thePlatform) thePlatform->pageAnswer(question, ok != 0);
}

/// The user right-clicked a window (or pressed the menu key in it) at a point of the page.
EMSCRIPTEN_KEEPALIVE void kestravin_menu(int window, int pageX, int pageY) {
  if (!thePlatform) return;
  if (auto* w = thePlatform->window(window)) w->openMenu(pageX, pageY);
}

/// The user chose an entry of a window's context menu, or pressed one of its keys.
EMSCRIPTEN_KEEPALIVE void kestravin_menuCommand(int window, int id) {
  if (!thePlatform) return;
  thePlatform->pageEvent([window, id] {
    if (auto* w = thePlatform->window(window)) w->menuCommand(id);
  });
}

/// Room for the page to hand over texts: at least `size` bytes.
EMSCRIPTEN_KEEPALIVE char* kestravin_scratch(int size) {
  static std::string scratch;
  scratch.resize(static_cast<std::size_t>(std::max(size, 1)));
  return scratch.data();
}

/// How many characters of typed or pasted text an edit field keeps (-1: none, the text stays
/// as it was): the scratch holds the inserted text; the field's text had `before` characters
/// and would have `result` with all of it.
EMSCRIPTEN_KEEPALIVE int kestravin_keeps(int field, int insertedLength, int before, int result) {
  auto* c = thePlatform ? thePlatform->control(field) : nullptr;
  if (!c) return -1;
  const std::string_view inserted(kestravin_scratch(insertedLength),
                                  static_cast<std::size_t>(insertedLength));
  return c->pageKeeps(inserted, static_cast<std::size_t>(before), static_cast<std::size_t>(result));
}

/// The user chose a page element's action: the scratch holds its name, its argument and the
/// name of the file picked, one after the other.
EMSCRIPTEN_KEEPALIVE void kestravin_pageAction(int nameLength, int argumentLength, int fileLength) {
  if (!thePlatform) return;
  const char* scratch = kestravin_scratch(nameLength + argumentLength + fileLength);
  const auto take = [&scratch](int n) {
    std::string text(scratch, static_cast<std::size_t>(n));
    scratch += n;
    return text;
  };
  const std::string name = take(nameLength);
  const std::string argument = take(argumentLength);
  thePlatform->pageAction(name, argument, take(fileLength));
}

namespace {
WebListBox* listOf(int handle) {
  return thePlatform ? dynamic_cast<WebListBox*>(thePlatform->control(handle)) : nullptr;
}
}  // namespace

/// A list's rows at a scroll position: first row, count, offset of the first row above the
/// view, the height scrolled over, the selected row, the row count.
EMSCRIPTEN_KEEPALIVE const double* kestravin_listLayout(int list, int scrollTop, int viewHeight) {
  static double out[6];
  const WebListBox* box = listOf(list);
  if (!box) return nullptr;
  const auto layout = box->layout(scrollTop, viewHeight);
  out[0] = static_cast<double>(layout.first);
  out[1] = layout.count;
  out[2] = layout.offset;
  out[3] = layout.scrollHeight;
  out[4] = box->selectedRow();
  out[5] = box->rowCount();
  return out;
}

/// The scroll position at which a list shows its selected row whole.
EMSCRIPTEN_KEEPALIVE int kestravin_listReveal(int list, int scrollTop, int viewHeight) {
  const WebListBox* box = listOf(list);
  if (!box || box->selectedRow() < 0) return scrollTop;
  return kestravin::platform::web::scrollToShow(static_cast<std::size_t>(box->rowCount()),
                                                WebListBox::kRowHeight, viewHeight, scrollTop,
                                                static_cast<std::size_t>(box->selectedRow()));
}

namespace {
int rowLength = 0;
}  // namespace

/// The text of a list's row; kestravin_rowLength() then gives its length.
EMSCRIPTEN_KEEPALIVE const char* kestravin_rowText(int list, double row) {
  const WebListBox* box = listOf(list);
  const std::string_view text =
      box && row >= 0 ? box->pageRowText(static_cast<std::size_t>(row)) : std::string_view();
  rowLength = static_cast<int>(text.size());
  return text.data();
}

EMSCRIPTEN_KEEPALIVE int kestravin_rowLength() {
  return rowLength;
}

}  // extern "C"
