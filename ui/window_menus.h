#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "ui/platform/platform.h"

namespace kestravin::ui {

/// Ids of the context-menu entries and keys of the main and graph windows. The buttons' ids
/// stay below 200.
inline constexpr int kCopySeedId = 200;
inline constexpr int kResetWithSeedId = 201;
inline constexpr int kFastId = 202;
inline constexpr int kSavePictureId = 210;
inline constexpr int kSaveDataId = 211;

/// Drawings of the status panel and busy indicator a second while Fast is on.
inline constexpr int kFastDrawingsPerSecond = 30;

/// The main window's keys: F toggles Fast.
std::vector<platform::KeyBinding> mainWindowKeys();
/// The graph window's keys: Ctrl+S saves the picture, Ctrl+Shift+S the data.
std::vector<platform::KeyBinding> graphWindowKeys();

/// The main window's context menu: the current run's seed (to copy), a reset with it, and
/// Fast. Without a run the seed entries are disabled.
std::vector<platform::MenuItem> mainWindowMenu(std::optional<std::uint32_t> seed, bool fast);
/// The graph window's context menu: save the picture, save the data (disabled without a run).
std::vector<platform::MenuItem> graphWindowMenu(bool haveRun);

}  // namespace kestravin::ui
