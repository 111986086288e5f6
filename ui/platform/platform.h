#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The windowing and drawing operations the program's windows and panels rest on. Every
// backend (Qt Widgets, Win32) implements these interfaces; nothing above this layer knows
// the toolkit.
namespace kestravin::platform {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int w = 0;
  int h = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  bool operator==(const Rect&) const = default;
};

/// Calls `plot(x, y)` for each pixel of a one-pixel line from `from` to `to` (Bresenham),
/// leaving out the end point, as Windows draws lines: the backends that draw their own
/// pixels follow this one rule.
template <typename Plot>
void forEachLinePixel(Point from, Point to, Plot plot) {
  int x = from.x;
  int y = from.y;
  const int dx = to.x > x ? to.x - x : x - to.x;
  const int dy = -(to.y > y ? to.y - y : y - to.y);
  const int sx = x < to.x ? 1 : -1;
  const int sy = y < to.y ? 1 : -1;
  int err = dx + dy;
  while (x != to.x || y != to.y) {
    plot(x, y);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kGreen{0, 255, 0};

/// A font description: face name and character cell height in pixels. TrueType is preferred.
struct FontSpec {
  std::string face;
  int cellHeight = 0;
};

/// A font made from a FontSpec by the backend; owned by its creator.
class Font {
 public:
  virtual ~Font() = default;
};

/// Somewhere to draw: a window's own surface or an off-screen buffer. Text is always drawn
/// with a transparent background; lines are solid and one pixel wide.
class Surface {
 public:
  virtual ~Surface() = default;

  /// Fills the rectangle with black.
  virtual void fillBlack(const Rect& rect) = 0;
  /// The colour of the text drawn from now on.
  virtual void setTextColor(Rgb color) = 0;
  /// The font of the text drawn from now on; nullptr for the backend's default.
  virtual void selectFont(const Font* font) = 0;
  /// The colour of the lines drawn from now on.
  virtual void setPen(Rgb color) = 0;
  /// Moves the current position.
  virtual void moveTo(Point to) = 0;
  /// Draws from the current position up to, but not including, `to`; `to` becomes current.
  virtual void lineTo(Point to) = 0;
  /// Draws a text with its top-left corner at `at`.
  virtual void drawText(Point at, std::string_view text) = 0;
};

/// An off-screen picture of a fixed size, black when created.
class Buffer : public Surface {
 public:
  virtual Size size() const = 0;
  /// The colours of a rectangle of the buffer, row by row from the top; black outside it.
  virtual std::vector<Rgb> readPixels(const Rect& rect) const = 0;
};

/// A key that chooses one of a window's commands wherever the focus is in that window.
struct KeyBinding {
  char key = 0;  // an upper-case letter or a digit
  bool ctrl = false;
  bool shift = false;
  int id = 0;  // what the window's handler hears in onMenuCommand
};

/// How a key is written for the user: "F", "Ctrl+S", "Ctrl+Shift+S".
inline std::string keyText(const KeyBinding& key) {
  return std::string(key.ctrl ? "Ctrl+" : "") + (key.shift ? "Shift+" : "") + key.key;
}

/// One entry of a context menu. An entry whose id is bound to a key shows that key.
struct MenuItem {
  std::string text;
  int id = 0;  // what the window's handler hears in onMenuCommand when it is chosen
  bool enabled = true;
  bool checkable = false;
  bool checked = false;
};

/// What a window does with its events. Handlers run on the user-interface thread only.
class WindowHandler {
 public:
  virtual ~WindowHandler() = default;
  /// The invalid part of the window has just been erased to black; `surface` is the
  /// window's own surface.
  virtual void onPaint(Surface& surface) { (void)surface; }
  /// A control of the window: a button click (notification 0), or a list box whose
  /// selection the user changed (notification 1).
  virtual void onCommand(int id, int notification) {
    (void)id;
    (void)notification;
  }
  /// The user closed the window (top-level windows with a close box only).
  virtual void onDestroy() {}
  /// The entries of the window's context menu (right-click, the menu key), asked for each
  /// time it opens; none for no menu, when a child window's menu is its parent's.
  virtual std::vector<MenuItem> contextMenu() { return {}; }
  /// A context-menu entry was chosen, or one of the window's keys pressed.
  virtual void onMenuCommand(int id) { (void)id; }
};

/// The kinds of windows the program makes.
enum class WindowKind {
  kMain,         // caption, system menu, minimize, maximize and close; no sizing border
  kCaptionOnly,  // caption without any box
  kChild,        // a bordered panel inside another window
};

struct WindowSpec {
  std::string className;
  std::string title;
  WindowKind kind = WindowKind::kChild;
  Rect rect;  // top-level: screen position and outer size; child: position in the parent
  class Window* parent = nullptr;
  WindowHandler* handler = nullptr;
  std::vector<KeyBinding> keys;  // top-level windows only
};

class Control {
 public:
  virtual ~Control() = default;
  virtual void setFont(const Font& font) = 0;
  /// Position and size in the parent's client area.
  virtual Rect geometry() const = 0;
  virtual std::string text() const = 0;
};

/// A push button; a click reaches the window's handler as notification 0.
class Button : public Control {};

/// A check box that the user's click toggles; the click reaches the handler as notification 0.
class CheckBox : public Control {
 public:
  virtual bool checked() const = 0;
};

/// A single-line field with a border. It scrolls to keep the caret in view; text set by the
/// program is shown from its start.
class EditField : public Control {
 public:
  virtual void setText(std::string_view text) = 0;
};

/// An unsorted list box. Changes made through these calls notify nothing.
class ListBox : public Control {
 public:
  /// Fills in the text of row `index` and returns the row's data.
  using RowSource = std::function<std::int32_t(std::size_t index, std::string& text)>;

  /// Replaces every row at once by `count` rows from `source`, in order; leaves none selected.
  virtual void setRows(std::size_t count, const RowSource& source) = 0;
  virtual void addRow(std::string_view text) = 0;
  /// Inserts a row at `index` (0..rowCount()).
  virtual void insertRow(int index, std::string_view text) = 0;
  /// Deletes one row; false when there is no such row.
  virtual bool deleteRow(int index) = 0;
  virtual void clear() = 0;
  virtual int rowCount() const = 0;
  virtual std::string rowText(int index) const = 0;
  virtual void setRowData(int index, std::int32_t data) = 0;
  virtual std::int32_t rowData(int index) const = 0;
  /// The selected row, or -1.
  virtual int selectedRow() const = 0;
  virtual void selectRow(int index) = 0;
};

struct EditSpec {
  Rect rect;
  int id = 0;
  bool digitsOnly = false;  // the user can give digits only; the program may set any text
  int maxChars = 0;         // the most characters the user can give it; 0 for no limit
};

struct ListBoxSpec {
  Rect rect;
  int id = 0;
  std::vector<int> tabStops;  // x of each column after the first, from the list's left edge
};

class Window {
 public:
  virtual ~Window() = default;

  virtual const std::string& className() const = 0;
  virtual std::string title() const = 0;
  /// The window's own surface, kept for its life: what is drawn stays until invalidated.
  virtual Surface& surface() = 0;
  /// Copies part of a buffer onto the window's surface; shown at the next repaint.
  virtual void copyFrom(const Buffer& from, const Rect& part, Point to) = 0;
  /// Marks a rectangle of the client area invalid; the next paint erases it to black.
  virtual void invalidate(const Rect& rect) = 0;
  /// Runs the paint cycle at once when part of the window is invalid.
  virtual void paintNow() = 0;
  /// Shows the window, restored when it was minimised.
  virtual void show() = 0;
  virtual void hide() = 0;
  virtual bool visible() const = 0;
  /// Closes the window as the user would with its close box.
  virtual void close() = 0;
  /// Brings a top-level window to the front, restored when minimised, and gives it the focus.
  virtual void activate() = 0;
  /// Client area size and position (in the parent for a child, on the screen otherwise).
  virtual Rect clientRect() const = 0;
  /// Outer position and size, frame and caption included, for a top-level window.
  virtual Rect outerRect() const = 0;

  virtual Button& addButton(std::string_view text, const Rect& rect, int id) = 0;
  virtual CheckBox& addCheckBox(std::string_view text, const Rect& rect, int id) = 0;
  virtual EditField& addEditField(const EditSpec& desc) = 0;
  virtual ListBox& addListBox(const ListBoxSpec& desc) = 0;
};

/// What a save dialog asks for.
struct SaveDialogSpec {
  std::string title;
  std::string fileName;   // suggested
  std::string typeName;   // the kind of file, as the user knows it: "PNG picture"
  std::string extension;  // without the dot; added when the user gives a name without one
  class Window* owner = nullptr;
};

/// The toolkit: window classes, windows, buffers, fonts, message boxes and the event loop.
class Platform {
 public:
  virtual ~Platform() = default;

  /// Registers a window class by name; false when it cannot be registered.
  virtual bool registerClass(const std::string& name) = 0;
  /// Creates a window, hidden when top-level; nullptr when its class is not registered.
  virtual std::unique_ptr<Window> createWindow(const WindowSpec& desc) = 0;
  virtual std::unique_ptr<Buffer> createBuffer(Size size) = 0;
  virtual std::unique_ptr<Font> createFont(const FontSpec& desc) = 0;
  /// A modal box with one OK button, without owner window.
  virtual void messageBox(const std::string& text, const std::string& caption) = 0;
  /// A modal question with OK and Cancel, without owner window; `answer` hears whether OK
  /// was chosen once it has been (before the call returns on the desktop, later in a page).
  virtual void askOkCancel(const std::string& text, const std::string& caption,
                           std::function<void(bool ok)> answer) = 0;
  /// The system's modal save dialog, which itself asks before an existing file is replaced:
  /// the chosen file name in the system's encoding, or nullopt when the user cancelled.
  virtual std::optional<std::string> askSaveFileName(const SaveDialogSpec& request) = 0;
  /// The program has written, whole, the file a save dialog named. A backend whose files live
  /// apart from the user's (a browser's download) hands it on; the others need do nothing.
  virtual void fileSaved(const std::string& path) { (void)path; }
  /// Puts a text on the system's clipboard.
  virtual void copyText(std::string_view text) = 0;
  /// From now on a request of the system to end the program (a termination signal, Ctrl+C
  /// in its terminal or console) closes `window` as the user would.
  virtual void closeOnTermination(Window& window) = 0;

  /// Handles the pending events; with `wait`, first waits for one when none is pending (never
  /// once quit has been asked for). Returns true once quit has been asked for.
  virtual bool processEvents(bool wait) = 0;
  /// Asks the loop to end; processEvents then returns true.
  virtual void postQuit() = 0;
  /// Wakes a waiting processEvents; safe from any thread.
  virtual void wake() = 0;
  /// Gives the rest of the processor time slice to other programs.
  virtual void yield() = 0;
};

/// The result of making a backend: the platform, or why there is none.
struct PlatformResult {
  std::unique_ptr<Platform> platform;
  std::string error;
};

}  // namespace kestravin::platform
