#include "ui/platform/qt/qt_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include "ui/platform/qt/qt_convert.h"

namespace kestravin::platform {

// Watches a top-level window's native window for exposures.
class ExposeWatch : public QObject {
 public:
  explicit ExposeWatch(QtWindow& owner) : owner_(owner) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    // The window system shows (part of) the window again: everything in it is painted anew,
    // as an uncovered window would be.
    if (event->type() == QEvent::Expose && owner_.isExposed()) owner_.exposed();
    return QObject::eventFilter(watched, event);
  }

 private:
  QtWindow& owner_;
};

// Turns the keys of a top-level window into its commands, wherever the focus lies in it. It
// watches every key press of the application, so that no control of the window takes the key
// first.
class KeyWatch : public QObject {
 public:
  KeyWatch(QtWindow& owner, std::vector<KeyBinding> keys) : owner_(owner), keys_(std::move(keys)) {
    qApp->installEventFilter(this);
  }
  ~KeyWatch() override { qApp->removeEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != owner_.canvasWidget()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods =
        key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    for (const KeyBinding& k : keys_) {
      const Qt::KeyboardModifiers wanted = (k.ctrl ? Qt::ControlModifier : Qt::NoModifier) |
                                           (k.shift ? Qt::ShiftModifier : Qt::NoModifier);
      if (key->key() == k.key && mods == wanted) {
        owner_.menuCommand(k.id);
        return true;
      }
    }
    return false;
  }

 private:
  QtWindow& owner_;
  std::vector<KeyBinding> keys_;
};

Canvas::Canvas(QtWindow& owner, QWidget* parent) : QWidget(parent), owner_(owner) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::paintEvent(QPaintEvent* event) {
  WindowSurface& surface = owner_.windowSurface();
  // Only what was invalidated is erased and handed to the window's paint handling; the
  // program's own drawing is simply shown.
  owner_.runPaintCycle();
  QPainter painter(this);
  const QRect r = event->rect();
  painter.drawImage(r, surface.image(), r);
}

void Canvas::closeEvent(QCloseEvent* event) {
  if (owner_.isTopLevel() && owner_.handler()) {
    // Only the main window can be closed; the others have no close box.
    const bool closable = windowFlags().testFlag(Qt::WindowCloseButtonHint);
    if (!closable) {
      event->ignore();
      return;
    }
    owner_.handler()->onDestroy();
  }
  event->accept();
}

void Canvas::contextMenuEvent(QContextMenuEvent* event) {
  const std::unique_ptr<QMenu> menu = owner_.makeContextMenu();
  if (!menu) {
    event->ignore();  // a child window's menu is its parent's
    return;
  }
  if (const QAction* chosen = menu->exec(event->globalPos())) {
    owner_.menuCommand(chosen->data().toInt());
  }
}

bool Canvas::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  if (event->type() == QEvent::Show) owner_.invalidateAll();
  if (event->type() == QEvent::Move || event->type() == QEvent::Show) owner_.fitOuterSize();
  return handled;
}

void WindowSurface::changed(const QRect& rect) {
  if (rect.isEmpty()) return;
  canvas_.update(rect);
}

QtWindow::QtWindow(const WindowSpec& desc, QtWindow* parent)
    : desc_(desc),
      parent_(parent),
      canvas_(new Canvas(*this, parent ? parent->canvasWidget() : nullptr)),
      surface_(Size{desc.rect.w, desc.rect.h}, *canvas_) {
  canvas_->setObjectName(toQt(desc.className));
  QPalette palette = canvas_->palette();
  palette.setColor(QPalette::Window, Qt::black);
  canvas_->setPalette(palette);
  switch (desc.kind) {
    case WindowKind::kMain:
      canvas_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                              Qt::WindowCloseButtonHint);
      break;
    case WindowKind::kCaptionOnly:
      canvas_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
      break;
    case WindowKind::kChild:
      break;
  }
  if (desc.kind == WindowKind::kChild) {
    // A child's one-pixel border (black, like the background) surrounds its client area.
    canvas_->setGeometry(desc.rect.x + kBorder, desc.rect.y + kBorder, desc.rect.w - 2 * kBorder,
                         desc.rect.h - 2 * kBorder);
  } else {
    canvas_->setWindowTitle(toQt(desc.title));
    canvas_->move(desc.rect.x, desc.rect.y);
    canvas_->setFixedSize(desc.rect.w, desc.rect.h);
    if (!desc.keys.empty()) keyWatch_ = std::make_unique<KeyWatch>(*this, desc.keys);
  }
}

QtWindow::~QtWindow() {
  keyWatch_.reset();
  if (parent_) parent_->disown(this);
  for (QtWindow* child : children_) child->parent_ = nullptr;
  if (canvas_ && canvas_->windowHandle() && exposeWatch_) {
    canvas_->windowHandle()->removeEventFilter(exposeWatch_.get());
  }
  if (canvas_ && isTopLevel()) delete canvas_.data();
}

