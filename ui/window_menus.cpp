#include "ui/window_menus.h"

#include <string>

namespace kestravin::ui {

std::vector<platform::KeyBinding> mainWindowKeys() {
  return {{'F', false, false, kFastId}};
}

std::vector<platform::KeyBinding> graphWindowKeys() {
  return {{'S', true, false, kSavePictureId}, {'S', true, true, kSaveDataId}};
}

std::vector<platform::MenuItem> mainWindowMenu(std::optional<std::uint32_t> seed, bool fast) {
  const std::string seedText =
      seed ? "Seed of this run: " + std::to_string(*seed) + " (copy)" : "Seed of this run: none";
  return {
      {seedText, kCopySeedId, seed.has_value(), false, false},
      {"Reset with this seed", kResetWithSeedId, seed.has_value(), false, false},
      {"Fast", kFastId, true, true, fast},
  };
}

std::vector<platform::MenuItem> graphWindowMenu(bool haveRun) {
  return {
      {"Save picture...", kSavePictureId, true, false, false},
      {"Save data...", kSaveDataId, haveRun, false, false},
  };
}

}  // namespace kestravin::ui
