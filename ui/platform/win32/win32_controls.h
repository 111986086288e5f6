#pragma once

#include "ui/platform/platform.h"
#include "ui/platform/win32/win32_util.h"

namespace kestravin::platform {

/// A child control made with one of the system's classes, addressed by its handle.
class ControlBase {
 public:
  ControlBase(const char* cls, std::string_view text, DWORD style, const Rect& rect, HWND parent,
              int id);

  /// The control's window; null when the system did not make it.
  HWND hwnd() const { return hwnd_; }
  /// The id the control reports to its parent.
  int id() const { return id_; }
  /// Sends a message to the control; 0 when there is no control.
  LRESULT send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const;
  void setFontOf(const Font& font) const;

 protected:
  HWND hwnd_ = nullptr;
  int id_ = 0;
};

class Win32Button : public Button, public ControlBase {
 public:
  Win32Button(std::string_view text, const Rect& rect, HWND parent, int id);
  void setFont(const Font& font) override { setFontOf(font); }
  Rect geometry() const override { return childGeometry(hwnd_); }
  std::string text() const override { return windowText(hwnd_); }
};

class Win32CheckBox : public CheckBox, public ControlBase {
 public:
  Win32CheckBox(std::string_view text, const Rect& rect, HWND parent, int id);
  void setFont(const Font& font) override { setFontOf(font); }
  Rect geometry() const override { return childGeometry(hwnd_); }
  std::string text() const override { return windowText(hwnd_); }
  bool checked() const override;
};

/// The system's edit field, scrolling with the caret (ES_AUTOHSCROLL) and limited to the
/// given number of characters; left by the user, it shows its text from the start. A number
/// field takes only digits from the user: typed (ES_NUMBER, and checked again) or pasted.
class Win32EditField : public EditField, public ControlBase {
 public:
  Win32EditField(const EditSpec& desc, HWND parent);
  void setFont(const Font& font) override { setFontOf(font); }
  Rect geometry() const override { return childGeometry(hwnd_); }
  std::string text() const override { return windowText(hwnd_); }
  void setText(std::string_view text) override;

 private:
  static LRESULT CALLBACK filter(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  WNDPROC original_ = nullptr;
  bool digitsOnly_ = false;
};

/// An unsorted list box that notifies its parent of the user's selection changes.
class Win32ListBox : public ListBox, public ControlBase {
 public:
  Win32ListBox(const ListBoxSpec& desc, HWND parent);
  void setFont(const Font& font) override { setFontOf(font); }
  Rect geometry() const override { return childGeometry(hwnd_); }
  std::string text() const override { return windowText(hwnd_); }

  void setRows(std::size_t count, const RowSource& source) override;
  void addRow(std::string_view text) override;
  void insertRow(int index, std::string_view text) override;
  bool deleteRow(int index) override;
  void clear() override { send(LB_RESETCONTENT); }
  int rowCount() const override { return hwnd_ ? static_cast<int>(send(LB_GETCOUNT)) : 0; }
  std::string rowText(int index) const override;
  void setRowData(int index, std::int32_t data) override;
  std::int32_t rowData(int index) const override;
  int selectedRow() const override;
  void selectRow(int index) override { send(LB_SETCURSEL, static_cast<WPARAM>(index)); }
};

}  // namespace kestravin::platform
