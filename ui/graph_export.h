#pragma once

#include <cstdint>

#include "engine/history.h"
#include "ui/platform/platform.h"

namespace kestravin::ui {

/// Asks the user where to save the graph window's picture and writes there, as PNG, exactly
/// the pixels of the part of `graphBuffer` the window shows. A failure is shown in a box.
void saveGraphPicture(platform::Platform& platform, platform::Window& owner,
                      const platform::Buffer& graphBuffer);

/// Asks the user where to save the run's history and writes years 0..lastYear there as CSV,
/// as the simulator's --csv does. A failure is shown in a box.
void saveGraphData(platform::Platform& platform, platform::Window& owner, const History& history,
                   std::int32_t lastYear);

}  // namespace kestravin::ui
