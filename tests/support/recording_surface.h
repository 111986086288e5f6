#pragma once

#include <string>
#include <vector>

#include "ui/platform/platform.h"

namespace kestravin::test {

/// A drawing surface that records what is drawn on it, one readable line per operation,
/// such as "text 5,0 blue Year: 2000" or "line 5,32-490,32 blue".
class RecordingSurface : public platform::Buffer {
 public:
  std::vector<std::string> ops;

  /// Only the texts, as "x,y colour text".
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& op : ops) {
      if (op.rfind("text ", 0) == 0) out.push_back(op.substr(5));
    }
    return out;
  }

  platform::Size size() const override { return {0, 0}; }
  std::vector<platform::Rgb> readPixels(const platform::Rect& r) const override {
    return std::vector<platform::Rgb>(static_cast<std::size_t>(r.w) *
                                      static_cast<std::size_t>(r.h));
  }
  void fillBlack(const platform::Rect& r) override {
    ops.push_back("black " + xy(r.x, r.y) + " " + std::to_string(r.w) + "x" + std::to_string(r.h));
  }
  void setTextColor(platform::Rgb c) override { textColor_ = c; }
  void selectFont(const platform::Font*) override {}
  void setPen(platform::Rgb c) override { pen_ = c; }
  void moveTo(platform::Point p) override { at_ = p; }
  void lineTo(platform::Point p) override {
    ops.push_back("line " + xy(at_.x, at_.y) + "-" + xy(p.x, p.y) + " " + name(pen_));
    at_ = p;
  }
  void drawText(platform::Point p, std::string_view text) override {
    ops.push_back("text " + xy(p.x, p.y) + " " + name(textColor_) + " " + std::string(text));
  }

  static std::string name(platform::Rgb c) {
    if (c == platform::kBlue) return "blue";
    if (c == platform::kRed) return "red";
    if (c == platform::kGreen) return "green";
    if (c == platform::kBlack) return "black";
    return "rgb(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) +
           ")";
  }

 private:
  static std::string xy(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
  platform::Rgb textColor_ = platform::kBlack;
  platform::Rgb pen_ = platform::kBlack;
  platform::Point at_;
};

}  // namespace kestravin::test
