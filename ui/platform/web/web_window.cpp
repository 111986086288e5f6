#include "ui/platform/web/web_window.h"

#include <algorithm>
#include <string>

#include "ui/platform/web/web_controls.h"
#include "ui/platform/web/web_host.h"
#include "ui/platform/web/web_platform.h"

namespace kestravin::platform::web {

namespace {

Rect unite(const Rect& a, const Rect& b) {
  if (a.w <= 0 || a.h <= 0) return b;
  const int left = std::min(a.x, b.x);
  const int top = std::min(a.y, b.y);
  const int right = std::max(a.x + a.w, b.x + b.w);
  const int bottom = std::max(a.y + a.h, b.y + b.h);
  return {left, top, right - left, bottom - top};
}

}  // namespace

Rect WindowSurface::takeChanged() {
  const Rect r = changed_;
  changed_ = {};
  return r;
}

void WindowSurface::changed(const Rect& rect) {
  if (changed_.w <= 0) platform_.requestFrame();
  changed_ = unite(changed_, rect);
}

WebWindow::WebWindow(WebPlatform& platform, const WindowSpec& desc, WebWindow* parent)
    : platform_(platform),
      desc_(desc),
      parent_(parent),
      handle_(platform.addWindow(*this)),
      surface_({clientArea().w, clientArea().h}, platform),
      shown_(!isTopLevel()) {
  const Rect outer = desc_.rect;
  const Rect client = clientArea();
  const int outerBox[] = {outer.x, outer.y, outer.w, outer.h};
  const int clientBox[] = {client.x, client.y, client.w, client.h};
  const int kind = desc_.kind == WindowKind::kMain          ? 0
                   : desc_.kind == WindowKind::kCaptionOnly ? 1
                                                            : 2;
  kw_windowCreate(handle_, parent_ ? parent_->handle_ : 0, kind, desc_.className.data(),
                  static_cast<int>(desc_.className.size()), desc_.title.data(),
                  static_cast<int>(desc_.title.size()), outerBox, clientBox);
  if (parent_) parent_->children_.push_back(this);
  if (isTopLevel() && !desc_.keys.empty()) {
    std::vector<int> keys;
    for (const KeyBinding& k : desc_.keys) {
      keys.insert(keys.end(), {static_cast<unsigned char>(k.key), k.ctrl, k.shift, k.id});
    }
    kw_windowKeys(handle_, keys.data(), static_cast<int>(desc_.keys.size()));
  }
}

WebWindow::~WebWindow() {
  controls_.clear();
  if (parent_) std::erase(parent_->children_, this);
  for (WebWindow* child : children_) child->parent_ = nullptr;
  kw_windowRemove(handle_);
  platform_.removeWindow(handle_);
}

Rect WebWindow::clientArea() const {
  const Rect& r = desc_.rect;
  if (!isTopLevel()) return {r.x + kBorder, r.y + kBorder, r.w - 2 * kBorder, r.h - 2 * kBorder};
  return {kBorder, kCaption, r.w - 2 * kBorder, r.h - kCaption - kBorder};
}

Rect WebWindow::clientRect() const {
  const Rect client = clientArea();
  if (!isTopLevel()) return client;
  return {desc_.rect.x + client.x, desc_.rect.y + client.y, client.w, client.h};
}

void WebWindow::command(int id, int notification) {
  if (desc_.handler) desc_.handler->onCommand(id, notification);
}

std::vector<MenuItem> WebWindow::menuItems() const {
  return desc_.handler ? desc_.handler->contextMenu() : std::vector<MenuItem>{};
}

void WebWindow::openMenu(int pageX, int pageY) {
  const std::vector<MenuItem> items = menuItems();
  if (items.empty()) {
    if (parent_) parent_->openMenu(pageX, pageY);
    return;
  }
  std::string lines;
  for (const MenuItem& item : items) {
    const int flags = (item.enabled ? 1 : 0) | (item.checkable ? 2 : 0) | (item.checked ? 4 : 0);
    lines += std::to_string(item.id) + '\t' + std::to_string(flags) + '\t' + item.text + '\t' +
             keyTextOf(item.id) + '\n';
  }
  kw_showMenu(handle_, lines.data(), static_cast<int>(lines.size()), pageX, pageY);
}

void WebWindow::menuCommand(int id) {
  if (desc_.handler) desc_.handler->onMenuCommand(id);
}

std::string WebWindow::keyTextOf(int id) const {
  for (const KeyBinding& k : desc_.keys) {
    if (k.id == id) return keyText(k);
  }
  return {};
}

void WebWindow::copyFrom(const Buffer& from, const Rect& part, Point to) {
  surface_.blit(static_cast<const PixelSurface&>(from), part, to);
}

void WebWindow::invalidate(const Rect& rect) {
  invalid_.push_back(rect);
  platform_.requestPass();
}

void WebWindow::invalidateAll() {
  invalidate({0, 0, surface_.size().w, surface_.size().h});
  for (WebWindow* child : children_) child->invalidateAll();
}

bool WebWindow::runPaintCycle() {
  if (invalid_.empty()) return false;
  const std::vector<Rect> erase = std::move(invalid_);
  invalid_.clear();
  for (const Rect& r : erase) surface_.fillBlack(r);
  if (desc_.handler) desc_.handler->onPaint(surface_);
  return true;
}

void WebWindow::pushPixels() {
  const Rect r = surface_.takeChanged();
  if (r.w <= 0 || r.h <= 0) return;
  kw_windowPut(handle_, surface_.pixels(), surface_.size().w, surface_.size().h, r.x, r.y, r.w,
               r.h);
}

void WebWindow::show() {
  const bool was = visible();
  shown_ = true;
  kw_windowShow(handle_, 1);
  // Shown (again), a window is painted anew with everything in it, as an uncovered one is.
  if (!was && visible()) invalidateAll();
  if (isTopLevel()) kw_windowRaise(handle_);
}

void WebWindow::hide() {
  shown_ = false;
  kw_windowShow(handle_, 0);
}

bool WebWindow::visible() const {
  return shown_ && (!parent_ || parent_->visible());
}

void WebWindow::close() {
  // Only the main window has a close box; the others cannot be closed.
  if (desc_.kind != WindowKind::kMain) return;
  if (desc_.handler) desc_.handler->onDestroy();
  hide();
}

void WebWindow::activate() {
  if (isTopLevel() && visible()) kw_windowRaise(handle_);
}

Button& WebWindow::addButton(std::string_view text, const Rect& rect, int id) {
  return keep(std::make_unique<WebButton>(*this, text, rect, id));
}

CheckBox& WebWindow::addCheckBox(std::string_view text, const Rect& rect, int id) {
  return keep(std::make_unique<WebCheckBox>(*this, text, rect, id));
}

EditField& WebWindow::addEditField(const EditSpec& desc) {
  return keep(std::make_unique<WebEditField>(*this, desc));
}

ListBox& WebWindow::addListBox(const ListBoxSpec& desc) {
  return keep(std::make_unique<WebListBox>(*this, desc));
}

}  // namespace kestravin::platform::web
