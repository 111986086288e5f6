#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestravin {

/// A linear map from data values to pixels.
struct Scale {
  double lo = 0, hi = 1;            // data range
  double pixelLo = 0, pixelHi = 1;  // where lo and hi land
  double at(double value) const;
};

/// Round tick values ("nice" steps of 1, 2 or 5 times a power of ten) covering lo..hi, about
/// `count` of them; the first is at or below lo, the last at or above hi.
std::vector<double> niceTicks(double lo, double hi, int count);

/// A tick label: whole numbers without decimals, thousands as "12k" from 10,000 up.
std::string tickLabel(double value);

/// Text escaped for XML content and attributes.
std::string escapeXml(std::string_view text);

/// Builds an SVG document from shapes, in drawing order.
class SvgDocument {
 public:
  SvgDocument(int width, int height);

  /// attrs are extra attributes, written as given (already escaped), e.g. "class=\"set\"".
  void beginGroup(const std::string& attrs);
  void endGroup();
  void line(double x1, double y1, double x2, double y2, std::string_view stroke, double width,
            std::string_view extra = {});
  void rect(double x, double y, double w, double h, std::string_view fill,
            std::string_view extra = {});
  void circle(double x, double y, double r, std::string_view fill, std::string_view extra = {});
  void polyline(const std::vector<std::pair<double, double>>& points, std::string_view stroke,
                double width, std::string_view extra = {});
  void polygon(const std::vector<std::pair<double, double>>& points, std::string_view fill,
               std::string_view extra = {});
  /// anchor: "start", "middle" or "end".
  void text(double x, double y, std::string_view content, double size,
            std::string_view anchor = "start", std::string_view extra = {});

  /// Vertical and horizontal axes with ticks, grid lines and labels, around the area the
  /// scales span.
  void axes(const Scale& x, const Scale& y, const std::string& xLabel, const std::string& yLabel,
            int xTicks, int yTicks);

  /// The finished document.
  std::string finish();

 private:
  std::string svg_;
};

}  // namespace kestravin
