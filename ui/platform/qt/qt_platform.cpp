#include "ui/platform/qt/qt_platform.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRegion>
#include <QStyledItemDelegate>
#include <QValidator>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>
#include <thread>

namespace kestravin::platform {

namespace {

// Texts are single-byte: Latin-1 keeps every byte as it is, both ways.
QString toQt(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
std::string fromQt(const QString& text) {
  return text.toLatin1().toStdString();
}
QRect toQt(const Rect& r) {
  return QRect(r.x, r.y, r.w, r.h);
}
QColor toQt(Rgb c) {
  return QColor(c.r, c.g, c.b);
}

class QtFont : public Font {
 public:
  explicit QtFont(const FontSpec& desc) : font_(toQt(desc.face)) {
    // Without antialiasing every text pixel is exactly the text colour, and text drawn again
    // in place (the column headings) stays as it was.
    font_.setStyleHint(QFont::SansSerif,
                       QFont::StyleStrategy(QFont::PreferOutline | QFont::NoAntialias));
    // The description gives the character cell height; Qt sizes fonts by the em. Take the
    // largest pixel size whose cell (ascent + descent) still fits the requested height.
    int pixels = std::max(desc.cellHeight, 1);
    font_.setPixelSize(pixels);
    while (pixels > 1 && QFontMetrics(font_).height() > desc.cellHeight) {
      font_.setPixelSize(--pixels);
    }
  }
  const QFont& font() const { return font_; }

 private:
  QFont font_;
};

const QFont* qtFont(const Font* font) {
  return font ? &static_cast<const QtFont*>(font)->font() : nullptr;
}

// A picture in memory that the program draws on: an off-screen buffer, or what a window
// shows. Fills and lines write the pixels directly (exact, and lines end one pixel short of
// their end point); only text goes through a painter, which stays open between texts.
class ImageSurface : public Buffer {
 public:
  explicit ImageSurface(Size size)
      : image_(std::max(size.w, 1), std::max(size.h, 1), QImage::Format_RGB32) {
    image_.fill(QColor(Qt::black));
  }
  ~ImageSurface() override { endPainter(); }

  Size size() const override { return {image_.width(), image_.height()}; }

  Rgb pixel(Point at) const override {
    endPainter();
    if (!image_.rect().contains(at.x, at.y)) return kBlack;
    const QRgb v = image_.pixel(at.x, at.y);
    return {static_cast<std::uint8_t>(qRed(v)), static_cast<std::uint8_t>(qGreen(v)),
            static_cast<std::uint8_t>(qBlue(v))};
  }

  void fillBlack(const Rect& rect) override {
    endPainter();
    const QRect r = toQt(rect).intersected(image_.rect());
    if (r.isEmpty()) return;
    for (int y = r.top(); y <= r.bottom(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
      std::fill(line + r.left(), line + r.right() + 1, qRgb(0, 0, 0));
    }
    changed(r);
  }

  void setTextColor(Rgb color) override {
    textColor_ = color;
    if (painter_) painter_->setPen(toQt(color));
  }

  void selectFont(const Font* font) override {
    font_ = qtFont(font) ? *qtFont(font) : QFont();
    metrics_.emplace(font_);
    if (painter_) painter_->setFont(font_);
  }

  void setPen(Rgb color) override { pen_ = qRgb(color.r, color.g, color.b); }
  void moveTo(Point to) override { position_ = to; }

  void lineTo(Point to) override {
    endPainter();
    // Bresenham from the current position, leaving out the end point.
    int x = position_.x;
    int y = position_.y;
    const int dx = std::abs(to.x - x);
    const int dy = -std::abs(to.y - y);
    const int sx = x < to.x ? 1 : -1;
    const int sy = y < to.y ? 1 : -1;
    int err = dx + dy;
    QRect touched(QPoint(std::min(x, to.x), std::min(y, to.y)),
                  QPoint(std::max(x, to.x), std::max(y, to.y)));
    while (x != to.x || y != to.y) {
      if (image_.rect().contains(x, y)) reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = pen_;
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y += sy;
      }
    }
    position_ = to;
    changed(touched.intersected(image_.rect()));
  }

  void drawText(Point at, std::string_view text) override {
    if (text.empty()) return;
    if (!painter_) {
      painter_.emplace(&image_);
      painter_->setFont(font_);
      painter_->setPen(toQt(textColor_));
    }
    if (!metrics_) metrics_.emplace(font_);
    const QString s = toQt(text);
    painter_->drawText(QPoint(at.x, at.y + metrics_->ascent()), s);
    changed(QRect(at.x, at.y, metrics_->horizontalAdvance(s) + 2, metrics_->height())
                .intersected(image_.rect()));
  }

  const QImage& image() const {
    endPainter();
    return image_;
  }

  // Copies part of another picture in, pixel for pixel.
  void blit(const ImageSurface& from, const Rect& part, Point to) {
    endPainter();
    const QImage& src = from.image();
    QRect s = toQt(part).intersected(src.rect());
    QRect d(QPoint(to.x + s.x() - part.x, to.y + s.y() - part.y), s.size());
    const QRect clipped = d.intersected(image_.rect());
    s.translate(clipped.topLeft() - d.topLeft());
    s.setSize(clipped.size());
    if (clipped.isEmpty()) return;
    for (int row = 0; row < clipped.height(); ++row) {
      const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(s.top() + row)) + s.left();
      auto* out = reinterpret_cast<QRgb*>(image_.scanLine(clipped.top() + row)) + clipped.left();
      std::copy(in, in + clipped.width(), out);
    }
    changed(clipped);
  }

 protected:
  virtual void changed(const QRect& rect) { (void)rect; }

 private:
  void endPainter() const { painter_.reset(); }

  mutable QImage image_;
  mutable std::optional<QPainter> painter_;
  std::optional<QFontMetrics> metrics_;
  QFont font_;
  Rgb textColor_ = kBlack;
  QRgb pen_ = qRgb(0, 0, 0);
  Point position_;
};

class QtWindow;

// Watches a top-level window's native window for exposures.
class ExposeWatch : public QObject {
 public:
  explicit ExposeWatch(QtWindow& owner) : owner_(owner) {}
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QtWindow& owner_;
};

// The widget of one of our windows: shows the window's picture and turns the toolkit's
// paint and close events into the window's paint cycle and handler calls.
class Canvas : public QWidget {
 public:
  Canvas(QtWindow& owner, QWidget* parent) : QWidget(parent), owner_(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QtWindow& owner_;
};

class WindowSurface : public ImageSurface {
 public:
  WindowSurface(Size size, Canvas& canvas) : ImageSurface(size), canvas_(canvas) {}

