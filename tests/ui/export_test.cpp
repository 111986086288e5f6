// The graph window's picture and data saved from its context menu and keys, and the PNG
// files they make, on the test platform.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "report/history_csv.h"
#include "ui/desktop_fixture.h"
#include "ui/graph_window.h"
#include "ui/png_image.h"
#include "ui/window_menus.h"

namespace kestravin {
namespace {

using platform::Rgb;
using platform::testing::chooseMenuItem;
using platform::testing::click;
using platform::testing::contextMenu;
using platform::testing::menuKeyText;
using platform::testing::pressKey;
using test::CountingApp;
using test::Desktop;

std::uint32_t big32(const std::string& s, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at])) << 24 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 1])) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 2])) << 8 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 3]));
}

// A PNG read back as far as the program writes them: 8-bit RGB, stored deflate blocks, no
// filters. Every checksum is checked; anything else fails the test.
struct Png {
  int w = 0;
  int h = 0;
  std::vector<Rgb> pixels;
  std::vector<std::string> chunks;
};

Png decode(const std::string& file) {
  Png png;
  EXPECT_EQ(file.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  std::string zlib;
  for (std::size_t at = 8; at + 12 <= file.size();) {
    const std::uint32_t length = big32(file, at);
    const std::string typeAndData = file.substr(at + 4, 4 + length);
    EXPECT_EQ(big32(file, at + 8 + length), ui::pngCrc32(typeAndData)) << typeAndData.substr(0, 4);
    png.chunks.push_back(typeAndData.substr(0, 4));
    if (png.chunks.back() == "IHDR") {
      png.w = static_cast<int>(big32(typeAndData, 4));
      png.h = static_cast<int>(big32(typeAndData, 8));
      EXPECT_EQ(typeAndData.substr(12, 5), std::string("\x08\x02\0\0\0", 5));
    }
    if (png.chunks.back() == "IDAT") zlib += typeAndData.substr(4);
    at += 12 + length;
  }
  EXPECT_EQ((static_cast<std::uint8_t>(zlib[0]) * 256 + static_cast<std::uint8_t>(zlib[1])) % 31,
            0);
  std::string raw;
  std::size_t at = 2;
  for (bool last = false; !last && at + 5 <= zlib.size();) {
    last = (zlib[at] & 1) != 0;
    EXPECT_EQ(zlib[at] & 6, 0) << "a stored block";
    const std::size_t n = static_cast<std::uint8_t>(zlib[at + 1]) |
                          static_cast<std::size_t>(static_cast<std::uint8_t>(zlib[at + 2])) << 8;
    const std::size_t notN = static_cast<std::uint8_t>(zlib[at + 3]) |
                             static_cast<std::size_t>(static_cast<std::uint8_t>(zlib[at + 4])) << 8;
    EXPECT_EQ(n ^ notN, 0xFFFFu);
    raw += zlib.substr(at + 5, n);
    at += 5 + n;
  }
  EXPECT_EQ(big32(zlib, at), ui::adler32(raw));
  const std::size_t stride = 1 + 3 * static_cast<std::size_t>(png.w);
  EXPECT_EQ(raw.size(), stride * static_cast<std::size_t>(png.h));
  for (std::size_t y = 0; y < static_cast<std::size_t>(png.h) && raw.size() >= stride * (y + 1);
       ++y) {
    EXPECT_EQ(raw[y * stride], '\0') << "filter of row " << y;
    for (std::size_t x = 0; x < static_cast<std::size_t>(png.w); ++x) {
      const char* p = &raw[y * stride + 1 + 3 * x];
      png.pixels.push_back({static_cast<std::uint8_t>(p[0]), static_cast<std::uint8_t>(p[1]),
                            static_cast<std::uint8_t>(p[2])});
    }
  }
  return png;
}

TEST(Png, ChecksumsOfKnownTexts) {
  EXPECT_EQ(ui::pngCrc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(ui::pngCrc32("IEND"), 0xAE426082u);
  EXPECT_EQ(ui::adler32("Wikipedia"), 0x11E60398u);
  EXPECT_EQ(ui::adler32(""), 1u);
}

TEST(Png, PicturesComeBackPixelForPixel) {
  const std::vector<Rgb> tiny = {{1, 2, 3},   {255, 0, 0},  {0, 255, 0},
                                 {0, 0, 255}, {98, 4, 178}, {0, 0, 0}};
  const Png small = decode(ui::encodePng({3, 2}, tiny));
  EXPECT_EQ(small.w, 3);
  EXPECT_EQ(small.h, 2);
  EXPECT_EQ(small.pixels, tiny);
  EXPECT_THAT(small.chunks, ::testing::ElementsAre("IHDR", "IDAT", "IEND"));

  // A graph's size needs several stored blocks, the last one short.
  std::mt19937 random(7);
  std::vector<Rgb> noise(440 * 340);
  for (Rgb& c : noise) {
    const auto v = random();
    c = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
         static_cast<std::uint8_t>(v >> 16)};
  }
  EXPECT_EQ(decode(ui::encodePng({440, 340}, noise)).pixels, noise);
}

// A graph window with a few years drawn, and save dialogs that the test answers.
class GraphExport : public Desktop {
 protected:
  CountingApp& graphShown() {
    CountingApp& a = startApp();
    for (int k = 0; k < 6; ++k) {
      click(a.mainButton(ui::kStepId));
      pass();
    }
    click(a.mainButton(ui::kGraphsId));
    for (int k = 0; k < 3; ++k) pass();
    test::testPlatform().setSaveDialogHandler([this](const platform::SaveDialogSpec& request) {
      asked.push_back(request);
      return answer;
    });
    return a;
  }
  void TearDown() override {
    test::testPlatform().setSaveDialogHandler({});
    Desktop::TearDown();
  }

  std::optional<std::string> answer;
  std::vector<platform::SaveDialogSpec> asked;
};

TEST_F(GraphExport, SavePictureWritesExactlyThePixelsOfTheGraphBuffer) {
  CountingApp& a = graphShown();
  const std::vector<platform::MenuItem> menu = contextMenu(a.graphWindow());
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_EQ(menu[0].text, "Save picture...");
  EXPECT_EQ(menu[1].text, "Save data...");
  EXPECT_EQ(menuKeyText(a.graphWindow(), ui::kSavePictureId), "Ctrl+S");
  EXPECT_EQ(menuKeyText(a.graphWindow(), ui::kSaveDataId), "Ctrl+Shift+S");

  answer = (folder / "graph.png").string();
  const std::size_t savedBefore = test::testPlatform().savedFiles().size();
  ASSERT_TRUE(chooseMenuItem(a.graphWindow(), ui::kSavePictureId));
  ASSERT_EQ(asked.size(), 1u);
  ASSERT_EQ(test::testPlatform().savedFiles().size(), savedBefore + 1);
  EXPECT_EQ(test::testPlatform().savedFiles().back(), *answer) << "the backend is told";
  EXPECT_EQ(asked[0].extension, "png");
  EXPECT_EQ(asked[0].owner, &a.graphWindow());
  const Png png = decode(test::readFile(folder / "graph.png"));
  ASSERT_EQ(png.w, ui::kGraphArea.w);
  ASSERT_EQ(png.h, ui::kGraphArea.h);
  int curve = 0;
  for (int y = 0; y < png.h; ++y) {
    for (int x = 0; x < png.w; ++x) {
      const Rgb c = png.pixels[static_cast<std::size_t>(y * png.w + x)];
      ASSERT_EQ(c, platform::testing::pixel(*a.graphBuffer(), {x, y})) << x << "," << y;
      curve += c == ui::kCurveColor;
    }
  }
  EXPECT_GT(curve, 0);
  // And what the window shows.
  EXPECT_EQ(png.pixels, platform::testing::shownPixels(a.graphWindow(), {5, 5, 440, 340}));
  EXPECT_TRUE(messages.empty());
}

TEST_F(GraphExport, KeysReplaceAFileWholeAndCancelWritesNothing) {
  CountingApp& a = graphShown();
  std::ofstream(folder / "old.png") << "an older file, replaced once the dialog has asked";
  answer = (folder / "old.png").string();
  pressKey(a.graphWindow(), 'S', true);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(decode(test::readFile(folder / "old.png")).w, ui::kGraphArea.w);

  answer = std::nullopt;  // the user cancels
  pressKey(a.graphWindow(), 'S', true, true);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1].extension, "csv");
  EXPECT_TRUE(messages.empty());

  // A folder that is not there: the user is told and nothing is left behind.
  answer = (folder / "nowhere" / "graph.png").string();
  const std::size_t savedBefore = test::testPlatform().savedFiles().size();
  pressKey(a.graphWindow(), 'S', true);
  EXPECT_EQ(test::testPlatform().savedFiles().size(), savedBefore) << "nothing was saved";
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_THAT(messages[0], ::testing::StartsWith("Error!!! "));
  EXPECT_THAT(messages[0], ::testing::HasSubstr("could not be written"));
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++files;
  EXPECT_EQ(files, 2u) << "consts.txt and old.png";
}

TEST_F(GraphExport, SaveDataWritesWhatTheSimulatorWritesForTheSameSeed) {
  // The simulator's CSV for these constants and the seed 2024 is kept with the tests.
  seeds = [] { return 2024u; };
  CountingApp& a = startWith(KESTRAVIN_TEST_DATA "/small_consts.txt");
  click(a.mainButton(ui::kStartStopId));
  passUntil([&] { return a.controller().finished(); });
  click(a.mainButton(ui::kGraphsId));
  test::testPlatform().setSaveDialogHandler([this](const platform::SaveDialogSpec& request) {
    asked.push_back(request);
    return std::optional<std::string>((folder / "history.csv").string());
  });
  ASSERT_TRUE(chooseMenuItem(a.graphWindow(), ui::kSaveDataId));
  EXPECT_EQ(test::readFile(folder / "history.csv"),
            test::readFile(KESTRAVIN_TEST_DATA "/small_history_seed2024.csv"));
}

}  // namespace
}  // namespace kestravin
