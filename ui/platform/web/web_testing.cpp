// The user's actions and the page's pixels on the web backend, for tests: clicks and typing
// go through the page's elements and their handlers, as the user's do.
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/platform/testing.h"
#include "ui/platform/web/web_controls.h"
#include "ui/platform/web/web_platform.h"
#include "ui/platform/web/web_window.h"

extern "C" {
// web_testing.js
void kwt_click(int handle);
int kwt_insert(int handle, const char* text, int length, int where, int paste);
void kwt_selectAll(int handle);
int kwt_chooseMenu(int handle, int id);
void kwt_pressKey(int handle, int code, int ctrl, int shift);
int kwt_copiedLength();
void kwt_shownPixels(int window, int x, int y, int w, int h, int* out);
void kwt_copiedRead(char* text, int length);
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
  return kwt_insert(own<web::WebEditField>(field).handle(), &c, 1, 1, 0) != 0;
}

int typeOver(EditField& field, std::string_view text) {
  const int handle = own<web::WebEditField>(field).handle();
  kwt_selectAll(handle);
  int taken = 0;
  for (const char c : text) taken += kwt_insert(handle, &c, 1, 0, 0);
  return taken;
}

bool pasteOver(EditField& field, std::string_view text) {
  return kwt_insert(own<web::WebEditField>(field).handle(), text.data(),
                    static_cast<int>(text.size()), 2, 1) != 0;
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

// A page's controls are HTML elements, whose pixels the page cannot read back: these are
// the pixels of the window's canvas alone.
std::vector<Rgb> shownPixels(Window& window, const Rect& rect) {
  if (rect.w <= 0 || rect.h <= 0) return {};
  const int handle = own<web::WebWindow>(window).handle();
  kestravin_flush();  // what the next frame would show
  std::vector<int> rgb(static_cast<std::size_t>(rect.w) * static_cast<std::size_t>(rect.h));
  kwt_shownPixels(handle, rect.x, rect.y, rect.w, rect.h, rgb.data());
  std::vector<Rgb> out;
  out.reserve(rgb.size());
  for (const int c : rgb) {
    out.push_back({static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                   static_cast<std::uint8_t>(c)});
  }
  return out;
}

std::vector<MenuItem> contextMenu(Window& window) {
  return own<web::WebWindow>(window).menuItems();
}

bool chooseMenuItem(Window& window, int id) {
  return kwt_chooseMenu(own<web::WebWindow>(window).handle(), id) != 0;
}

std::string menuKeyText(Window& window, int id) {
  return own<web::WebWindow>(window).keyTextOf(id);
}

void pressKey(Window& window, char key, bool ctrl, bool shift) {
  kwt_pressKey(own<web::WebWindow>(window).handle(), static_cast<unsigned char>(key), ctrl, shift);
}

// A page's windows are panels of the page: they have no boxes to minimise or maximise them.
void minimize(Window& window) {
  (void)window;
}

bool minimized(Window& window) {
  (void)window;
  return false;
}

CaptionBoxes captionBoxes(Window& window) {
  (void)window;
  return {};
}

std::string clipboardText() {
  std::string text(static_cast<std::size_t>(kwt_copiedLength()), '\0');
  kwt_copiedRead(text.data(), static_cast<int>(text.size()));
  return text;
}

// Nothing asks a page to end.
void prepareTerminationRequests() {}
void requestTermination() {}

}  // namespace kestravin::platform::testing