std::string QtWindow::title() const {
  return canvas_ ? fromQt(canvas_->windowTitle()) : "";
}

void QtWindow::copyFrom(const Buffer& from, const Rect& part, Point to) {
  surface_.blit(static_cast<const ImageSurface&>(from), part, to);
}

void QtWindow::invalidate(const Rect& rect) {
  invalid_ += toQt(rect);
  if (canvas_) canvas_->update(toQt(rect));
}

void QtWindow::paintNow() {
  if (invalid_.isEmpty()) return;
  runPaintCycle();
}

void QtWindow::runPaintCycle() {
  const QRegion erase = invalid_;
  invalid_ = QRegion();
  if (erase.isEmpty()) return;
  for (const QRect& r : erase) surface_.fillBlack(fromQt(r));
  if (desc_.handler) desc_.handler->onPaint(surface_);
}

std::unique_ptr<QMenu> QtWindow::makeContextMenu() const {
  if (!desc_.handler) return nullptr;
  const std::vector<MenuItem> items = desc_.handler->contextMenu();
  if (items.empty()) return nullptr;
  auto menu = std::make_unique<QMenu>();
  for (const MenuItem& item : items) {
    QAction* action = menu->addAction(toQt(item.text));
    action->setData(item.id);
    action->setEnabled(item.enabled);
    action->setCheckable(item.checkable);
    action->setChecked(item.checked);
    // Shown beside the entry only: the key itself works through the window's KeyWatch.
    action->setShortcut(keyOf(item.id));
  }
  return menu;
}

QKeySequence QtWindow::keyOf(int id) const {
  for (const KeyBinding& k : desc_.keys) {
    if (k.id == id) {
      const Qt::KeyboardModifiers mods = (k.ctrl ? Qt::ControlModifier : Qt::NoModifier) |
                                         (k.shift ? Qt::ShiftModifier : Qt::NoModifier);
      return QKeySequence(QKeyCombination(mods, static_cast<Qt::Key>(k.key)));
    }
  }
  return {};
}

void QtWindow::menuCommand(int id) {
  if (desc_.handler) desc_.handler->onMenuCommand(id);
}

void QtWindow::show() {
  if (!canvas_) return;
  // A window the user minimised comes back.
  canvas_->setWindowState(canvas_->windowState() & ~Qt::WindowMinimized);
  canvas_->show();
  if (isTopLevel() && !exposeWatch_ && canvas_->windowHandle()) {
    exposeWatch_ = std::make_unique<ExposeWatch>(*this);
    canvas_->windowHandle()->installEventFilter(exposeWatch_.get());
  }
  fitOuterSize();
}

bool QtWindow::isExposed() const {
  return canvas_ && canvas_->windowHandle() && canvas_->windowHandle()->isExposed();
}

void QtWindow::exposed() {
  invalidateAll();
  for (QtWindow* child : children_) child->invalidateAll();
}

void QtWindow::hide() {
  if (canvas_) canvas_->hide();
}

bool QtWindow::visible() const {
  return canvas_ && canvas_->isVisible();
}

void QtWindow::close() {
  if (canvas_) canvas_->close();
}

void QtWindow::activate() {
  if (!canvas_) return;
  canvas_->setWindowState(canvas_->windowState() & ~Qt::WindowMinimized);
  canvas_->raise();
  canvas_->activateWindow();
}

Rect QtWindow::clientRect() const {
  return canvas_ ? fromQt(canvas_->geometry()) : Rect{};
}

Rect QtWindow::outerRect() const {
  if (!canvas_) return {};
  return fromQt(isTopLevel() ? canvas_->frameGeometry() : canvas_->geometry());
}

void QtWindow::fitOuterSize() {
  if (!canvas_ || !isTopLevel()) return;
  const QSize frame = canvas_->frameGeometry().size() - canvas_->size();
  if (frame == appliedFrame_) return;
  appliedFrame_ = frame;
  canvas_->setFixedSize(desc_.rect.w - frame.width(), desc_.rect.h - frame.height());
  canvas_->move(desc_.rect.x, desc_.rect.y);
}

Button& QtWindow::addButton(std::string_view text, const Rect& rect, int id) {
  return keep(std::make_unique<QtButton>(text, rect, id, canvas_, commandSink()));
}

CheckBox& QtWindow::addCheckBox(std::string_view text, const Rect& rect, int id) {
  return keep(std::make_unique<QtCheckBox>(text, rect, id, canvas_, commandSink()));
}

EditField& QtWindow::addEditField(const EditSpec& desc) {
  return keep(std::make_unique<QtEditField>(desc, canvas_));
}

ListBox& QtWindow::addListBox(const ListBoxSpec& desc) {
  return keep(std::make_unique<QtListBox>(desc, canvas_, commandSink()));
}

CommandSink QtWindow::commandSink() {
  return [this](int id, int notification) {
    if (desc_.handler) desc_.handler->onCommand(id, notification);
  };
}

}  // namespace kestravin::platform
