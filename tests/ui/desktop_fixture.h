#pragma once

// The desktop program started on the test platform from a constants file of the test's own,
// seen through its probe, and driven one pass of the main loop at a time.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/test_folder.h"
#include "ui/application.h"
#include "ui/test_platform.h"
#include "ui/testing/application_probe.h"

namespace kestravin {
namespace platform {
inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << "}";
}
inline void PrintTo(const Rgb& c, std::ostream* os) {
  *os << "rgb(" << int{c.r} << "," << int{c.g} << "," << int{c.b} << ")";
}
}  // namespace platform

namespace test {

struct Consts {
  int teamSize = 20;
  int maxGen = 500;
  int maxPop = 200;
  std::string fitString = "Kestrel";
};

inline std::string constsText(const Consts& c) {
  std::ostringstream out;
  out << "Mutation: 10\nMutationDiv: 100\nTeamSize: " << c.teamSize
      << "\nAgeStart: 5\nAgeDeath: 10\nAgeDeathDiv: 100\nFitDeath: 30\nFitDeathDiv: 100\n"
      << "BirthChance: 80\nBirthChanceDiv: 100\nMaxGen: " << c.maxGen
      << "\nStartYear: 2000\nMaxPop: " << c.maxPop << "\nFitString: " << c.fitString << "\n";
  return out.str();
}

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The program under test, seen through its probe, counting the status panel's drawings.
class CountingApp : public ui::Application, public ui::ApplicationProbe {
 public:
  CountingApp(platform::Platform& platform, Options options)
      : Application(platform, std::move(options)),
        ApplicationProbe(static_cast<Application&>(*this)) {}
  int statusDrawings = 0;
  void drawStatusPanel() override {
    ++statusDrawings;
    Application::drawStatusPanel();
  }
};

class Desktop : public ::testing::Test {
 public:
  using Rect = platform::Rect;

 protected:
  void SetUp() override {
    folder = freshTestFolder("kestravin-ui");
    testPlatform().setMessageHandler([this](const std::string& text, const std::string& caption) {
      messages.push_back(caption + " " + text);
    });
  }
  void TearDown() override {
    app.reset();
    testPlatform().setMessageHandler({});
    std::filesystem::remove_all(folder);
  }

  CountingApp& startApp(const Consts& c = {}) {
    std::ofstream(folder / "consts.txt") << constsText(c);
    return startWith(folder / "consts.txt");
  }
  CountingApp& startWith(const std::filesystem::path& constants) {
    app = std::make_unique<CountingApp>(
        testPlatform(),
        ui::Application::Options{constants, reports.empty() ? folder : reports, seeds});
    // Without its windows nothing else can be checked; the exception fails the test.
    if (!app->start()) throw std::runtime_error("the desktop program did not start");
    drawingsAtStartUp = app->statusDrawings;
    pass();
    return *app;
  }

  // One pass of the main loop that never waits.
  bool pass() {
    const bool quit = testPlatform().processEvents(false);
    app->controller().idleStep();
    return quit;
  }
  // One pass of the program's own main loop, woken first so that it never waits.
  bool loop() {
    testPlatform().wake();
    return app->loopPass();
  }
  void passUntil(const std::function<bool()>& done, int limit = 5000) {
    for (int k = 0; k < limit && !done(); ++k) pass();
  }

  int nonBlackPixels(const platform::Buffer& buffer, const Rect& r) const {
    int count = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
      for (int x = r.x; x < r.x + r.w; ++x) {
        count += platform::testing::pixel(buffer, {x, y}) != platform::kBlack;
      }
    }
    return count;
  }
  int pixelsOf(const platform::Buffer& buffer, const Rect& r, platform::Rgb color) const {
    int count = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
      for (int x = r.x; x < r.x + r.w; ++x) {
        count += platform::testing::pixel(buffer, {x, y}) == color;
      }
    }
    return count;
  }

  std::filesystem::path folder;
  std::function<std::uint32_t()> seeds = [] { return 11u; };  // what seeds every reset
  std::filesystem::path reports;  // where reports go; the test's folder when empty
  std::vector<std::string> messages;
  std::unique_ptr<CountingApp> app;
  int drawingsAtStartUp = 0;
};

}  // namespace test
}  // namespace kestravin
