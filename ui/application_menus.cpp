// The context menus and keys of the main and graph windows: the extras beside the buttons.
#include "ui/application.h"
#include "ui/graph_export.h"
#include "ui/window_menus.h"

namespace kestravin::ui {

std::vector<platform::MenuItem> Application::mainMenu() const {
  const Simulation* run = controller_->run();
  return mainWindowMenu(run ? std::optional<std::uint32_t>(run->seed()) : std::nullopt, fast_);
}

std::vector<platform::MenuItem> Application::graphMenu() const {
  return graphWindowMenu(controller_->run() != nullptr);
}

void Application::onMainMenu(int id) {
  if (released_) return;
  const Simulation* run = controller_->run();
  switch (id) {
    case kCopySeedId:
      if (run) platform_.copyText(std::to_string(run->seed()));
      break;
    case kResetWithSeedId:
      if (run) controller_->requestReset(run->seed());
      break;
    case kFastId:
      fast_ = !fast_;
      break;
    default:
      break;
  }
}

void Application::onGraphMenu(int id) {
  if (released_) return;
  const Simulation* run = controller_->run();
  if (id == kSavePictureId) {
    saveGraphPicture(platform_, *graph_, *graphBuffer_);
  } else if (id == kSaveDataId && run) {
    saveGraphData(platform_, *graph_, run->history(), run->stats().year);
  }
}

}  // namespace kestravin::ui
