// The user's actions and the screen's pixels on the Qt backend, for tests and tools.
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
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

void userSelect(ListBox& list, int row) {
  // Unlike the program's selectRow, the change is not kept quiet: the window hears of it.
  if (QListWidget* widget = own<QtListBox>(list).list()) widget->setCurrentRow(row);
}

Rgb pixel(const Buffer& buffer, Point at) {
  const QImage& image = own<const ImageSurface>(buffer).image();
  if (!image.rect().contains(at.x, at.y)) return kBlack;
  return fromQRgb(image.pixel(at.x, at.y));
}

Rgb shownPixel(Window& window, Point at) {
  QWidget* canvas = own<QtWindow>(window).canvasWidget();
  if (!canvas) return kBlack;
  const QImage shot = canvas->grab(QRect(at.x, at.y, 1, 1)).toImage();
  if (shot.isNull()) return kBlack;
  return fromQRgb(shot.pixel(0, 0));
}

}  // namespace kestravin::platform::testing
