#include "ui/graph_export.h"

#include <string>

#include "report/history_csv.h"
#include "ui/application.h"
#include "ui/file_output.h"
#include "ui/graph_window.h"
#include "ui/png_image.h"

namespace kestravin::ui {

namespace {

// Asks for a file name and writes the bytes that `make` gives there; tells of a failure.
template <typename Make>
void saveAs(platform::Platform& platform, platform::Window& owner,
            const platform::SaveDialogSpec& request, const Make& make) {
  platform::SaveDialogSpec asked = request;
  asked.owner = &owner;
  const std::optional<std::string> path = platform.askSaveFileName(asked);
  if (!path || path->empty()) return;
  std::string error;
  if (writeFileWhole(*path, make(), error)) {
    platform.fileSaved(*path);
  } else {
    platform.messageBox(error, std::string(kErrorCaption));
  }
}

}  // namespace

void saveGraphPicture(platform::Platform& platform, platform::Window& owner,
                      const platform::Buffer& graphBuffer) {
  saveAs(platform, owner, {"Save picture", "graph.png", "PNG picture", "png", nullptr}, [&] {
    return encodePng({kGraphArea.w, kGraphArea.h}, graphBuffer.readPixels(kGraphArea));
  });
}

void saveGraphData(platform::Platform& platform, platform::Window& owner, const History& history,
                   std::int32_t lastYear) {
  saveAs(platform, owner, {"Save data", "history.csv", "CSV table", "csv", nullptr},
         [&] { return formatHistoryCsv(history, lastYear); });
}

}  // namespace kestravin::ui
