// Times the desktop program offscreen: the years a running 50-player team simulates per
// second with the status panel drawn every year, and the processor time the program takes
// while the run is paused.
//   kestravin-desktop-timing [seconds per measurement, default 3]
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "ui/application.h"
#include "ui/platform/qt/qt_platform.h"
#include "ui/platform/testing.h"
#include "ui/testing/application_probe.h"

namespace {

using Clock = std::chrono::steady_clock;

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

constexpr const char* kConstants =
    "Mutation: 10\nMutationDiv: 100\nTeamSize: 50\nAgeStart: 5\nAgeDeath: 10\n"
    "AgeDeathDiv: 100\nFitDeath: 30\nFitDeathDiv: 100\nBirthChance: 80\n"
    "BirthChanceDiv: 100\nMaxGen: 1000000\nStartYear: 2000\nMaxPop: 50\n"
    "FitString: theevolutionofkestrels\n";

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  auto made = kestravin::platform::makeQtPlatform(argc, argv);
  if (!made.platform) {
    std::fprintf(stderr, "%s\n", made.error.c_str());
    return 1;
  }
  kestravin::platform::Platform& platform = *made.platform;
  const auto folder = std::filesystem::temp_directory_path() / "kestravin-desktop-timing";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "consts.txt") << kConstants;

  kestravin::ui::Application app(platform, {folder / "consts.txt", folder, [] { return 2026u; }});
  if (!app.start()) return 1;
  kestravin::ui::ApplicationProbe probe(app);
  const auto press = [&probe](int id) {
    kestravin::platform::testing::click(probe.mainButton(id));
  };
  // Let start-up's paints and redraws settle (a pass waits only when nothing is left to do).
  for (int k = 0; k < 10; ++k) {
    platform.processEvents(false);
    probe.controller().idleStep();
  }

  // Running: every pass of the loop simulates a year and draws the status panel.
  press(kestravin::ui::kStartStopId);
  long years = 0;
  long populationSum = 0;
  const auto runStart = Clock::now();
  const auto runEnd = runStart + std::chrono::duration<double>(seconds);
  while (Clock::now() < runEnd) {
    const int before = probe.controller().run()->team().stats.year;
    app.loopPass();
    const int after = probe.controller().run()->team().stats.year;
    if (after > before) {
      years += after - before;
      populationSum += probe.controller().run()->team().stats.population;
    }
    if (probe.controller().finished()) {  // start again so the measurement goes on
      press(kestravin::ui::kResetId);
      press(kestravin::ui::kStartStopId);
    }
  }
  const double runSeconds = std::chrono::duration<double>(Clock::now() - runStart).count();

  // Paused: the loop waits for events; a helper thread wakes it at the end.
  press(kestravin::ui::kStartStopId);
  for (int k = 0; k < 10; ++k) {
    platform.processEvents(false);
    probe.controller().idleStep();
  }
  std::atomic<bool> done{false};
  const double cpuBefore = cpuSeconds();
  const auto pauseStart = Clock::now();
  std::thread waker([&] {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    done = true;
    platform.wake();
  });
  long passes = 0;
  while (!done) {
    app.loopPass();
    ++passes;
  }
  waker.join();
  const double pauseSeconds = std::chrono::duration<double>(Clock::now() - pauseStart).count();
  const double pauseCpu = cpuSeconds() - cpuBefore;

  std::printf("running: %ld years in %.2f s = %.0f years per second (mean population %.1f)\n",
              years, runSeconds, static_cast<double>(years) / runSeconds,
              years ? static_cast<double>(populationSum) / static_cast<double>(years) : 0.0);
  std::printf("paused: %.4f s of processor time in %.2f s = %.2f%% of a core (%ld loop passes)\n",
              pauseCpu, pauseSeconds, 100.0 * pauseCpu / pauseSeconds, passes);
  probe.mainWindow().close();
  app.loopPass();
  std::filesystem::remove_all(folder);
  return 0;
}
