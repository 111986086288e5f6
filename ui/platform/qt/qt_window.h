#pragma once

#include <QMenu>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <memory>
#include <vector>

#include "ui/platform/platform.h"
#include "ui/platform/qt/qt_controls.h"
#include "ui/platform/qt/qt_surface.h"

namespace kestravin::platform {

class QtWindow;
class ExposeWatch;
class KeyWatch;

/// The widget of one of our windows: shows the window's picture and turns the toolkit's
/// paint and close events into the window's paint cycle and handler calls.
class Canvas : public QWidget {
 public:
  Canvas(QtWindow& owner, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QtWindow& owner_;
};

/// What a window shows: every drawing on it asks its canvas to show the changed part.
class WindowSurface : public ImageSurface {
 public:
  WindowSurface(Size size, Canvas& canvas) : ImageSurface(size), canvas_(canvas) {}

 protected:
  void changed(const QRect& rect) override;

 private:
  Canvas& canvas_;
};

/// A window on a canvas widget of its own: top-level, or a child inside its parent's canvas
/// with a one-pixel black border. Its surface is a picture kept for the window's life.
class QtWindow : public Window {
 public:
  static constexpr int kBorder = 1;

  /// A child when `parent` is given; the parent must outlive the call, not the child.
  QtWindow(const WindowSpec& desc, QtWindow* parent);
  ~QtWindow() override;

  bool isTopLevel() const { return desc_.kind != WindowKind::kChild; }
  QWidget* canvasWidget() const { return canvas_.data(); }
  WindowHandler* handler() const { return desc_.handler; }
  WindowSurface& windowSurface() { return surface_; }

  const std::string& className() const override { return desc_.className; }
  std::string title() const override;
  Surface& surface() override { return surface_; }
  void copyFrom(const Buffer& from, const Rect& part, Point to) override;
  void invalidate(const Rect& rect) override;
  void paintNow() override;
  void show() override;
  void hide() override;
  bool visible() const override;
  void close() override;
  void activate() override;
  Rect clientRect() const override;
  Rect outerRect() const override;

  Button& addButton(std::string_view text, const Rect& rect, int id) override;
  CheckBox& addCheckBox(std::string_view text, const Rect& rect, int id) override;
  EditField& addEditField(const EditSpec& desc) override;
  ListBox& addListBox(const ListBoxSpec& desc) override;

  /// The window's context menu as the handler describes it now, each action carrying its id;
  /// nullptr when there is none.
  std::unique_ptr<QMenu> makeContextMenu() const;
  /// Tells the handler that the entry or key with this id was chosen.
  void menuCommand(int id);
  /// The key bound to an id, as a menu shows it.
  QKeySequence keyOf(int id) const;
  /// Erases what is invalid and lets the handler draw.
  void runPaintCycle();
  /// The window system shows the window (again): it and its children are painted anew.
  void exposed();
  bool isExposed() const;
  void invalidateAll() { invalidate({0, 0, desc_.rect.w, desc_.rect.h}); }
  /// The stated size of a top-level window is its outer size: once the window system tells
  /// the frame, the client area shrinks by it.
  void fitOuterSize();
  void adopt(QtWindow* child) { children_.push_back(child); }
  void disown(QtWindow* child) { std::erase(children_, child); }

 private:
  // Passes a control's report to the window's handler.
  CommandSink commandSink();
  template <typename T>
  T& keep(std::unique_ptr<T> control) {
    T& ref = *control;
    controls_.push_back(std::move(control));
    return ref;
  }

  WindowSpec desc_;
  QtWindow* parent_ = nullptr;
  std::vector<QtWindow*> children_;
  std::unique_ptr<ExposeWatch> exposeWatch_;
  std::unique_ptr<KeyWatch> keyWatch_;
  QPointer<Canvas> canvas_;
  WindowSurface surface_;
  QRegion invalid_;
  QSize appliedFrame_;
  std::vector<std::unique_ptr<Control>> controls_;
};

}  // namespace kestravin::platform
