#include "experiment/svg_chart.h"

#include <cmath>
#include <cstdio>

namespace kestravin {

namespace {

std::string num(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

std::string points(const std::vector<std::pair<double, double>>& pts) {
  std::string out;
  for (const auto& [x, y] : pts) {
    if (!out.empty()) out += ' ';
    out += num(x) + "," + num(y);
  }
  return out;
}

constexpr std::string_view kAxisColour = "#444";
constexpr std::string_view kGridColour = "#e4e4e4";

}  // namespace

double Scale::at(double value) const {
  if (hi == lo) return pixelLo;
  return pixelLo + (value - lo) / (hi - lo) * (pixelHi - pixelLo);
}

std::vector<double> niceTicks(double lo, double hi, int count) {
  if (!(hi > lo)) hi = lo + 1;
  const double raw = (hi - lo) / std::max(count, 1);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = power;
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    step = m * power;
    if (step >= raw) break;
  }
  std::vector<double> ticks;
  const double first = std::floor(lo / step) * step;
  for (double t = first; t < hi + step * 0.999; t += step)
    ticks.push_back(std::round(t / step) * step);
  return ticks;
}

std::string tickLabel(double value) {
  char text[32];
  if (std::fabs(value) >= 10000 && std::fmod(value, 1000) == 0) {
    std::snprintf(text, sizeof text, "%.0fk", value / 1000);
  } else if (value == std::floor(value)) {
    std::snprintf(text, sizeof text, "%.0f", value);
  } else {
    std::snprintf(text, sizeof text, "%g", value);
  }
  return text;
}

std::string escapeXml(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        // XML 1.0 has no place for control characters; a fitness string may hold them.
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
          out += '?';
        } else if (static_cast<unsigned char>(c) >= 0x80) {
          // Bytes beyond ASCII are not UTF-8 in general: shown as their Latin-1 letters.
          out += "&#" + std::to_string(static_cast<unsigned char>(c)) + ";";
        } else {
          out += c;
        }
    }
  }
  return out;
}

SvgDocument::SvgDocument(int width, int height) {
  svg_ =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
      "width=\"" +
      std::to_string(width) + "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " +
      std::to_string(width) + " " + std::to_string(height) +
      "\" font-family=\"DejaVu Sans, Liberation Sans, Arial, sans-serif\">\n"
      "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
}

void SvgDocument::beginGroup(const std::string& attrs) {
  svg_ += "<g " + attrs + ">\n";
}
void SvgDocument::endGroup() {
  svg_ += "</g>\n";
}

void SvgDocument::line(double x1, double y1, double x2, double y2, std::string_view stroke,
                       double width, std::string_view extra) {
  svg_ += "<line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) + "\" y2=\"" +
          num(y2) + "\" stroke=\"" + std::string(stroke) + "\" stroke-width=\"" + num(width) +
          "\" " + std::string(extra) + "/>\n";
}

void SvgDocument::rect(double x, double y, double w, double h, std::string_view fill,
                       std::string_view extra) {
  svg_ += "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(std::max(w, 0.0)) +
          "\" height=\"" + num(std::max(h, 0.0)) + "\" fill=\"" + std::string(fill) + "\" " +
          std::string(extra) + "/>\n";
}

void SvgDocument::circle(double x, double y, double r, std::string_view fill,
                         std::string_view extra) {
  svg_ += "<circle cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"" + num(r) + "\" fill=\"" +
          std::string(fill) + "\" " + std::string(extra) + "/>\n";
}

void SvgDocument::polyline(const std::vector<std::pair<double, double>>& pts,
                           std::string_view stroke, double width, std::string_view extra) {
  svg_ += "<polyline points=\"" + points(pts) + "\" fill=\"none\" stroke=\"" + std::string(stroke) +
          "\" stroke-width=\"" + num(width) + "\" stroke-linejoin=\"round\" " + std::string(extra) +
          "/>\n";
}

void SvgDocument::polygon(const std::vector<std::pair<double, double>>& pts, std::string_view fill,
                          std::string_view extra) {
  svg_ += "<polygon points=\"" + points(pts) + "\" fill=\"" + std::string(fill) + "\" " +
          std::string(extra) + "/>\n";
}

void SvgDocument::text(double x, double y, std::string_view content, double size,
                       std::string_view anchor, std::string_view extra) {
  svg_ += "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\" font-size=\"" + num(size) +
          "\" text-anchor=\"" + std::string(anchor) + "\" " + std::string(extra) + ">" +
          escapeXml(content) + "</text>\n";
}

void SvgDocument::axes(const Scale& x, const Scale& y, const std::string& xLabel,
                       const std::string& yLabel, int xTicks, int yTicks) {
  const double left = x.pixelLo, right = x.pixelHi, bottom = y.pixelLo, top = y.pixelHi;
  for (double t : niceTicks(y.lo, y.hi, yTicks)) {
    if (t < y.lo - 1e-9 || t > y.hi + 1e-9) continue;
    const double py = y.at(t);
    line(left, py, right, py, kGridColour, 1);
    line(left - 5, py, left, py, kAxisColour, 1);
    text(left - 8, py + 4, tickLabel(t), 11, "end", "fill=\"#333\"");
  }
  if (xTicks > 0) {
    for (double t : niceTicks(x.lo, x.hi, xTicks)) {
      if (t < x.lo - 1e-9 || t > x.hi + 1e-9) continue;
      const double px = x.at(t);
      line(px, bottom, px, bottom + 5, kAxisColour, 1);
      text(px, bottom + 18, tickLabel(t), 11, "middle", "fill=\"#333\"");
    }
  }
  line(left, bottom, right, bottom, kAxisColour, 1.2);
  line(left, bottom, left, top, kAxisColour, 1.2);
  if (!xLabel.empty()) {
    text((left + right) / 2, bottom + 38, xLabel, 12, "middle", "fill=\"#222\"");
  }
  if (!yLabel.empty()) {
    const double cy = (top + bottom) / 2, cx = left - 46;
    text(cx, cy, yLabel, 12, "middle",
         "fill=\"#222\" transform=\"rotate(-90 " + num(cx) + " " + num(cy) + ")\"");
  }
}

std::string SvgDocument::finish() {
  return svg_ + "</svg>\n";
}

}  // namespace kestravin
