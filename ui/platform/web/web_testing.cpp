// The user's actions and the page's pixels on the web backend, for tests: clicks and typing
// go through the page's elements and their handlers, as the user's do.
#include <stdexcept>

#include "ui/platform/testing.h"
#include "ui/platform/web/web_controls.h"
#include "ui/platform/web/web_platform.h"
#include "ui/platform/web/web_window.h"

extern "C" {
// web_testing.js
void kwt_click(int handle);
int kwt_type(int handle, int code);
void kwt_select(int handle, int row);
int kwt_shownPixel(int window, int x, int y);
void kestravin_flush();
}

namespace kestravin::platform::testing {

namespace {

// The backend's own object behind an interface; anything else is a mistake of the caller.
template <typename Backend, typename Interface>
Backend& own(Interface& object) {
  auto* backend = dynamic_cast<Backend*>(&object);
  if (!backend) throw std::invalid_argument("not an object of the web backend");
  return *backend;
}

}  // namespace

void click(Button& button) {
  kwt_click(own<web::WebButton>(button).handle());
}

void click(CheckBox& box) {
  kwt_click(own<web::WebCheckBox>(box).handle());
}

bool type(EditField& field, char c) {
  return kwt_type(own<web::WebEditField>(field).handle(), static_cast<unsigned char>(c)) != 0;
}

void userSelect(ListBox& list, int row) {
  kwt_select(own<web::WebListBox>(list).handle(), row);
}

Rgb pixel(const Buffer& buffer, Point at) {
  return own<const web::PixelSurface>(buffer).pixel(at);
}

Rgb shownPixel(Window& window, Point at) {
  const int handle = own<web::WebWindow>(window).handle();
  kestravin_flush();  // what the next frame would show
  const int rgb = kwt_shownPixel(handle, at.x, at.y);
  return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
          static_cast<std::uint8_t>(rgb)};
}

}  // namespace kestravin::platform::testing