 protected:
  void changed(const QRect& rect) override {
    if (rect.isEmpty()) return;
    canvas_.update(rect);
  }

 private:
  Canvas& canvas_;
};

template <typename Base>
class QtControl : public Base {
 public:
  explicit QtControl(QWidget* widget) : widget_(widget) {}
  void setFont(const Font& font) override {
    if (widget_) widget_->setFont(*qtFont(&font));
  }
  Rect geometry() const override {
    if (!widget_) return {};
    const QRect g = widget_->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
  }

 protected:
  QPointer<QWidget> widget_;
};

class QtButton : public QtControl<Button> {
 public:
  QtButton(QPushButton* button) : QtControl(button) {}
  std::string text() const override {
    return widget_ ? fromQt(static_cast<QPushButton*>(widget_.data())->text()) : std::string();
  }
  void click() override {
    if (widget_) static_cast<QPushButton*>(widget_.data())->click();
  }
};

class QtCheckBox : public QtControl<CheckBox> {
 public:
  QtCheckBox(QCheckBox* box) : QtControl(box) {}
  QCheckBox* box() const { return static_cast<QCheckBox*>(widget_.data()); }
  std::string text() const override { return widget_ ? fromQt(box()->text()) : std::string(); }
  bool checked() const override { return widget_ && box()->isChecked(); }
  void click() override {
    if (widget_) box()->click();
  }
};

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

class QtEditField : public QtControl<EditField> {
 public:
  QtEditField(QLineEdit* edit) : QtControl(edit) {}
  QLineEdit* edit() const { return static_cast<QLineEdit*>(widget_.data()); }
  std::string text() const override { return widget_ ? fromQt(edit()->text()) : std::string(); }
  void setText(std::string_view text) override {
    if (widget_) edit()->setText(toQt(text));
  }
  bool type(char c) override {
    if (!widget_) return false;
    const QString before = edit()->text();
    edit()->setFocus();
    edit()->end(false);
    const QString s = toQt(std::string_view(&c, 1));
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, s);
    QCoreApplication::sendEvent(edit(), &press);
    return edit()->text() != before;
  }
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

class QtListBox : public QtControl<ListBox> {
 public:
  QtListBox(QListWidget* list) : QtControl(list) {}
  QListWidget* list() const { return static_cast<QListWidget*>(widget_.data()); }

