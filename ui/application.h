#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control/run_controller.h"
#include "control/run_ui.h"
#include "report/report_writer.h"
#include "ui/draw_throttle.h"
#include "ui/options_window.h"
#include "ui/platform/platform.h"
#include "ui/status_panel.h"

namespace kestravin::ui {

/// Control ids of the main window.
inline constexpr int kStartStopId = 100;
inline constexpr int kResetId = 101;
inline constexpr int kOptionsId = 103;
inline constexpr int kStepId = 104;
inline constexpr int kGraphsId = 105;
inline constexpr int kPlayerListId = 160;

inline constexpr std::string_view kErrorCaption = "Error!!!";

/// The desktop program: its windows, panels and drawing surfaces, the run controller that
/// they drive, and the main loop. Everything runs on the thread that made it.
class Application : public RunUi {
 public:
  struct Options {
    std::filesystem::path constantsFile = "consts.txt";
    std::filesystem::path reportFolder = ".";
    RunController::SeedSource seedSource;  // the time of day when empty
  };

  Application(platform::Platform& platform, Options options);
  ~Application() override;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  /// Creates the windows, loads the constants, prepares the first run and shows the main
  /// window. False when the windows could not be made (the user has been told).
  bool start();
  /// One pass of the main loop: the pending events (waiting for one when the run has nothing
  /// to do), then the run controller's idle step. True once the loop is to end.
  bool loopPass();
  /// start(), then the main loop until the main window is closed (by the user, or by the
  /// system asking the program to end). The process exit code.
  int run();

  /// The parameters start-up puts into the option fields instead of the constants file's
  /// (a web page's address gives them); call before start().
  void setStartParams(SimParams params) { startParams_ = std::move(params); }
  /// Reads a constants file as at start-up, its problems shown the same way, puts its values
  /// into the option fields and starts a new run from them, as Reset does.
  void openConstants(const std::filesystem::path& path);
  /// The current run, for what shows it outside the windows (a web page's link to it);
  /// nullptr when there is none.
  const Simulation* currentRun() const { return controller_->run(); }
  /// Fast: the status panel and busy indicator are drawn at most 30 times a second while a
  /// run advances, instead of every year.
  void setFast(bool fast) { fast_ = fast; }
  bool fast() const { return fast_; }

  // The run controller's view of the windows.
  void drawStatusPanel() override;
  void tickBusy() override;
  void resetBusy() override;
  void refreshPlayerList() override;
  void clearPlayerList() override;
  void drawPlayerDetails() override;
  std::optional<RunSetup> readOptionFields() override;
  void hideOptionsWindow() override;
  void repaintStatusArea() override;
  void showMessage(const std::string& text) override;
  void yieldProcessor() override;
  void askReportLimit(const std::string& name, std::uint64_t allowed) override;

  /// Reports ask the user before they grow past `bytes` (0: never), as in a web page, whose
  /// reports are kept in memory until they are complete.
  void setReportLimit(std::uint64_t bytes) { controller_->setReportLimit(bytes); }

 private:
  friend class ApplicationProbe;  // tests and tools look inside through it
  class Handler;
  struct MainButton {
    int id;
    platform::Button* button;
  };

  /// Draws the selected graph and shows it in the graph window.
  void drawGraphNow();
  /// Draws the status panel whatever Fast says.
  void paintStatusPanel();
  /// Whether a run is advancing (Fast then spares drawings).
  bool advancing() const;
  bool registerClasses();
  bool createWindows();
  /// The parameters of the constants file (or those given instead) into the option fields.
  void loadConstants(const std::filesystem::path& path, bool givenInstead);
  void onMainCommand(int id, int notification);
  void onOptionsCommand(int id);
  void onGraphCommand(int id, int notification);
  void onMainDestroyed();
  // The context menus and keys (application_menus.cpp).
  std::vector<platform::MenuItem> mainMenu() const;
  std::vector<platform::MenuItem> graphMenu() const;
  void onMainMenu(int id);
  void onGraphMenu(int id);
  /// Puts texts into the option fields.
  void writeOptionFields(const OptionFields& fields);
  /// The team on show: the current run's, or an empty one when there is no run.
  const Team& shownTeam() const;

  platform::Platform& platform_;
  Options settings_;
  ReportWriter report_;
  std::unique_ptr<RunController> controller_;
  std::array<std::unique_ptr<Handler>, 5> handlers_;

  std::unique_ptr<platform::Window> main_;
  std::unique_ptr<platform::Window> options_;
  std::unique_ptr<platform::Window> playerPanel_;
  std::unique_ptr<platform::Window> graph_;
  std::unique_ptr<platform::Window> busy_;
  std::array<MainButton, 5> mainButtons_{};
  platform::ListBox* playerList_ = nullptr;
  platform::ListBox* graphList_ = nullptr;
  platform::Button* graphOk_ = nullptr;
  std::unique_ptr<OptionControls> optionControls_;

  std::unique_ptr<platform::Buffer> statusBuffer_;
  std::unique_ptr<platform::Buffer> playerBuffer_;
  std::unique_ptr<platform::Buffer> graphBuffer_;
  std::unique_ptr<platform::Buffer> busyBuffer_;
  std::unique_ptr<platform::Font> uiFont_;

  std::optional<SimParams> startParams_;
  BusyState busyState_;
  int graphType_;
  bool released_ = false;  // the drawing resources are gone: shutdown has run
  bool fast_ = false;
  DrawThrottle statusThrottle_;
  DrawThrottle busyThrottle_;
  bool statusSkipped_ = false;  // Fast left the last year's status panel undrawn
  bool inMessage_ = false;      // a message box is up: the main loop's idle step does not run
  int statusDrawings_ = 0;      // for the probe: drawings made
  int busyDrawings_ = 0;
};

}  // namespace kestravin::ui
