#pragma once

#include "ui/platform/platform.h"
#include "ui/platform/win32/win32_util.h"

namespace kestravin::platform {

/// A child control made with one of the system's classes, addressed by its handle.
class ControlBase {
 public:
  ControlBase(const char* cls, std::string_view text, DWORD style, const Rect& rect, HWND parent,
              int id);

  HWND hwnd() const { return hwnd_; }
  int id() const { return id_; }
  /// Sends a message to the control; 0 when there is no control.
  LRESULT send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const;
  /// Tells the parent what the user did, as the control itself would.
  void notifyParent(int notification) const;
  void setFontOf(const Font& font) const;

 protected:
  HWND hwnd_ = nullptr;
  int id_ = 0;
};

class Win32Button : public Button, private ControlBase {
 public:
  Win32Button(std::string_view text, const Rect& rect, HWND parent, int id);
  void setFont(const Font& font) override { setFontOf(font); }
  Rect geometry() const override { return childGeometry(hwnd_); }
  std::string text() const override { return windowText(hwnd_); }
  void click() override { notifyParent(BN_CLICKED); }
};

class Win32CheckBox : public CheckBox, private ControlBase {
 public:
  Win32CheckBox(std::string_view text, const Rect& rect, HWND parent, int id);
  void setFont(const Font& font) override { setFontOf(font); }
  Rect geometry() const override { return childGeometry(hwnd_); }
  std::string text() const override { return windowText(hwnd_); }
  bool checked() const override;
  void click() override;
};

/// Without ES_AUTOHSCROLL the system's edit field takes no more characters once the text
/// fills its width; with ES_NUMBER it takes only digits from the keyboard.
class Win32EditField : public EditField, private ControlBase {
 public:
  Win32EditField(const EditSpec& desc, HWND parent);
  void setFont(const Font& font) override { setFontOf(font); }
  Rect geometry() const override { return childGeometry(hwnd_); }
  std::string text() const override { return windowText(hwnd_); }
  void setText(std::string_view text) override;
  bool type(char c) override;
};

/// An unsorted list box that notifies its parent of the user's selection changes.
class Win32ListBox : public ListBox, private ControlBase {
 public:
  Win32ListBox(const ListBoxSpec& desc, HWND parent);
  void setFont(const Font& font) override { setFontOf(font); }
  Rect geometry() const override { return childGeometry(hwnd_); }
  std::string text() const override { return windowText(hwnd_); }

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
  void userSelect(int index) override;
};

}  // namespace kestravin::platform
