#pragma once

#include <cstdint>
#include <string>

#include "engine/simulation.h"
#include "engine/team.h"
#include "ui/platform/platform.h"

namespace kestravin::ui {

/// The status area at the top of the main window, and its buffer's size.
inline constexpr platform::Rect kStatusArea{0, 0, 500, 120};

/// Draws the whole status panel into `buffer` (the year, the fitness string, the statistics
/// and, for an ended run, its message) and the player list's column headings onto the main
/// window's surface. `end` is kNone while the run has not finished.
void drawStatusPanel(platform::Surface& buffer, platform::Surface& mainSurface, const Team& team,
                     std::int32_t startYear, RunEnd end);

/// The colour of an end message: green for a perfect player, red otherwise.
platform::Rgb endColor(RunEnd end);

/// The busy indicator: a row of one to nine asterisks that grows by one per tick.
struct BusyState {
  std::string asterisks;  // what the indicator shows
  std::int32_t step = 0;  // 0..8: the number of asterisks the next tick shows, minus one
};

/// The busy indicator's buffer size.
inline constexpr platform::Rect kBusyArea{0, 0, 170, 17};

/// Moves the indicator one step along its nine-step cycle; draws nothing.
void advanceBusy(BusyState& state);
/// Back to the first step: the next tick shows one asterisk.
void resetBusy(BusyState& state);
/// Draws the indicator's asterisks into its buffer, cleared first.
void drawBusy(platform::Surface& buffer, const BusyState& state);

}  // namespace kestravin::ui
