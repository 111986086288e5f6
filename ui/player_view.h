#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/team.h"
#include "ui/platform/platform.h"

namespace kestravin::ui {

/// The player details panel and its buffer's size.
inline constexpr platform::Rect kPlayerArea{0, 0, 400, 150};

/// Where the player list's columns start, from the list box's left edge: under "Fit." and
/// "Chromo" of the headings (x 70 and 135 of the main window, the list being at x 5).
inline constexpr int kFitColumn = 65;
inline constexpr int kChromoColumn = 130;

/// The list row of player i: id, fitness and chromosome separated by tabs.
std::string playerRowText(const Team& team, std::size_t i);

/// Rebuilds every row of the list from the team, in list order, each row carrying the
/// player's id. Leaves no row selected.
void refreshPlayerList(platform::ListBox& list, const Team& team);

/// The id of the list's selected row, if a row is selected.
std::optional<std::int32_t> selectedPlayerId(const platform::ListBox& list);

/// Draws the details of the player with the given id into `buffer`, cleared first; an
/// unknown id or none leaves the buffer black.
void drawPlayerDetails(platform::Surface& buffer, const Team& team, std::optional<std::int32_t> id);

}  // namespace kestravin::ui
