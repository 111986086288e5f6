#pragma once

#include <string_view>

#include "engine/simulation.h"

namespace kestravin {

/// The message that announces an end ("***TIME LIMIT REACHED***", ...); empty for kNone.
constexpr std::string_view endMessage(RunEnd end) {
  switch (end) {
    case RunEnd::kTimeLimit:
      return "***TIME LIMIT REACHED***";
    case RunEnd::kEfficientPlayer:
      return "***EFFICIENT PLAYER EVOLVED***";
    case RunEnd::kExtinct:
      return "***POPULATION EXTINCT***";
    case RunEnd::kIdsUsedUp:
      return "***PLAYER IDS USED UP***";
    case RunEnd::kOutOfMemory:
      return "***OUT OF MEMORY***";
    case RunEnd::kNone:
      break;
  }
  return {};
}

}  // namespace kestravin
