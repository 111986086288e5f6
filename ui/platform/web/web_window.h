#pragma once

#include <memory>
#include <vector>

#include "ui/platform/platform.h"
#include "ui/platform/web/pixel_surface.h"

namespace kestravin::platform::web {

class WebPlatform;

/// What a window shows: its pixels, whose changed part goes to the window's canvas at the
/// next animation frame.
class WindowSurface : public PixelSurface {
 public:
  WindowSurface(Size size, WebPlatform& platform) : PixelSurface(size), platform_(platform) {}
  /// The part changed since it was last taken; empty when none.
  Rect takeChanged();

 protected:
  void changed(const Rect& rect) override;

 private:
  WebPlatform& platform_;
  Rect changed_;
};

/// A window as a panel of the page: top-level at its screen position, with a caption bar
/// inside its outer size, or a child with a one-pixel black border inside its parent's client
/// area. Its client area is a canvas that shows its surface; controls lie over it.
class WebWindow : public Window {
 public:
  static constexpr int kBorder = 1;
  static constexpr int kCaption = 22;  // the caption bar, from the outer top edge

  /// A child when `parent` is given.
  WebWindow(WebPlatform& platform, const WindowSpec& desc, WebWindow* parent);
  ~WebWindow() override;

  int handle() const { return handle_; }
  bool isTopLevel() const { return desc_.kind != WindowKind::kChild; }
  WebPlatform& platform() const { return platform_; }
  /// Passes a control's report to the window's handler.
  void command(int id, int notification);
  /// The entries of the window's context menu as its handler gives them now.
  std::vector<MenuItem> menuItems() const;
  /// Opens the context menu at a point of the page: the window's own, or when it has none
  /// its parent's (a child window's menu is its parent's).
  void openMenu(int pageX, int pageY);
  /// A context-menu entry was chosen, or one of the window's keys pressed.
  void menuCommand(int id);
  /// How the menu shows the key of command `id`; empty when no key is bound to it.
  std::string keyTextOf(int id) const;
  /// Erases what is invalid and lets the handler draw; false when nothing was invalid.
  bool runPaintCycle();
  bool invalid() const { return !invalid_.empty(); }
  /// Shows the changed part of the surface on the canvas.
  void pushPixels();
  const WindowSurface& shown() const { return surface_; }

  const std::string& className() const override { return desc_.className; }
  std::string title() const override { return desc_.title; }
  Surface& surface() override { return surface_; }
  void copyFrom(const Buffer& from, const Rect& part, Point to) override;
  void invalidate(const Rect& rect) override;
  void paintNow() override { runPaintCycle(); }
  void show() override;
  void hide() override;
  bool visible() const override;
  void close() override;
  void activate() override;
  Rect clientRect() const override;
  Rect outerRect() const override { return desc_.rect; }

  Button& addButton(std::string_view text, const Rect& rect, int id) override;
  CheckBox& addCheckBox(std::string_view text, const Rect& rect, int id) override;
  EditField& addEditField(const EditSpec& desc) override;
  ListBox& addListBox(const ListBoxSpec& desc) override;

 private:
  /// The client area from the outer corner (top-level) or the parent's client area (child).
  Rect clientArea() const;
  void invalidateAll();
  template <typename T>
  T& keep(std::unique_ptr<T> control) {
    T& ref = *control;
    controls_.push_back(std::move(control));
    return ref;
  }

  WebPlatform& platform_;
  WindowSpec desc_;
  WebWindow* parent_;
  int handle_;
  std::vector<WebWindow*> children_;
  WindowSurface surface_;
  std::vector<Rect> invalid_;
  bool shown_;
  std::vector<std::unique_ptr<Control>> controls_;
};

}  // namespace kestravin::platform::web
