#include "ui/platform/win32/win32_controls.h"

#include "ui/platform/win32/win32_surface.h"

namespace kestravin::platform {

ControlBase::ControlBase(const char* cls, std::string_view text, DWORD style, const Rect& rect,
                         HWND parent, int id)
    : id_(id) {
  const std::string caption(text);
  hwnd_ = CreateWindowExA(0, cls, caption.c_str(), WS_CHILD | WS_VISIBLE | style, rect.x, rect.y,
                          rect.w, rect.h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          instance(), nullptr);
}

LRESULT ControlBase::send(UINT message, WPARAM wparam, LPARAM lparam) const {
  return hwnd_ ? SendMessageA(hwnd_, message, wparam, lparam) : 0;
}

void ControlBase::setFontOf(const Font& font) const {
  send(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<const Win32Font&>(font).handle()), TRUE);
}

Win32Button::Win32Button(std::string_view text, const Rect& rect, HWND parent, int id)
    : ControlBase("BUTTON", text, BS_DEFPUSHBUTTON, rect, parent, id) {}

Win32CheckBox::Win32CheckBox(std::string_view text, const Rect& rect, HWND parent, int id)
    : ControlBase("BUTTON", text, BS_AUTOCHECKBOX, rect, parent, id) {}

bool Win32CheckBox::checked() const {
  return hwnd_ && IsDlgButtonChecked(GetParent(hwnd_), id_) == BST_CHECKED;
}

Win32EditField::Win32EditField(const EditSpec& desc, HWND parent)
    : ControlBase("EDIT", "", WS_BORDER | (desc.digitsOnly ? ES_NUMBER : 0), desc.rect, parent,
                  desc.id) {}

void Win32EditField::setText(std::string_view text) {
  if (hwnd_) SetWindowTextA(hwnd_, std::string(text).c_str());
}

// The player list expands tabs at the list box's default stops.
Win32ListBox::Win32ListBox(const ListBoxSpec& desc, HWND parent)
    : ControlBase("LISTBOX", "",
                  WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_DISABLENOSCROLL |
                      (desc.tabStops.empty() ? 0 : LBS_USETABSTOPS),
                  desc.rect, parent, desc.id) {}

void Win32ListBox::addRow(std::string_view text) {
  send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::string(text).c_str()));
}

void Win32ListBox::insertRow(int index, std::string_view text) {
  send(LB_INSERTSTRING, static_cast<WPARAM>(index),
       reinterpret_cast<LPARAM>(std::string(text).c_str()));
}

bool Win32ListBox::deleteRow(int index) {
  if (index < 0 || !hwnd_) return false;
  return send(LB_DELETESTRING, static_cast<WPARAM>(index)) != LB_ERR;
}

std::string Win32ListBox::rowText(int index) const {
  if (index < 0 || index >= rowCount()) return {};
  const LRESULT length = send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (length == LB_ERR) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT got =
      send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
  return text;
}

void Win32ListBox::setRowData(int index, std::int32_t data) {
  send(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

std::int32_t Win32ListBox::rowData(int index) const {
  if (index < 0 || index >= rowCount()) return 0;
  return static_cast<std::int32_t>(send(LB_GETITEMDATA, static_cast<WPARAM>(index)));
}

int Win32ListBox::selectedRow() const {
  if (!hwnd_) return -1;
  const LRESULT row = send(LB_GETCURSEL);
  return row == LB_ERR ? -1 : static_cast<int>(row);
}

}  // namespace kestravin::platform
