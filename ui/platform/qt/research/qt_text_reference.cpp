// The desktop program's text as Qt draws it without antialiasing (Arial, cell height 17, blue
// on black), for comparison with the browser's; a research tool, built by hand:
//   g++ -fPIC qt_text_reference.cpp -o qt_text_reference $(pkg-config --cflags --libs Qt6Widgets)
//   QT_QPA_PLATFORM=offscreen ./qt_text_reference LINES.txt OUT.png OUT.json [--kerning]
// OUT.png: each line of LINES.txt at x = 2, one every 20 pixels. OUT.json: the pixel size, the
// lines and the advances of codes 32..126 in 64ths of a pixel, for compare_text.mjs. It also
// redraws every line glyph by glyph, each glyph drawn alone at the pen's whole pixel (the pen
// moving by those advances, rounded down), and prints how many pixels differ from Qt's line.
#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kCell = 17;
constexpr int kLineStep = 20;
const QColor kBlue(0, 0, 255);

// The desktop's font: the largest pixel size whose cell still fits 17 pixels.
QFont desktopFont(bool kerning) {
  QFont font("Arial");
  font.setStyleHint(QFont::SansSerif,
                    QFont::StyleStrategy(QFont::PreferOutline | QFont::NoAntialias));
  font.setKerning(kerning);
  int pixels = kCell;
  font.setPixelSize(pixels);
  while (pixels > 1 && QFontMetrics(font).height() > kCell) font.setPixelSize(--pixels);
  return font;
}

void drawText(QImage& image, const QFont& font, int x, int top, const QString& text) {
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(kBlue);
  painter.drawText(QPoint(x, top + QFontMetrics(font).ascent()), text);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s LINES.txt OUT.png OUT.json [--kerning]\n", argv[0]);
    return 2;
  }
  const QFont font = desktopFont(argc > 4 && QString(argv[4]) == "--kerning");
  QFile in(argv[1]);
  if (!in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  QStringList lines;
  for (QTextStream s(&in); !s.atEnd();) lines << s.readLine();

  QImage image(700, kLineStep * lines.size(), QImage::Format_RGB32);
  image.fill(Qt::black);
  for (int i = 0; i < lines.size(); ++i) drawText(image, font, 2, i * kLineStep, lines[i]);
  image.save(argv[2]);

  const QFontMetricsF metrics(font);
  QImage glyphs(700, kLineStep * lines.size(), QImage::Format_RGB32);
  glyphs.fill(Qt::black);
  for (int i = 0; i < lines.size(); ++i) {
    double pen = 2;
    for (QChar c : lines[i]) {
      drawText(glyphs, font, static_cast<int>(std::floor(pen)), i * kLineStep, QString(c));
      pen += metrics.horizontalAdvance(c);
    }
  }
  int ink = 0, differing = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const bool a = qBlue(image.pixel(x, y)) > 128, b = qBlue(glyphs.pixel(x, y)) > 128;
      ink += a;
      differing += a != b;
    }
  }
  std::printf("%s, pixel size %d, kerning %s: %d ink pixels, %d differ glyph by glyph\n",
              qPrintable(QFontInfo(font).family()), font.pixelSize(), font.kerning() ? "on" : "off",
              ink, differing);

  QFile out(argv[3]);
  if (!out.open(QIODevice::WriteOnly)) return 1;
  QTextStream json(&out);
  json << "{\"pixelSize\": " << font.pixelSize() << ", \"lines\": [";
  for (int i = 0; i < lines.size(); ++i) {
    QString escaped = lines[i];
    escaped.replace("\\", "\\\\").replace("\"", "\\\"").replace("\t", "\\t");
    json << (i ? ", " : "") << '"' << escaped << '"';
  }
  json << "], \"advances64\": [";
  for (int c = 32; c <= 126; ++c) {
    json << (c > 32 ? "," : "") << std::lround(metrics.horizontalAdvance(QChar(c)) * 64);
  }
  json << "]}\n";
  return 0;
}
