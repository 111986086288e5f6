// Times the desktop program on the test platform (Qt offscreen, or Win32): the years a running
// 50-player team simulates per second, with the status panel drawn every year and in Fast
// mode; the processor time the program takes while the run is paused; and how long the
// player list takes to be rebuilt for big teams.
//   kestravin-desktop-timing [seconds per measurement, default 3] [list sizes, default 50000]
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ui/application.h"
#include "ui/platform/testing.h"
#include "ui/testing/application_probe.h"
#include "ui/window_menus.h"
#ifdef _WIN32
#include "ui/platform/win32/win32_platform.h"
#else
#include "ui/platform/qt/qt_platform.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;
using kestravin::ui::Application;
using kestravin::ui::ApplicationProbe;

// Processor time of this process in seconds; negative where it is not measured.
double cpuSeconds() {
#ifdef _WIN32
  return -1.0;
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
#endif
}

constexpr const char* kConstants =
    "Mutation: 10\nMutationDiv: 100\nTeamSize: 50\nAgeStart: 5\nAgeDeath: 10\n"
    "AgeDeathDiv: 100\nFitDeath: 30\nFitDeathDiv: 100\nBirthChance: 80\n"
    "BirthChanceDiv: 100\nMaxGen: 1000000\nStartYear: 2000\nMaxPop: 50\n"
    "FitString: theevolutionofkestrels\n";

double since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class Timing {
 public:
  Timing(kestravin::platform::Platform& platform, Application& app)
      : platform_(platform), app_(app), probe_(app) {}

  void press(int id) { kestravin::platform::testing::click(probe_.mainButton(id)); }

  // Passes of the loop that never wait, for start-up's paints and redraws to settle.
  void settle() {
    for (int k = 0; k < 10; ++k) {
      platform_.processEvents(false);
      probe_.controller().idleStep();
    }
  }

  // Runs the program's own loop for `seconds`, starting the run again whenever it ends.
  void years(double seconds, const char* what) {
    press(kestravin::ui::kStartStopId);
    long years = 0;
    long populationSum = 0;
    const auto start = Clock::now();
    const int drawingsBefore = probe_.panelDrawings();
    while (since(start) < seconds) {
      const int before = probe_.controller().run()->team().stats.year;
      app_.loopPass();
      const int after = probe_.controller().run()->team().stats.year;
      if (after > before) {
        years += after - before;
        populationSum += probe_.controller().run()->team().stats.population;
      }
      if (probe_.controller().finished()) {
        press(kestravin::ui::kResetId);
        press(kestravin::ui::kStartStopId);
      }
    }
    const double elapsed = since(start);
    press(kestravin::ui::kStartStopId);
    std::printf(
        "%s: %ld years in %.2f s = %.0f years per second (mean population %.1f, %d status "
        "panels drawn)\n",
        what, years, elapsed, static_cast<double>(years) / elapsed,
        years ? static_cast<double>(populationSum) / static_cast<double>(years) : 0.0,
        probe_.panelDrawings() - drawingsBefore);
  }

  // Paused: the loop waits for events; a helper thread wakes it at the end.
  void paused(double seconds) {
    settle();
    std::atomic<bool> done{false};
    const double cpuBefore = cpuSeconds();
    const auto start = Clock::now();
    std::thread waker([&] {
      std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
      done = true;
      platform_.wake();
    });
    long passes = 0;
    while (!done) {
      app_.loopPass();
      ++passes;
    }
    waker.join();
    const double elapsed = since(start);
    if (cpuBefore < 0) {
      std::printf("paused: %ld loop passes in %.2f s (processor time not measured here)\n", passes,
                  elapsed);
      return;
    }
    const double cpu = cpuSeconds() - cpuBefore;
    std::printf("paused: %.4f s of processor time in %.2f s = %.2f%% of a core (%ld loop passes)\n",
                cpu, elapsed, 100.0 * cpu / elapsed, passes);
  }

  // A reset to a team of `players`, then the list rebuilt from it, timed, best of three.
  void listRebuild(int players) {
    kestravin::ui::OptionControls& fields = probe_.optionControls();
    fields.numberField(2).setText(std::to_string(players));   // teamSize
    fields.numberField(12).setText(std::to_string(players));  // maxPop
    press(kestravin::ui::kResetId);
    settle();
    double best = 1e9;
    for (int k = 0; k < 3; ++k) {
      const auto start = Clock::now();
      app_.refreshPlayerList();
      best = std::min(best, since(start));
      settle();
    }
    std::printf("player list: %d rows rebuilt in %.3f s (best of 3)\n",
                probe_.playerList().rowCount(), best);
  }

  ApplicationProbe& probe() { return probe_; }

 private:
  kestravin::platform::Platform& platform_;
  Application& app_;
  ApplicationProbe probe_;
};

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  std::vector<int> lists;
  for (int k = 2; k < argc; ++k) lists.push_back(std::atoi(argv[k]));
  if (lists.empty()) lists.push_back(50000);
#ifdef _WIN32
  auto made = kestravin::platform::makeWin32Platform();
#else
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  auto made = kestravin::platform::makeQtPlatform(argc, argv);
#endif
  if (!made.platform) {
    std::fprintf(stderr, "%s\n", made.error.c_str());
    return 1;
  }
  kestravin::platform::Platform& platform = *made.platform;
  const auto folder = std::filesystem::temp_directory_path() / "kestravin-desktop-timing";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "consts.txt") << kConstants;

  Application app(platform, {folder / "consts.txt", folder, [] { return 2026u; }});
  if (!app.start()) return 1;
  Timing timing(platform, app);
  timing.settle();
  timing.years(seconds, "running");
  kestravin::platform::testing::pressKey(timing.probe().mainWindow(), 'F');
  timing.years(seconds, "running, Fast");
  kestravin::platform::testing::pressKey(timing.probe().mainWindow(), 'F');
  timing.paused(seconds);
  for (int players : lists) timing.listRebuild(players);

  timing.probe().mainWindow().close();
  app.loopPass();
  std::filesystem::remove_all(folder);
  return 0;
}
