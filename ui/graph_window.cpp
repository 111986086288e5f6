#include "ui/graph_window.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/fp_precision.h"
#include "ui/text_format.h"

namespace kestravin::ui {

namespace {

struct GraphInfo {
  std::string_view rowText;
  std::string_view title;
  std::int32_t TeamStats::*scale;  // nullptr for Average Fitness, scaled by bestAvgFitness
};

constexpr GraphInfo kGraphs[kGraphCount] = {
    {"Graph Max. Fitness", "Maximum Fitness", &TeamStats::bestMaxFitness},
    {"Graph Min. Fitness", "Minimum Fitness", &TeamStats::bestMaxFitness},
    {"Graph Total Population", "Total Population", &TeamStats::highestPop},
    {"Graph Births", "Births", &TeamStats::maxBirths},
    {"Graph Deaths", "Deaths", &TeamStats::maxDeaths},
    {"Graph Age Deaths", "Age Deaths", &TeamStats::maxAgeDeaths},
    {"Graph Fitness Deaths", "Fitness Deaths", &TeamStats::maxFitDeaths},
    {"Graph Avg. Fitness", "Average Fitness", nullptr},
};

constexpr int kLeft = 45;
constexpr int kTop = 25;
constexpr int kWidth = 350;
constexpr int kHeight = 300;
constexpr int kAxisY = kTop + kHeight;    // 325
constexpr int kAxisEnd = kLeft + kWidth;  // 395

// A real that becomes an integer is truncated toward zero; an undefined or infinite one
// (a division by zero) becomes 0.
std::int32_t truncate(double value) {
  if (!std::isfinite(value) || value >= 2147483648.0 || value <= -2147483649.0) return 0;
  return static_cast<std::int32_t>(value);
}

int clampType(int graphType) {
  return graphType < 0 || graphType >= kGraphCount ? 0 : graphType;
}

}  // namespace

std::string_view graphRowText(int graphType) {
  return kGraphs[clampType(graphType)].rowText;
}

platform::Point graphPoint(std::int32_t index, std::int32_t value, std::int32_t count,
                           std::int32_t maximum, std::int32_t width, std::int32_t height,
                           std::int32_t left, std::int32_t top) {
  const double xPart = static_cast<double>(index) / count * width;
  const double yPart = static_cast<double>(value) / maximum * height;
  return {left + truncate(xPart), top + height - truncate(yPart)};
}

void drawGraph(platform::Surface& buffer, const Team& team, const History& history, int graphType) {
  const DoubleArithmetic doubles;  // the points are computed in doubles, on any unit
  const int type = clampType(graphType);
  const GraphInfo& graph = kGraphs[type];
  const bool average = graph.scale == nullptr;

  buffer.setTextColor(platform::kBlue);
  buffer.setPen(platform::kBlue);
  buffer.fillBlack(kGraphArea);
  for (int x = 80; x <= kAxisEnd; x += 35) {
    buffer.moveTo({x, 323});
    buffer.lineTo({x, 328});
  }
  for (int y = 295; y >= kTop; y -= 30) {
    buffer.moveTo({43, y});
    buffer.lineTo({48, y});
  }
  buffer.moveTo({kLeft, kTop});
  buffer.lineTo({kLeft, kAxisY});
  buffer.moveTo({kLeft, kAxisY});
  buffer.lineTo({kAxisEnd, kAxisY});

  buffer.setPen(kCurveColor);
  const std::int32_t n = team.stats.year;
  const std::int32_t scale =
      average ? truncate(static_cast<double>(team.stats.bestAvgFitness)) : team.stats.*graph.scale;
  buffer.drawText({45, 6}, graph.title);
  buffer.drawText({384, 327}, std::to_string(n));
  buffer.drawText({0, 17}, average ? fixed2(team.stats.bestAvgFitness) : std::to_string(scale));

  // Only recorded years are read, whatever `year` says.
  const std::int32_t points = std::min(n, history.size());
  for (std::int32_t i = 0; i < points; ++i) {
    const std::int32_t entry =
        average ? truncate(static_cast<double>(history.avgFitness(i))) : history.intEntry(type, i);
    const platform::Point p = graphPoint(i, entry, n, scale, kWidth, kHeight, kLeft, kTop);
    if (i == 0) buffer.moveTo(p);
    buffer.lineTo(p);
  }
}

}  // namespace kestravin::ui
