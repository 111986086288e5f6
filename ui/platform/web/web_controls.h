#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/platform/platform.h"
#include "ui/platform/web/list_rows.h"

namespace kestravin::platform::web {

class WebWindow;

/// What the page reports of a control, found by its handle: the user's clicks, selections and
/// typing.
class PageControl {
 public:
  PageControl(WebWindow& window, int kind, std::string_view text, const Rect& rect, int flag);
  virtual ~PageControl();
  PageControl(const PageControl&) = delete;
  PageControl& operator=(const PageControl&) = delete;

  int handle() const { return handle_; }
  /// The user clicked the control.
  virtual void pageClick() {}
  /// The user selected a row (-1: none) of a list box.
  virtual void pageSelect(int row) { (void)row; }
  /// How much the control keeps of what the user typed or pasted (see fieldKeeps).
  virtual int pageKeeps(std::string_view inserted, std::size_t before, std::size_t result) {
    (void)before;
    (void)result;
    return static_cast<int>(inserted.size());
  }

 protected:
  WebWindow& window_;
  Rect rect_;

 private:
  int handle_;
};

/// Position, size and font, for each kind of control.
template <typename Base>
class WebControl : public Base, public PageControl {
 public:
  WebControl(WebWindow& window, int kind, std::string_view text, const Rect& rect, int flag)
      : PageControl(window, kind, text, rect, flag) {}
  void setFont(const Font& font) override;
  Rect geometry() const override { return rect_; }
};

/// A push button that reports its clicks as notification 0.
class WebButton : public WebControl<Button> {
 public:
  WebButton(WebWindow& window, std::string_view text, const Rect& rect, int id);
  std::string text() const override { return text_; }
  void pageClick() override;

 private:
  std::string text_;
  int id_;
};

/// A check box, blue text on black, that reports its clicks as notification 0.
class WebCheckBox : public WebControl<CheckBox> {
 public:
  WebCheckBox(WebWindow& window, std::string_view text, const Rect& rect, int id);
  std::string text() const override { return text_; }
  bool checked() const override;
  void pageClick() override;

 private:
  std::string text_;
  int id_;
};

/// A single-line field that scrolls with the caret; it refuses typed or pasted text beyond its
/// character limit and, for a number field, non-digits.
class WebEditField : public WebControl<EditField> {
 public:
  WebEditField(WebWindow& window, const EditSpec& desc);
  std::string text() const override;
  void setText(std::string_view text) override;
  int pageKeeps(std::string_view inserted, std::size_t before, std::size_t result) override;

 private:
  bool digitsOnly_;
  int maxChars_;
};

/// A single-selection list whose rows live here and are shown a screenful at a time, so that
/// a million rows cost no more to show than ten. Reports the user's selection changes as
/// notification 1 and shows tab-separated parts of its rows at the given tab stops.
class WebListBox : public WebControl<ListBox> {
 public:
  static constexpr int kRowHeight = 18;  // as the desktop's list rows in its font

  WebListBox(WebWindow& window, const ListBoxSpec& desc);
  ~WebListBox() override;

  std::string text() const override { return {}; }
  void setRows(std::size_t count, const RowSource& source) override;
  void addRow(std::string_view text) override;
  void insertRow(int index, std::string_view text) override;
  bool deleteRow(int index) override;
  void clear() override;
  int rowCount() const override { return static_cast<int>(rows_.size()); }
  std::string rowText(int index) const override;
  void setRowData(int index, std::int32_t data) override;
  std::int32_t rowData(int index) const override;
  int selectedRow() const override { return selected_; }
  void selectRow(int index) override;
  void pageSelect(int row) override;

  /// For the page: the rows to show at a scroll position, and one row's text.
  ListLayout layout(int scrollTop, int viewHeight) const {
    return layoutRows(rows_.size(), kRowHeight, viewHeight, scrollTop);
  }
  std::string_view pageRowText(std::size_t row) const { return rows_.text(row); }
  /// Shows the rows as they are now.
  void render();

 private:
  enum class Scroll { kKeep, kToSelection, kToTop };
  /// The rows are shown anew at the next frame.
  void changed(Scroll scroll = Scroll::kKeep);

  int id_;
  RowStore rows_;
  int selected_ = -1;
  Scroll scroll_ = Scroll::kKeep;
};

}  // namespace kestravin::platform::web
