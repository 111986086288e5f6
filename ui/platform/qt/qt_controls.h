#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <functional>

#include "ui/platform/platform.h"
#include "ui/platform/qt/qt_convert.h"
#include "ui/platform/qt/qt_surface.h"

namespace kestravin::platform {

/// Where a control reports what the user did: its id and the notification.
using CommandSink = std::function<void(int id, int notification)>;

/// What every control does through its widget. The widget belongs to the window it sits in;
/// once the window has deleted it, the control does nothing.
template <typename Base>
class QtControl : public Base {
 public:
  explicit QtControl(QWidget* widget) : widget_(widget) {}
  void setFont(const Font& font) override {
    if (widget_) widget_->setFont(*qtFont(&font));
  }
  Rect geometry() const override { return widget_ ? fromQt(widget_->geometry()) : Rect{}; }

 protected:
  QPointer<QWidget> widget_;
};

/// A push button that reports its clicks as notification 0.
class QtButton : public QtControl<Button> {
 public:
  QtButton(std::string_view text, const Rect& rect, int id, QWidget* parent,
           const CommandSink& sink);
  QPushButton* button() const { return static_cast<QPushButton*>(widget_.data()); }
  std::string text() const override;
};

/// A check box, blue text, that reports its clicks as notification 0.
class QtCheckBox : public QtControl<CheckBox> {
 public:
  QtCheckBox(std::string_view text, const Rect& rect, int id, QWidget* parent,
             const CommandSink& sink);
  QCheckBox* box() const { return static_cast<QCheckBox*>(widget_.data()); }
  std::string text() const override;
  bool checked() const override;
};

/// A line edit without text margins that refuses text beyond its limit and, for a number
/// field, non-digits from the user.
class QtEditField : public QtControl<EditField> {
 public:
  QtEditField(const EditSpec& desc, QWidget* parent);
  QLineEdit* edit() const { return static_cast<QLineEdit*>(widget_.data()); }
  std::string text() const override;
  void setText(std::string_view text) override;
};

/// A single-selection list that reports the user's selection changes as notification 1 and
/// draws tab-separated parts of its rows at the given tab stops.
class QtListBox : public QtControl<ListBox> {
 public:
  QtListBox(const ListBoxSpec& desc, QWidget* parent, const CommandSink& sink);
  QListWidget* list() const { return static_cast<QListWidget*>(widget_.data()); }

  std::string text() const override { return {}; }
  void setRows(std::size_t count, const RowSource& source) override;
  void addRow(std::string_view text) override;
  void insertRow(int index, std::string_view text) override;
  bool deleteRow(int index) override;
  void clear() override;
  int rowCount() const override { return widget_ ? list()->count() : 0; }
  std::string rowText(int index) const override;
  void setRowData(int index, std::int32_t data) override;
  std::int32_t rowData(int index) const override;
  int selectedRow() const override;
  void selectRow(int index) override;
};

}  // namespace kestravin::platform
