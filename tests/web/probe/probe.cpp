// The browser harness's own page: a canvas drawn from C++, a button that draws on it, and a
// button that offers a text file as a download, as the web edition's pages will.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <string>

namespace {

// Fills a rectangle of the canvas with an opaque colour.
EM_JS(void, fillCanvas, (int x, int y, int w, int h, int r, int g, int b), {
  const context = document.getElementById('canvas').getContext('2d');
  context.fillStyle = `rgb(${r}, ${g}, ${b})`;
  context.fillRect(x, y, w, h);
});

// Offers `size` bytes at `data` as a download named `name`; the browser saves it.
EM_JS(void, offerDownload, (const char* name, const char* data, int size), {
  const bytes = HEAPU8.slice(data, data + size);
  const url = URL.createObjectURL(new Blob([bytes], {
    type:
      'text/plain'
  }));
  const link = document.createElement('a');
  link.href = url;
  link.download = UTF8ToString(name);
  link.click();
  // The download has taken its own reference to the data by the time the click returns.
  URL.revokeObjectURL(url);
});

int clicks = 0;

EM_BOOL onStep(int, const EmscriptenMouseEvent*, void*) {
  ++clicks;
  fillCanvas(10 + 30 * (clicks % 10), 60, 20, 20, 255, 0, 0);
  return EM_TRUE;
}

EM_BOOL onSave(int, const EmscriptenMouseEvent*, void*) {
  std::string text;
  char line[64];
  for (int year = 0; year < 3; ++year) {
    std::snprintf(line, sizeof line, "Year: %d\r\nClicks: %d\r\n", year, clicks);
    text += line;
  }
  offerDownload("generation 0.txt", text.data(), static_cast<int>(text.size()));
  return EM_TRUE;
}

}  // namespace

int main() {
  fillCanvas(0, 0, 500, 120, 0, 0, 0);
  fillCanvas(10, 10, 20, 20, 0, 0, 255);
  emscripten_set_click_callback("#step", nullptr, EM_FALSE, onStep);
  emscripten_set_click_callback("#save", nullptr, EM_FALSE, onSave);
  EM_ASM(document.body.dataset.ready = 'yes');
  return 0;
}
