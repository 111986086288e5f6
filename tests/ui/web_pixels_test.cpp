// The web backend's pictures against the desktop backend's: the same drawing gives the same
// pixels, text included (the glyph atlas was made from the desktop's rendering).
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "config/parameters.h"
#include "engine/simulation.h"
#include "ui/graph_window.h"
#include "ui/options_window.h"
#include "ui/platform/web/pixel_surface.h"
#include "ui/player_view.h"
#include "ui/status_panel.h"
#include "ui/test_platform.h"

namespace kestravin {
namespace {

using platform::Point;
using platform::Rect;
using platform::Size;
using platform::web::PixelSurface;

using Drawing = std::function<void(platform::Surface&)>;

// Draws the same on a desktop buffer and on a web surface; the pixels that differ, described.
std::string differences(Size size, const Drawing& draw) {
  auto desktop = test::testPlatform().createBuffer(size);
  PixelSurface web(size);
  draw(*desktop);
  draw(web);
  int count = 0;
  std::ostringstream first;
  for (int y = 0; y < size.h; ++y) {
    for (int x = 0; x < size.w; ++x) {
      const platform::Rgb d = platform::testing::pixel(*desktop, {x, y});
      const platform::Rgb w = web.pixel({x, y});
      if (d == w) continue;
      if (count++ < 5) {
        first << " (" << x << "," << y << "): desktop " << int(d.r) << "," << int(d.g) << ","
              << int(d.b) << " web " << int(w.r) << "," << int(w.g) << "," << int(w.b) << ";";
      }
    }
  }
  if (count == 0) return {};
  return std::to_string(count) + " pixels differ:" + first.str() +
         " if the font changed, run kestravin-glyph-atlas ui/platform/web/glyph_atlas_data.inc";
}

// The program's font; the web surface takes any font as its glyph atlas.
void useFont(platform::Surface& surface) {
  static const auto font = test::testPlatform().createFont({"Arial", 17});
  surface.selectFont(font.get());
}

TEST(WebPixels, EveryCharacterCodeAsTheDesktopDrawsIt) {
  // Runs of 24 codes, so that every character also stands next to others, at pen positions
  // that start on and off whole pixels. Left out: the tab, whose own test follows, and the
  // line ends, form feed and soft hyphen, which the desktop draws as nothing when they
  // stand alone or next to a space but as a box or hyphen between two letters.
  EXPECT_EQ(differences({700, 240},
                        [](platform::Surface& s) {
                          useFont(s);
                          s.setTextColor(platform::kBlue);
                          int line = 0;
                          for (int from = 1; from < 256; from += 24, ++line) {
                            std::string text;
                            for (int c = from; c < from + 24 && c < 256; ++c) {
                              if (c != '\t' && c != '\n' && c != '\f' && c != '\r' && c != 0xAD) {
                                text += static_cast<char>(c);
                              }
                            }
                            s.drawText({3 + line % 3, line * 20}, text);
                          }
                        }),
            "");
}

TEST(WebPixels, TextCutAtEveryEdgeAndInEachColour) {
  EXPECT_EQ(differences({120, 40},
                        [](platform::Surface& s) {
                          useFont(s);
                          s.setTextColor(platform::kRed);
                          s.drawText({-7, -6}, "Year: 2000 gjpqy");
                          s.setTextColor(platform::kGreen);
                          s.drawText({90, 30}, "WMW \xC4\xC9\xD6");
                          s.setTextColor(platform::kBlue);
                          s.drawText({-300, 10}, std::string(60, 'W'));
                          s.drawText({119, 12}, "|");
                          s.drawText({20, 39}, "\xC5\xC2");
                        }),
            "");
}

TEST(WebPixels, LinesInEveryDirectionEndShortOfTheirEndPoint) {
  EXPECT_EQ(differences({80, 80},
                        [](platform::Surface& s) {
                          s.setPen({98, 4, 178});
                          for (int k = 0; k < 32; ++k) {
                            const int dx = (k % 8) * 9 - 31;
                            const int dy = (k / 8) * 17 - 30;
                            s.moveTo({40, 40});
                            s.lineTo({40 + dx, 40 + dy});
                          }
                          s.setPen(platform::kBlue);
                          s.moveTo({-10, 79});
                          s.lineTo({90, 75});  // through the picture and out again
                          s.lineTo({75, 75});  // from the position the last line left
                          s.fillBlack({60, 60, 100, 5});
                        }),
            "");
  PixelSurface web({10, 10});
  web.setPen(platform::kBlue);
  web.moveTo({2, 2});
  web.lineTo({7, 2});
  EXPECT_EQ(web.pixel({6, 2}), platform::kBlue);
  EXPECT_EQ(web.pixel({7, 2}), platform::kBlack) << "the end point is left out";
}

// A run of the shipped kind that has gone on for some years, and has ended.
Simulation endedRun() {
  SimParams params = defaultParams();
  params.mutation = 10;
  params.mutationDiv = 100;
  params.teamSize = 60;
  params.ageStart = 5;
  params.ageDeath = 10;
  params.ageDeathDiv = 100;
  params.fitDeath = 30;
  params.fitDeathDiv = 100;
  params.birthChance = 80;
  params.birthChanceDiv = 100;
  params.maxGen = 40;
  params.startYear = 2000;
  params.maxPop = 200;
  params.fitString = "evolution works!";
  Simulation run(params, 5);
  while (run.end() == RunEnd::kNone) run.advance();
  return run;
}

TEST(WebPixels, EveryPanelOfARunAsTheDesktopDrawsIt) {
  const Simulation run = endedRun();
  const Team& team = run.team();
  ASSERT_GT(team.players.size(), 2u);
  EXPECT_EQ(differences({500, 230},
                        [&](platform::Surface& s) {
                          useFont(s);
                          ui::drawStatusPanel(s, s, team, 2000, run.end());
                        }),
            "")
      << "status panel with its end message, and the column headings";
  EXPECT_EQ(differences({400, 150},
                        [&](platform::Surface& s) {
                          useFont(s);
                          ui::drawPlayerDetails(s, team, team.players[2].id);
                        }),
            "")
      << "details";
  for (int type = 0; type < ui::kGraphCount; ++type) {
    EXPECT_EQ(differences(ui::kGraphBufferSize,
                          [&](platform::Surface& s) {
                            useFont(s);
                            ui::drawGraph(s, team, run.history(), type);
                          }),
              "")
        << "graph " << type;
  }
  EXPECT_EQ(differences({170, 200},
                        [&](platform::Surface& s) {
                          useFont(s);
                          ui::drawOptionLabels(s);
                          ui::BusyState busy;
                          ui::resetBusy(busy);
                          for (int k = 0; k < 9; ++k) ui::advanceBusy(busy);
                          ui::drawBusy(s, busy);
                        }),
            "")
      << "option labels and the busy indicator";
}

TEST(WebPixels, CopiesKeepToBothPictures) {
  PixelSurface from({20, 10});
  from.setPen(platform::kRed);
  from.moveTo({0, 0});
  from.lineTo({20, 10});
  PixelSurface to({10, 10});
  to.blit(from, {-5, -5, 30, 30}, {-2, 1});  // a part larger than both, moved off the edge
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      EXPECT_EQ(to.pixel({x, y}), from.pixel({x - 3, y - 6})) << x << "," << y;
    }
  }
  EXPECT_EQ(to.pixel({-1, 0}), platform::kBlack);
}

TEST(WebPixels, TabsMoveThePenToTheNextStopFromTheTextsStart) {
  EXPECT_EQ(differences({400, 90},
                        [](platform::Surface& s) {
                          useFont(s);
                          s.setTextColor(platform::kBlue);
                          s.drawText({0, 0}, "\t|a\t\t|");
                          s.drawText({37, 20}, "WWWWW\t|");
                          s.drawText({3, 40}, "WWWWWWWWWW\tx\ty");
                          s.drawText({-5, 60}, "ID\tFit.\tChromo");
                        }),
            "");
}

}  // namespace
}  // namespace kestravin
