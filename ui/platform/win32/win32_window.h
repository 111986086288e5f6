#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/platform/platform.h"
#include "ui/platform/win32/win32_surface.h"
#include "ui/platform/win32/win32_util.h"

namespace kestravin::platform {

/// A window of one of the program's classes. Its device context is taken once and kept, and
/// its class's window procedure hands every message to it.
class Win32Window : public Window {
 public:
  /// Top-level windows are made hidden; created() tells whether the system made it.
  explicit Win32Window(const WindowSpec& desc);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  bool created() const { return hwnd_ != nullptr; }
  /// The window's own device context, kept for its life; null once it is destroyed.
  HDC dc() const { return surface_.dc(); }
  /// The window procedure of every class of the program.
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  /// A key pressed anywhere in one of the program's top-level windows that has it among its
  /// keys: the window's command runs, and true tells that the message is handled.
  static bool routeKey(const MSG& msg);
  /// The window's context menu as the handler describes it now, each entry's id its command
  /// and its key after a tab; nullptr when there is none. The caller destroys it.
  HMENU makeContextMenu() const;
  /// Tells the handler that the entry or key with this id was chosen.
  void menuCommand(int id);
  HWND hwnd() const { return hwnd_; }

  const std::string& className() const override { return className_; }
  std::string title() const override { return windowText(hwnd_); }
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

 private:
  LRESULT handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  template <typename T>
  T& add(std::unique_ptr<T> control) {
    T& made = *control;
    controls_.push_back(std::move(control));
    return made;
  }

  std::string className_;
  WindowKind kind_;
  WindowHandler* handler_;
  std::vector<KeyBinding> keys_;
  HWND hwnd_ = nullptr;
  DcSurface surface_;
  std::vector<std::unique_ptr<Control>> controls_;
};

}  // namespace kestravin::platform