  std::string text() const override { return {}; }
  void addRow(std::string_view text) override {
    if (!widget_) return;
    QSignalBlocker quiet(list());
    list()->addItem(toQt(text));
  }
  void insertRow(int index, std::string_view text) override {
    if (!widget_) return;
    QSignalBlocker quiet(list());
    list()->insertItem(index, toQt(text));
  }
  bool deleteRow(int index) override {
    if (!widget_ || index < 0 || index >= list()->count()) return false;
    QSignalBlocker quiet(list());
    delete list()->takeItem(index);
    return true;
  }
  void clear() override {
    if (!widget_) return;
    QSignalBlocker quiet(list());
    list()->clear();
  }
  int rowCount() const override { return widget_ ? list()->count() : 0; }
  std::string rowText(int index) const override {
    const QListWidgetItem* item = widget_ ? list()->item(index) : nullptr;
    return item ? fromQt(item->text()) : std::string();
  }
  void setRowData(int index, std::int32_t data) override {
    if (QListWidgetItem* item = widget_ ? list()->item(index) : nullptr) {
      item->setData(Qt::UserRole, data);
    }
  }
  std::int32_t rowData(int index) const override {
    const QListWidgetItem* item = widget_ ? list()->item(index) : nullptr;
    return item ? item->data(Qt::UserRole).toInt() : -1;
  }
  int selectedRow() const override {
    if (!widget_) return -1;
    const auto selected = list()->selectedItems();
    return selected.isEmpty() ? -1 : list()->row(selected.front());
  }
  void selectRow(int index) override {
    if (!widget_) return;
    QSignalBlocker quiet(list());
    list()->setCurrentRow(index);
  }
  void userSelect(int index) override {
    if (widget_) list()->setCurrentRow(index);  // notifies, as a click would
  }
};

class QtWindow : public Window {
 public:
  static constexpr int kBorder = 1;

  QtWindow(const WindowSpec& desc, QtWindow* parent)
      : desc_(desc),
        parent_(parent),
        canvas_(new Canvas(*this, parent ? parent->canvasWidget() : nullptr)),
        surface_(Size{desc.rect.w, desc.rect.h}, *canvas_) {
    canvas_->setObjectName(toQt(desc.className));
    QPalette palette = canvas_->palette();
    palette.setColor(QPalette::Window, Qt::black);
    canvas_->setPalette(palette);
    switch (desc.kind) {
      case WindowKind::kMain:
        canvas_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                                Qt::WindowCloseButtonHint);
        break;
      case WindowKind::kCaptionOnly:
        canvas_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        break;
      case WindowKind::kChild:
        break;
    }
    if (desc.kind == WindowKind::kChild) {
      // A child's one-pixel border (black, like the background) surrounds its client area.
      canvas_->setGeometry(desc.rect.x + kBorder, desc.rect.y + kBorder, desc.rect.w - 2 * kBorder,
                           desc.rect.h - 2 * kBorder);
    } else {
      canvas_->setWindowTitle(toQt(desc.title));
      canvas_->move(desc.rect.x, desc.rect.y);
      canvas_->setFixedSize(desc.rect.w, desc.rect.h);
    }
  }
  ~QtWindow() override {
    if (parent_) parent_->disown(this);
    for (QtWindow* child : children_) child->parent_ = nullptr;
    if (canvas_ && canvas_->windowHandle() && exposeWatch_) {
      canvas_->windowHandle()->removeEventFilter(exposeWatch_.get());
    }
    if (canvas_ && isTopLevel()) delete canvas_.data();
  }

  bool isTopLevel() const { return desc_.kind != WindowKind::kChild; }
  QWidget* canvasWidget() const { return canvas_.data(); }
  WindowHandler* handler() const { return desc_.handler; }
  WindowSurface& windowSurface() { return surface_; }

  const std::string& className() const override { return desc_.className; }
  std::string title() const override { return canvas_ ? fromQt(canvas_->windowTitle()) : ""; }
  Surface& surface() override { return surface_; }

  void copyFrom(const Buffer& from, const Rect& part, Point to) override {
    surface_.blit(static_cast<const ImageSurface&>(from), part, to);
  }

  void invalidate(const Rect& rect) override {
    invalid_ += toQt(rect);
    if (canvas_) canvas_->update(toQt(rect));
  }

  void paintNow() override {
    if (invalid_.isEmpty()) return;
    runPaintCycle();
  }

  // Erases what is invalid and lets the handler draw.
  void runPaintCycle() {
    const QRegion erase = invalid_;
    invalid_ = QRegion();
    if (erase.isEmpty()) return;
    for (const QRect& r : erase) surface_.fillBlack({r.x(), r.y(), r.width(), r.height()});
    if (desc_.handler) desc_.handler->onPaint(surface_);
  }

