#pragma once

#include <cstdio>
#include <string>

namespace kestravin::ui {

/// A float32 value as the panels show it: widened to double, two digits after the point.
inline std::string fixed2(float value) {
  char text[64];  // enough for any float, whose largest value has 39 digits
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
  return text;
}

}  // namespace kestravin::ui
