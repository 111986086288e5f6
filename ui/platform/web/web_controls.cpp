#include "ui/platform/web/web_controls.h"

#include "ui/platform/web/field_rules.h"
#include "ui/platform/web/web_host.h"
#include "ui/platform/web/web_platform.h"
#include "ui/platform/web/web_window.h"

namespace kestravin::platform::web {

namespace {

enum Kind { kButtonKind = 0, kCheckBoxKind = 1, kEditKind = 2, kListKind = 3 };

int length(std::string_view text) {
  return static_cast<int>(text.size());
}

}  // namespace

PageControl::PageControl(WebWindow& window, int kind, std::string_view text, const Rect& rect,
                         int flag)
    : window_(window), rect_(rect), handle_(window.platform().addControl(*this)) {
  const int box[] = {rect.x, rect.y, rect.w, rect.h};
  kw_controlCreate(handle_, window.handle(), kind, text.data(), length(text), box, flag);
}

PageControl::~PageControl() {
  kw_controlRemove(handle_);
  window_.platform().removeControl(handle_);
}

template <typename Base>
void WebControl<Base>::setFont(const Font& font) {
  (void)font;  // the backend has one font, whose web font the page shows controls in
  kw_controlFont(handle());
}

WebButton::WebButton(WebWindow& window, std::string_view text, const Rect& rect, int id)
    : WebControl(window, kButtonKind, text, rect, 0), text_(text), id_(id) {}

void WebButton::pageClick() {
  window_.command(id_, 0);
}

WebCheckBox::WebCheckBox(WebWindow& window, std::string_view text, const Rect& rect, int id)
    : WebControl(window, kCheckBoxKind, text, rect, 0), text_(text), id_(id) {}

bool WebCheckBox::checked() const {
  return kw_checkState(handle()) != 0;
}

void WebCheckBox::pageClick() {
  window_.command(id_, 0);
}

WebEditField::WebEditField(WebWindow& window, const EditSpec& desc)
    : WebControl(window, kEditKind, {}, desc.rect, desc.digitsOnly ? 1 : 0),
      digitsOnly_(desc.digitsOnly),
      maxChars_(desc.maxChars) {}

std::string WebEditField::text() const {
  std::string text(static_cast<std::size_t>(kw_editLength(handle())), '\0');
  kw_editRead(handle(), text.data(), length(text));
  return text;
}

void WebEditField::setText(std::string_view text) {
  kw_editWrite(handle(), text.data(), length(text));
}

int WebEditField::pageKeeps(std::string_view inserted, std::size_t before, std::size_t result) {
  return fieldKeeps(inserted, before, result, digitsOnly_, maxChars_);
}

WebListBox::WebListBox(WebWindow& window, const ListBoxSpec& desc)
    : WebControl(window, kListKind, {}, desc.rect, kRowHeight), id_(desc.id) {
  kw_listTabStops(handle(), desc.tabStops.data(), static_cast<int>(desc.tabStops.size()));
}

WebListBox::~WebListBox() {
  window_.platform().listGone(*this);
}

void WebListBox::changed(Scroll scroll) {
  if (scroll != Scroll::kKeep) scroll_ = scroll;
  window_.platform().listChanged(*this);
}

void WebListBox::render() {
  kw_listRender(handle(), static_cast<int>(scroll_));
  scroll_ = Scroll::kKeep;
}

void WebListBox::setRows(std::size_t count, const RowSource& source) {
  rows_.clear();
  std::string text;
  for (std::size_t k = 0; k < count; ++k) {
    text.clear();
    const std::int32_t data = source(k, text);
    rows_.insert(k, text);
    rows_.setData(k, data);
  }
  selected_ = -1;
  changed(Scroll::kToTop);
}

void WebListBox::addRow(std::string_view text) {
  rows_.insert(rows_.size(), text);
  changed();
}

void WebListBox::insertRow(int index, std::string_view text) {
  if (index < 0) return;
  const auto at = std::min(static_cast<std::size_t>(index), rows_.size());
  rows_.insert(at, text);
  if (selected_ >= 0 && at <= static_cast<std::size_t>(selected_)) ++selected_;
  changed();
}

bool WebListBox::deleteRow(int index) {
  if (index < 0 || !rows_.erase(static_cast<std::size_t>(index))) return false;
  if (index == selected_) {
    selected_ = -1;
  } else if (index < selected_) {
    --selected_;
  }
  changed();
  return true;
}

void WebListBox::clear() {
  rows_.clear();
  selected_ = -1;
  changed(Scroll::kToTop);
}

std::string WebListBox::rowText(int index) const {
  return index < 0 ? std::string() : std::string(rows_.text(static_cast<std::size_t>(index)));
}

void WebListBox::setRowData(int index, std::int32_t data) {
  if (index >= 0) rows_.setData(static_cast<std::size_t>(index), data);
}

std::int32_t WebListBox::rowData(int index) const {
  return index < 0 ? -1 : rows_.data(static_cast<std::size_t>(index));
}

void WebListBox::selectRow(int index) {
  selected_ = index >= 0 && index < rowCount() ? index : -1;
  changed(selected_ >= 0 ? Scroll::kToSelection : Scroll::kKeep);
}

void WebListBox::pageSelect(int row) {
  const int chosen = row >= 0 && row < rowCount() ? row : -1;
  if (chosen == selected_) return;
  selected_ = chosen;
  changed(chosen >= 0 ? Scroll::kToSelection : Scroll::kKeep);
  window_.command(id_, 1);
}

template class WebControl<Button>;
template class WebControl<CheckBox>;
template class WebControl<EditField>;
template class WebControl<ListBox>;

}  // namespace kestravin::platform::web
