#include "ui/platform/qt/qt_controls.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QValidator>
#include <algorithm>

namespace kestravin::platform {

namespace {

// Refuses what the user may not give a field, typed or pasted: in a number field any
// character but a digit, and text beyond the field's limit, of which a paste keeps what fits.
// Text the program sets is not checked.
class FieldValidator : public QValidator {
 public:
  FieldValidator(QLineEdit* edit, bool digitsOnly, int maxChars)
      : QValidator(edit), digitsOnly_(digitsOnly), maxChars_(maxChars) {
    // While a change is validated the field still holds the text before it.
    QObject::connect(edit, &QLineEdit::textChanged, this,
                     [this](const QString& text) { accepted_ = text; });
  }

  State validate(QString& input, int& pos) const override {
    const QString& old = accepted_;
    // What the user put in lies between the unchanged start and the unchanged end.
    qsizetype head = 0;
    while (head < old.size() && head < input.size() && old[head] == input[head]) ++head;
    qsizetype tail = 0;
    while (tail < old.size() - head && tail < input.size() - head &&
           old[old.size() - 1 - tail] == input[input.size() - 1 - tail]) {
      ++tail;
    }
    const qsizetype added = input.size() - head - tail;
    if (digitsOnly_) {
      for (qsizetype i = head; i < head + added; ++i) {
        if (input[i] < QLatin1Char('0') || input[i] > QLatin1Char('9')) return Invalid;
      }
    }
    const qsizetype limit = std::max<qsizetype>(maxChars_, old.size());
    if (maxChars_ > 0 && input.size() > limit) {
      const qsizetype room = added - (input.size() - limit);
      if (room <= 0) return Invalid;
      input.remove(head + room, added - room);
      pos = static_cast<int>(head + room);
    }
    return Acceptable;
  }

 private:
  bool digitsOnly_;
  int maxChars_;
  QString accepted_;
};

// A field the user leaves shows its text from the start again, as text set by the program.
class ShowStartOnLeave : public QObject {
 public:
  explicit ShowStartOnLeave(QLineEdit* edit) : QObject(edit) { edit->installEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    // A field being destroyed loses the focus too, when it is no line edit any more.
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (event->type() == QEvent::FocusOut && edit) edit->setCursorPosition(0);
    return QObject::eventFilter(watched, event);
  }
};

// Draws a row's tab-separated parts as tab stops expand them: each part at the first stop
// that leaves at least a space after the text before it. Past the last given stop, stops
// follow at the last interval.
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
    const QFontMetrics metrics(opt.font);
    const int origin = list_->viewport()->x();  // stops count from the list's left edge
    const QStringList parts = text.split(QLatin1Char('\t'));
    int x = opt.rect.left() + 2;
    for (qsizetype k = 0; k < parts.size(); ++k) {
      if (k > 0)
        x = nextStop(x + metrics.horizontalAdvance(parts[k - 1]) +
                     metrics.horizontalAdvance(QLatin1Char(' ')) + origin) -
            origin;
      QRect r(x, opt.rect.top(), std::max(opt.rect.right() - x, 0), opt.rect.height());
      painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, parts[k]);
    }
    painter->restore();
  }

 private:
  // The first stop at or after `x`, both from the list's left edge.
  int nextStop(int x) const {
    for (int stop : stops_) {
      if (stop >= x) return stop;
    }
    const int last = stops_.back();
    const int step = std::max(stops_.size() > 1 ? last - stops_[stops_.size() - 2] : last, 1);
    return last + (x - last + step - 1) / step * step;
  }

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
  edit()->setValidator(new FieldValidator(edit(), desc.digitsOnly, desc.maxChars));
  new ShowStartOnLeave(edit());
  edit()->show();
}

std::string QtEditField::text() const {
  return widget_ ? fromQt(edit()->text()) : std::string();
}

void QtEditField::setText(std::string_view text) {
  if (!widget_) return;
  edit()->setText(toQt(text));
  edit()->setCursorPosition(0);  // a text longer than the field shows its start
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

void QtListBox::setRows(std::size_t count, const RowSource& source) {
  if (!widget_) return;
  QSignalBlocker quiet(list());
  list()->clear();
  std::string text;
  for (std::size_t k = 0; k < count; ++k) {
    text.clear();
    const std::int32_t data = source(k, text);
    auto* item = new QListWidgetItem(toQt(text));
    item->setData(Qt::UserRole, data);
    list()->addItem(item);
  }
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