  void show() override {
    if (!canvas_) return;
    canvas_->show();
    if (isTopLevel() && !exposeWatch_ && canvas_->windowHandle()) {
      exposeWatch_ = std::make_unique<ExposeWatch>(*this);
      canvas_->windowHandle()->installEventFilter(exposeWatch_.get());
    }
    fitOuterSize();
  }

  void invalidateAll() { invalidate({0, 0, desc_.rect.w, desc_.rect.h}); }
  bool isExposed() const {
    return canvas_ && canvas_->windowHandle() && canvas_->windowHandle()->isExposed();
  }
  void exposed() {
    invalidateAll();
    for (QtWindow* child : children_) child->invalidateAll();
  }
  void adopt(QtWindow* child) { children_.push_back(child); }
  void disown(QtWindow* child) { std::erase(children_, child); }
  QtWindow* parentWindow() const { return parent_; }
  void hide() override {
    if (canvas_) canvas_->hide();
  }
  bool visible() const override { return canvas_ && canvas_->isVisible(); }
  void close() override {
    if (canvas_) canvas_->close();
  }
  void activate() override {
    if (!canvas_) return;
    canvas_->raise();
    canvas_->activateWindow();
  }
  Rect clientRect() const override {
    if (!canvas_) return {};
    const QRect g = canvas_->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
  }
  Rect outerRect() const override {
    if (!canvas_) return {};
    const QRect g = isTopLevel() ? canvas_->frameGeometry() : canvas_->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
  }
  Rgb shownPixel(Point at) override {
    if (!canvas_) return kBlack;
    const QImage shot = canvas_->grab(QRect(at.x, at.y, 1, 1)).toImage();
    if (shot.isNull()) return kBlack;
    const QRgb v = shot.pixel(0, 0);
    return {static_cast<std::uint8_t>(qRed(v)), static_cast<std::uint8_t>(qGreen(v)),
            static_cast<std::uint8_t>(qBlue(v))};
  }

  // The stated size of a top-level window is its outer size: once the window system tells
  // the frame, the client area shrinks by it.
  void fitOuterSize() {
    if (!canvas_ || !isTopLevel()) return;
    const QSize frame = canvas_->frameGeometry().size() - canvas_->size();
    if (frame == appliedFrame_) return;
    appliedFrame_ = frame;
    canvas_->setFixedSize(desc_.rect.w - frame.width(), desc_.rect.h - frame.height());
    canvas_->move(desc_.rect.x, desc_.rect.y);
  }

  Button& addButton(std::string_view text, const Rect& rect, int id) override {
    auto* button = new QPushButton(toQt(text), canvas_);
    button->setGeometry(toQt(rect));
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, [this, id] { command(id, 0); });
    button->show();
    return keep(std::make_unique<QtButton>(button));
  }

  CheckBox& addCheckBox(std::string_view text, const Rect& rect, int id) override {
    auto* box = new QCheckBox(toQt(text), canvas_);
    box->setGeometry(toQt(rect));
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    box->setPalette(palette);
    QObject::connect(box, &QCheckBox::clicked, [this, id] { command(id, 0); });
    box->show();
    return keep(std::make_unique<QtCheckBox>(box));
  }

  EditField& addEditField(const EditSpec& desc) override {
    auto* edit = new QLineEdit(canvas_);
    edit->setGeometry(toQt(desc.rect));
    edit->setTextMargins(0, 0, 0, 0);
    edit->setValidator(new FieldValidator(edit, desc.digitsOnly));
    edit->show();
    return keep(std::make_unique<QtEditField>(edit));
  }

  ListBox& addListBox(const ListBoxSpec& desc) override {
    auto* list = new QListWidget(canvas_);
    list->setGeometry(toQt(desc.rect));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setUniformItemSizes(true);
    if (!desc.tabStops.empty()) list->setItemDelegate(new TabDelegate(list, desc.tabStops));
    const int id = desc.id;
    QObject::connect(list, &QListWidget::itemSelectionChanged, [this, id] { command(id, 1); });
    list->show();
    return keep(std::make_unique<QtListBox>(list));
  }

 private:
  void command(int id, int notification) {
    if (desc_.handler) desc_.handler->onCommand(id, notification);
  }
  template <typename T>
  T& keep(std::unique_ptr<T> control) {
    T& ref = *control;
    controls_.push_back(std::move(control));
    return ref;
  }

