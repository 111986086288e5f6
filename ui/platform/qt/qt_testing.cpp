// The user's actions and the screen's pixels on the Qt backend, for tests and tools.
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <csignal>
#include <stdexcept>

#include "ui/platform/qt/qt_controls.h"
#include "ui/platform/qt/qt_convert.h"
#include "ui/platform/qt/qt_surface.h"
#include "ui/platform/qt/qt_window.h"
#include "ui/platform/testing.h"

namespace kestravin::platform::testing {

namespace {

// The backend's own object behind an interface; anything else is a mistake of the caller.
template <typename Backend, typename Interface>
Backend& own(Interface& object) {
  auto* backend = dynamic_cast<Backend*>(&object);
  if (!backend) throw std::invalid_argument("not an object of the Qt backend");
  return *backend;
}

}  // namespace

void click(Button& button) {
  if (QPushButton* widget = own<QtButton>(button).button()) widget->click();
}

void click(CheckBox& box) {
  if (QCheckBox* widget = own<QtCheckBox>(box).box()) widget->click();
}

bool type(EditField& field, char c) {
  QLineEdit* edit = own<QtEditField>(field).edit();
  if (!edit) return false;
  const QString before = edit->text();
  edit->setFocus();
  edit->end(false);
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, toQt(std::string_view(&c, 1)));
  QCoreApplication::sendEvent(edit, &press);
  return edit->text() != before;
}

namespace {

// Sends one typed character to the field as the keyboard would.
void typeKey(QLineEdit* edit, char c) {
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, toQt(std::string_view(&c, 1)));
  QCoreApplication::sendEvent(edit, &press);
}

}  // namespace

int typeOver(EditField& field, std::string_view text) {
  QLineEdit* edit = own<QtEditField>(field).edit();
  if (!edit) return 0;
  edit->setFocus();
  edit->selectAll();
  int taken = 0;
  for (char c : text) {
    const QString before = edit->text();
    typeKey(edit, c);
    taken += edit->text() != before;
  }
  return taken;
}

bool pasteOver(EditField& field, std::string_view text) {
  QLineEdit* edit = own<QtEditField>(field).edit();
  if (!edit) return false;
  QGuiApplication::clipboard()->setText(toQt(text));
  const QString before = edit->text();
  edit->setFocus();
  edit->selectAll();
  edit->paste();
  return edit->text() != before;
}

void userSelect(ListBox& list, int row) {
  // Unlike the program's selectRow, the change is not kept quiet: the window hears of it.
  if (QListWidget* widget = own<QtListBox>(list).list()) widget->setCurrentRow(row);
}

Rgb pixel(const Buffer& buffer, Point at) {
  const QImage& image = own<const ImageSurface>(buffer).image();
  if (!image.rect().contains(at.x, at.y)) return kBlack;
  return fromQRgb(image.pixel(at.x, at.y));
}

std::vector<Rgb> shownPixels(Window& window, const Rect& rect) {
  std::vector<Rgb> out(static_cast<std::size_t>(rect.w) * static_cast<std::size_t>(rect.h));
  QWidget* canvas = own<QtWindow>(window).canvasWidget();
  if (!canvas) return out;
  const QImage shot = canvas->grab(toQt(rect)).toImage();
  for (int y = 0; y < rect.h && y < shot.height(); ++y) {
    for (int x = 0; x < rect.w && x < shot.width(); ++x) {
      out[static_cast<std::size_t>(y * rect.w + x)] = fromQRgb(shot.pixel(x, y));
    }
  }
  return out;
}

std::vector<MenuItem> contextMenu(Window& window) {
  std::vector<MenuItem> items;
  const std::unique_ptr<QMenu> menu = own<QtWindow>(window).makeContextMenu();
  if (!menu) return items;
  for (const QAction* action : menu->actions()) {
    items.push_back({fromQt(action->text()), action->data().toInt(), action->isEnabled(),
                     action->isCheckable(), action->isChecked()});
  }
  return items;
}

bool chooseMenuItem(Window& window, int id) {
  QtWindow& qt = own<QtWindow>(window);
  const std::unique_ptr<QMenu> menu = qt.makeContextMenu();
  if (!menu) return false;
  for (const QAction* action : menu->actions()) {
    if (action->data().toInt() == id && action->isEnabled()) {
      qt.menuCommand(id);
      return true;
    }
  }
  return false;
}

std::string menuKeyText(Window& window, int id) {
  const std::unique_ptr<QMenu> menu = own<QtWindow>(window).makeContextMenu();
  if (!menu) return {};
  for (const QAction* action : menu->actions()) {
    if (action->data().toInt() == id) {
      return fromQt(action->shortcut().toString(QKeySequence::PortableText));
    }
  }
  return {};
}

void pressKey(Window& window, char key, bool ctrl, bool shift) {
  QWidget* canvas = own<QtWindow>(window).canvasWidget();
  if (!canvas) return;
  // The focus is on a control of the window, as when the user has just clicked one.
  QWidget* target = canvas->focusWidget();
  if (!target) {
    const auto children = canvas->findChildren<QWidget*>();
    target = children.isEmpty() ? canvas : children.front();
  }
  const Qt::KeyboardModifiers mods =
      (ctrl ? Qt::ControlModifier : Qt::NoModifier) | (shift ? Qt::ShiftModifier : Qt::NoModifier);
  const char typed = ctrl ? '\0' : key;
  QKeyEvent press(QEvent::KeyPress, key, mods,
                  ctrl ? QString() : toQt(std::string_view(&typed, 1)));
  QCoreApplication::sendEvent(target, &press);
}

void minimize(Window& window) {
  if (QWidget* canvas = own<QtWindow>(window).canvasWidget()) canvas->showMinimized();
}

bool minimized(Window& window) {
  QWidget* canvas = own<QtWindow>(window).canvasWidget();
  return canvas && canvas->isMinimized();
}

CaptionBoxes captionBoxes(Window& window) {
  QWidget* canvas = own<QtWindow>(window).canvasWidget();
  if (!canvas) return {};
  const Qt::WindowFlags flags = canvas->windowFlags();
  return {flags.testFlag(Qt::WindowCloseButtonHint), flags.testFlag(Qt::WindowMinimizeButtonHint),
          flags.testFlag(Qt::WindowMaximizeButtonHint)};
}

std::string clipboardText() {
  return fromQt(QGuiApplication::clipboard()->text());
}

void prepareTerminationRequests() {}

void requestTermination() {
  std::raise(SIGTERM);
}

Rgb shownPixel(Window& window, Point at) {
  QWidget* canvas = own<QtWindow>(window).canvasWidget();
  if (!canvas) return kBlack;
  const QImage shot = canvas->grab(QRect(at.x, at.y, 1, 1)).toImage();
  if (shot.isNull()) return kBlack;
  return fromQRgb(shot.pixel(0, 0));
}

}  // namespace kestravin::platform::testing
