#include "ui/status_panel.h"

#include <string_view>

#include "control/end_messages.h"
#include "ui/text_format.h"

namespace kestravin::ui {

namespace {

using platform::Point;
using platform::Rgb;

struct GridRow {
  std::string_view label;
  Point labelAt;
  Point valueAt;
  std::int32_t TeamStats::*intValue;  // nullptr for the two float values
  float TeamStats::*floatValue;
};

// Three columns of label and value, four rows under the separator.
constexpr GridRow kGrid[] = {
    {"Total Pop:", {5, 35}, {95, 35}, &TeamStats::population, nullptr},
    {"Highest Pop:", {5, 50}, {95, 50}, &TeamStats::highestPop, nullptr},
    {"Lowest Pop:", {5, 65}, {95, 65}, &TeamStats::lowestPop, nullptr},
    {"Max Fitness:", {5, 80}, {95, 80}, &TeamStats::maxFitness, nullptr},
    {"Avg Fitness:", {145, 35}, {270, 35}, nullptr, &TeamStats::avgFitness},
    {"Min Fitness:", {145, 50}, {270, 50}, &TeamStats::minFitness, nullptr},
    {"Best Max Fitness:", {145, 65}, {270, 65}, &TeamStats::bestMaxFitness, nullptr},
    {"Best Avg Fitness:", {145, 80}, {270, 80}, nullptr, &TeamStats::bestAvgFitness},
    {"Current Births:", {330, 35}, {440, 35}, &TeamStats::births, nullptr},
    {"Current Deaths:", {330, 50}, {440, 50}, &TeamStats::deaths, nullptr},
    {"Age Deaths:", {330, 65}, {440, 65}, &TeamStats::ageDeaths, nullptr},
    {"Fit Deaths:", {330, 80}, {440, 80}, &TeamStats::fitDeaths, nullptr},
};

constexpr Point kSeparatorFrom{5, 32};
constexpr Point kSeparatorTo{490, 32};
constexpr Point kEndMessageAt{5, 100};
constexpr int kHeadingsY = 205;

std::string intText(std::int32_t value) {
  return std::to_string(value);
}

}  // namespace

platform::Rgb endColor(RunEnd end) {
  return end == RunEnd::kEfficientPlayer ? platform::kGreen : platform::kRed;
}

void drawStatusPanel(platform::Surface& buffer, platform::Surface& mainSurface, const Team& team,
                     std::int32_t startYear, RunEnd end) {
  buffer.fillBlack(kStatusArea);
  buffer.setTextColor(platform::kBlue);
  mainSurface.setTextColor(platform::kBlue);

  // The year is computed in 64 bits: a start year near the top of the range must not wrap.
  const std::int64_t shownYear = std::int64_t{startYear} + team.stats.year;
  buffer.drawText({5, 0}, "Year: " + std::to_string(shownYear));
  buffer.drawText({5, 15}, "Fitness String: " + team.fitString());
  buffer.drawText({100, 0}, "Target Fitness: " + intText(team.targetFitness));
  buffer.drawText({250, 0}, "Current Best Fitness ID: " + intText(team.stats.bestId));

  buffer.setPen(platform::kBlue);
  buffer.moveTo(kSeparatorFrom);
  buffer.lineTo(kSeparatorTo);

  for (const GridRow& row : kGrid) {
    buffer.drawText(row.labelAt, row.label);
    buffer.drawText(row.valueAt, row.intValue ? intText(team.stats.*row.intValue)
                                              : fixed2(team.stats.*row.floatValue));
  }

  mainSurface.drawText({5, kHeadingsY}, "ID");
  mainSurface.drawText({70, kHeadingsY}, "Fit.");
  mainSurface.drawText({135, kHeadingsY}, "Chromo");

  if (end != RunEnd::kNone) {
    buffer.setTextColor(endColor(end));
    buffer.drawText(kEndMessageAt, endMessage(end));
  }
}

void advanceBusy(BusyState& state) {
  state.asterisks.assign(static_cast<std::size_t>(state.step) + 1, '*');
  state.step = state.step == 8 ? 0 : state.step + 1;
}

void resetBusy(BusyState& state) {
  state.asterisks.assign(1, '*');
  state.step = 0;
}

void drawBusy(platform::Surface& buffer, const BusyState& state) {
  buffer.fillBlack(kBusyArea);
  buffer.setTextColor(platform::kBlue);
  buffer.drawText({0, 0}, state.asterisks);
}

}  // namespace kestravin::ui
