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
    : ControlBase("EDIT", "", WS_BORDER | ES_AUTOHSCROLL | (desc.digitsOnly ? ES_NUMBER : 0),
                  desc.rect, parent, desc.id) {
  if (!hwnd_) return;
  // The limit binds the user only; text set by the program is taken whole.
  if (desc.maxChars > 0) send(EM_LIMITTEXT, static_cast<WPARAM>(desc.maxChars));
  digitsOnly_ = desc.digitsOnly;
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&filter)));
}

namespace {

bool allDigits(const char* text) {
  for (; *text; ++text) {
    if (*text < '0' || *text > '9') return false;
  }
  return true;
}

// Whether the clipboard holds text made of digits only (an empty text too).
bool clipboardHoldsDigits(HWND owner) {
  if (!OpenClipboard(owner)) return false;
  bool digits = true;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* text = static_cast<const char*>(GlobalLock(data))) {
      digits = allDigits(text);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return digits;
}

}  // namespace

// A number field: ES_NUMBER refuses typed non-digits but lets a paste through; both are
// checked here. Any field the user leaves shows its text from the start again.
LRESULT CALLBACK Win32EditField::filter(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<Win32EditField*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self->digitsOnly_) {
    const bool typedNonDigit =
        message == WM_CHAR && wparam >= 0x20 && wparam != 0x7F && (wparam < '0' || wparam > '9');
    if (typedNonDigit || (message == WM_PASTE && !clipboardHoldsDigits(hwnd))) {
      MessageBeep(MB_OK);
      return 0;
    }
  }
  const LRESULT result = CallWindowProcA(self->original_, hwnd, message, wparam, lparam);
  if (message == WM_KILLFOCUS) {
    CallWindowProcA(self->original_, hwnd, EM_SETSEL, 0, 0);
    CallWindowProcA(self->original_, hwnd, EM_SCROLLCARET, 0, 0);
  }
  return result;
}

void Win32EditField::setText(std::string_view text) {
  if (hwnd_) SetWindowTextA(hwnd_, std::string(text).c_str());
}

// The player list expands tabs at the list box's default stops.
Win32ListBox::Win32ListBox(const ListBoxSpec& desc, HWND parent)
    : ControlBase("LISTBOX", "",
                  WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_DISABLENOSCROLL |
                      (desc.tabStops.empty() ? 0 : LBS_USETABSTOPS),
                  desc.rect, parent, desc.id) {}

// Filled with redrawing off and room reserved at once: a list box redraws and grows after
// every row otherwise, which makes a list of many thousands take minutes.
void Win32ListBox::setRows(std::size_t count, const RowSource& source) {
  if (!hwnd_) return;
  send(WM_SETREDRAW, FALSE);
  send(LB_RESETCONTENT);
  std::string text;
  for (std::size_t k = 0; k < count; ++k) {
    text.clear();
    const std::int32_t data = source(k, text);
    if (k == 0) {
      // Room for every row, the strings' guessed from the first; the list grows as needed.
      send(LB_INITSTORAGE, static_cast<WPARAM>(count),
           static_cast<LPARAM>(count * (text.size() + 1)));
    }
    const LRESULT row = send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (row == LB_ERR || row == LB_ERRSPACE) break;
    send(LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(data));
  }
  send(WM_SETREDRAW, TRUE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

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
