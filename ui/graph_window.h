#pragma once

#include <cstdint>
#include <string_view>

#include "engine/history.h"
#include "engine/team.h"
#include "ui/platform/platform.h"

namespace kestravin::ui {

/// Control id of the graph window's Ok button.
inline constexpr int kGraphOkId = 122;

/// The graph window's buffer, and the part of it a graph uses and shows at (5, 5).
inline constexpr platform::Size kGraphBufferSize{460, 340};
inline constexpr platform::Rect kGraphArea{0, 0, 440, 340};
inline constexpr platform::Point kGraphShownAt{5, 5};

inline constexpr int kGraphCount = 8;
/// The graph shown until the user picks another: Total Population.
inline constexpr int kInitialGraphType = 2;

inline constexpr platform::Rgb kCurveColor{98, 4, 178};

/// The graph list's row text of graph k (0..7).
std::string_view graphRowText(int graphType);

/// Where entry `index` of `count` with `value` of `maximum` lies in a plot area of the given
/// size and top-left corner. A maximum of 0 puts the point on the x-axis.
platform::Point graphPoint(std::int32_t index, std::int32_t value, std::int32_t count,
                           std::int32_t maximum, std::int32_t width, std::int32_t height,
                           std::int32_t left, std::int32_t top);

/// Draws graph `graphType` (0..7) of the run into `buffer`: frame, ticks, title, the number
/// of years, the scale and the curve of entries 0..year-1.
void drawGraph(platform::Surface& buffer, const Team& team, const History& history, int graphType);

}  // namespace kestravin::ui
