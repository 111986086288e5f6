#include "ui/platform/qt/qt_controls.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QValidator>
#include <algorithm>

namespace kestravin::platform {

namespace {

// Refuses typed text that is not wanted: non-digits in a number field, and anything that
// would no longer fit the field's visible width (the fields do not scroll).
class FieldValidator : public QValidator {
 public:
  FieldValidator(QLineEdit* edit, bool digitsOnly)
      : QValidator(edit), edit_(edit), digitsOnly_(digitsOnly) {
    // While a change is validated the field already holds the new text; the last accepted
    // text tells what was typed.
    QObject::connect(edit, &QLineEdit::textChanged, this,
                     [this](const QString& text) { accepted_ = text; });
  }

  State validate(QString& input, int& pos) const override {
    const QString& old = accepted_;
    if (input.size() <= old.size()) return Acceptable;
    if (digitsOnly_) {
      const qsizetype added = input.size() - old.size();
      const qsizetype from = std::max<qsizetype>(pos - added, 0);
      for (qsizetype i = from; i < pos && i < input.size(); ++i) {
        if (!input[i].isDigit()) return Invalid;
      }
    }
    // The inner width: the field less its one-pixel border and the text margins.
    const int inner = edit_->width() - 2 - 2 * kTextMargin;
    if (QFontMetrics(edit_->font()).horizontalAdvance(input) > inner) return Invalid;
    return Acceptable;
  }

  static constexpr int kTextMargin = 2;

 private:
  QLineEdit* edit_;
  bool digitsOnly_;
  QString accepted_;
};

// Draws a row's tab-separated parts at the list's tab stops.
class TabDelegate : public QStyledItemDelegate {
 public:
  TabDelegate(QListWidget* list, std::vector<int> stops)
      : QStyledItemDelegate(list), list_(list), stops_(std::move(stops)) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    list_->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, list_);
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                         : QPalette::Text));
    const QStringList parts = text.split(QLatin1Char('\t'));
    const int origin = list_->viewport()->x();  // stops count from the list's left edge
    for (qsizetype k = 0; k < parts.size(); ++k) {
      int x = opt.rect.left() + 2;
      if (k > 0) {
        const std::size_t stop = static_cast<std::size_t>(k - 1);
        x = stop < stops_.size() ? stops_[stop] - origin : x + static_cast<int>(k) * 64;
      }
      QRect r(x, opt.rect.top(), opt.rect.right() - x, opt.rect.height());
      painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, parts[k]);
    }
    painter->restore();
  }

 private:
  QListWidget* list_;
  std::vector<int> stops_;
};

}  // namespace

QtButton::QtButton(std::string_view text, const Rect& rect, int id, QWidget* parent,
                   const CommandSink& sink)
    : QtControl(new QPushButton(toQt(text), parent)) {
  button()->setGeometry(toQt(rect));
  button()->setAutoDefault(false);
  QObject::connect(button(), &QPushButton::clicked, [sink, id] { sink(id, 0); });
  button()->show();
}

std::string QtButton::text() const {
  return widget_ ? fromQt(button()->text()) : std::string();
}

QtCheckBox::QtCheckBox(std::string_view text, const Rect& rect, int id, QWidget* parent,
                       const CommandSink& sink)
    : QtControl(new QCheckBox(toQt(text), parent)) {
  box()->setGeometry(toQt(rect));
  QPalette palette = box()->palette();
  palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
  box()->setPalette(palette);
  QObject::connect(box(), &QCheckBox::clicked, [sink, id] { sink(id, 0); });
  box()->show();
}

std::string QtCheckBox::text() const {
  return widget_ ? fromQt(box()->text()) : std::string();
}

bool QtCheckBox::checked() const {
  return widget_ && box()->isChecked();
}

QtEditField::QtEditField(const EditSpec& desc, QWidget* parent) : QtControl(new QLineEdit(parent)) {
  edit()->setGeometry(toQt(desc.rect));
  edit()->setTextMargins(0, 0, 0, 0);
  edit()->setValidator(new FieldValidator(edit(), desc.digitsOnly));
  edit()->show();
}

std::string QtEditField::text() const {
  return widget_ ? fromQt(edit()->text()) : std::string();
}

void QtEditField::setText(std::string_view text) {
  if (widget_) edit()->setText(toQt(text));
}

QtListBox::QtListBox(const ListBoxSpec& desc, QWidget* parent, const CommandSink& sink)
    : QtControl(new QListWidget(parent)) {
  list()->setGeometry(toQt(desc.rect));
  list()->setSelectionMode(QAbstractItemView::SingleSelection);
  list()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list()->setUniformItemSizes(true);
  if (!desc.tabStops.empty()) list()->setItemDelegate(new TabDelegate(list(), desc.tabStops));
  const int id = desc.id;
  QObject::connect(list(), &QListWidget::itemSelectionChanged, [sink, id] { sink(id, 1); });
  list()->show();
}

void QtListBox::addRow(std::string_view text) {
  if (!widget_) return;
  QSignalBlocker quiet(list());
  list()->addItem(toQt(text));
}

void QtListBox::insertRow(int index, std::string_view text) {
  if (!widget_) return;
  QSignalBlocker quiet(list());
  list()->insertItem(index, toQt(text));
}

bool QtListBox::deleteRow(int index) {
  if (!widget_ || index < 0 || index >= list()->count()) return false;
  QSignalBlocker quiet(list());
  delete list()->takeItem(index);
  return true;
}

void QtListBox::clear() {
  if (!widget_) return;
  QSignalBlocker quiet(list());
  list()->clear();
}

std::string QtListBox::rowText(int index) const {
  const QListWidgetItem* item = widget_ ? list()->item(index) : nullptr;
  return item ? fromQt(item->text()) : std::string();
}

void QtListBox::setRowData(int index, std::int32_t data) {
  if (QListWidgetItem* item = widget_ ? list()->item(index) : nullptr) {
    item->setData(Qt::UserRole, data);
  }
}

std::int32_t QtListBox::rowData(int index) const {
  const QListWidgetItem* item = widget_ ? list()->item(index) : nullptr;
  return item ? item->data(Qt::UserRole).toInt() : -1;
}

int QtListBox::selectedRow() const {
  if (!widget_) return -1;
  const auto selected = list()->selectedItems();
  return selected.isEmpty() ? -1 : list()->row(selected.front());
}

void QtListBox::selectRow(int index) {
  if (!widget_) return;
  QSignalBlocker quiet(list());
  list()->setCurrentRow(index);
}

}  // namespace kestravin::platform