  WindowSpec desc_;
  QtWindow* parent_ = nullptr;
  std::vector<QtWindow*> children_;
  std::unique_ptr<ExposeWatch> exposeWatch_;
  QPointer<Canvas> canvas_;
  WindowSurface surface_;
  QRegion invalid_;
  QSize appliedFrame_;
  std::vector<std::unique_ptr<Control>> controls_;
};

void Canvas::paintEvent(QPaintEvent* event) {
  WindowSurface& surface = owner_.windowSurface();
  // Only what was invalidated is erased and handed to the window's paint handling; the
  // program's own drawing is simply shown.
  owner_.runPaintCycle();
  QPainter painter(this);
  const QRect r = event->rect();
  painter.drawImage(r, surface.image(), r);
}

void Canvas::closeEvent(QCloseEvent* event) {
  if (owner_.isTopLevel() && owner_.handler()) {
    // Only the main window can be closed; the others have no close box.
    const bool closable = windowFlags().testFlag(Qt::WindowCloseButtonHint);
    if (!closable) {
      event->ignore();
      return;
    }
    owner_.handler()->onDestroy();
  }
  event->accept();
}

bool Canvas::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  if (event->type() == QEvent::Show) owner_.invalidateAll();
  if (event->type() == QEvent::Move || event->type() == QEvent::Show) owner_.fitOuterSize();
  return handled;
}

bool ExposeWatch::eventFilter(QObject* watched, QEvent* event) {
  // The window system shows (part of) the window again: everything in it is painted anew,
  // as an uncovered window would be.
  if (event->type() == QEvent::Expose && owner_.isExposed()) owner_.exposed();
  return QObject::eventFilter(watched, event);
}

class QtBuffer : public ImageSurface {
 public:
  using ImageSurface::ImageSurface;
};

class QtPlatform : public Platform {
 public:
  QtPlatform(int& argc, char** argv, QtPlatformOptions options)
      : app_(argc, argv), options_(std::move(options)) {
    QApplication::setQuitOnLastWindowClosed(false);
    dispatcher_ = QAbstractEventDispatcher::instance();
  }

  bool registerClass(const std::string& name) override {
    const auto& refused = options_.refusedClasses;
    if (std::find(refused.begin(), refused.end(), name) != refused.end()) return false;
    classes_.insert(name);
    return true;
  }

  std::unique_ptr<Window> createWindow(const WindowSpec& desc) override {
    if (!classes_.count(desc.className)) return nullptr;
    QtWindow* parent = nullptr;
    if (desc.kind == WindowKind::kChild) {
      if (!desc.parent) return nullptr;
      parent = static_cast<QtWindow*>(desc.parent);
    }
    auto window = std::make_unique<QtWindow>(desc, parent);
    if (parent) parent->adopt(window.get());
    return window;
  }

  std::unique_ptr<Buffer> createBuffer(Size size) override {
    return std::make_unique<QtBuffer>(size);
  }

  std::unique_ptr<Font> createFont(const FontSpec& desc) override {
    return std::make_unique<QtFont>(desc);
  }

  void messageBox(const std::string& text, const std::string& caption) override {
    if (hook_) {
      hook_(text, caption);
      return;
    }
    QMessageBox box(QMessageBox::NoIcon, toQt(caption), toQt(text), QMessageBox::Ok);
    box.exec();
  }

  void setMessageBoxHook(MessageBoxHook hook) override { hook_ = std::move(hook); }

  bool processEvents(bool wait) override {
    if (quit_) return true;
    QCoreApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
    return quit_;
  }

  void postQuit() override {
    quit_ = true;
    wake();
  }

  void wake() override {
    if (dispatcher_) dispatcher_->wakeUp();
  }

  void yield() override { std::this_thread::yield(); }

 private:
  QApplication app_;
  QtPlatformOptions options_;
  QAbstractEventDispatcher* dispatcher_ = nullptr;
  std::set<std::string> classes_;
  MessageBoxHook hook_;
  bool quit_ = false;
};

bool haveDisplay() {
#if defined(__linux__) || defined(__FreeBSD__)
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
  };
  return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
#else
  return true;
#endif
}

}  // namespace

PlatformResult makeQtPlatform(int& argc, char** argv, QtPlatformOptions options) {
  if (!haveDisplay()) {
    return {nullptr,
            "No display to show the windows on: run it in a desktop session, or as "
            "'xvfb-run -a kestravin' (package xvfb)."};
  }
  return {std::make_unique<QtPlatform>(argc, argv, std::move(options)), {}};
}

}  // namespace kestravin::platform
