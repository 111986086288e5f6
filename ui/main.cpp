// The desktop program: the windows of a run, on the Qt backend, or on Win32 on Windows; and
// the same program as a web page.
#include <cstdio>
#include <string>

#include "ui/application.h"
#include "ui/command_line.h"
#ifdef _WIN32
#include "ui/platform/win32/win32_platform.h"
#elif defined(__EMSCRIPTEN__)
#include <vector>

#include "config/constants_file.h"
#include "ui/page_address.h"
#include "ui/platform/web/web_platform.h"
#else
#include "ui/platform/qt/qt_platform.h"
#endif

#ifdef __EMSCRIPTEN__
namespace {

namespace web = kestravin::platform::web;
using kestravin::ui::Application;

constexpr const char* kBuiltInConstants = "/consts.txt";
constexpr std::string_view kTooLarge = " is too large for a constants file (more than 1 MB).";
// Reports are kept in the page's memory until they are complete and downloaded; one that would
// grow past this asks first.
constexpr std::uint64_t kReportLimit = 100 << 20;

// Shows the seed of the current run beside the windows, with the link that reproduces it,
// whenever a new run has started.
class RunLink {
 public:
  explicit RunLink(web::WebPlatform& page) : page_(page) {}

  void update(const Application& app) {
    const kestravin::Simulation* run = app.currentRun();
    if (run ? shown_ && seed_ == run->seed() && params_ == run->params() : !shown_) return;
    shown_ = run != nullptr;
    if (run) {
      seed_ = run->seed();
      params_ = run->params();
    }
    link_ = run ? web::pageBase() + "?" + kestravin::ui::pageLinkQuery(seed_, params_) : "";
    page_.setPageText("seed", run ? std::to_string(seed_) : "");
    page_.setPageLink("run-link", link_);
  }
  const std::string& link() const { return link_; }

 private:
  web::WebPlatform& page_;
  bool shown_ = false;
  std::uint32_t seed_ = 0;
  kestravin::SimParams params_;
  std::string link_;
};

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

}  // namespace

// The page: the shipped constants file is built in, and reports go to the user as downloads.
// The address may fix the seed and the parameters (?seed=N&TeamSize=...). The page's own event
// loop runs the program after main has returned, so everything here lives as long as the page.
int main() {
  static auto made = web::makeWebPlatform();
  static auto& page = static_cast<web::WebPlatform&>(*made.platform);
  const kestravin::ui::PageAddress address = kestravin::ui::readPageAddress(
      web::pageQuery(), kestravin::readConstants(kBuiltInConstants).params);
  Application::Options options{kBuiltInConstants, web::kOutbox, {}};
  if (address.seed) options.seedSource = [seed = *address.seed] { return seed; };
  static Application app(page, std::move(options));
  if (address.params) app.setStartParams(*address.params);
  app.setReportLimit(address.reportLimit.value_or(kReportLimit));
  if (!app.start()) return 1;
  if (!address.problems.empty()) {
    page.messageBox(joined(address.problems), std::string(kestravin::ui::kErrorCaption));
  }

  static RunLink link(page);
  link.update(app);
  page.onPageAction("copy-link",
                    [](const std::string&, const std::string&) { page.copyText(link.link()); });
  page.onPageAction("open-constants", [](const std::string& path, const std::string& name) {
    if (path.empty()) {
      page.messageBox(name + std::string(kTooLarge), std::string(kestravin::ui::kErrorCaption));
      return;
    }
    app.openConstants(path);
    std::remove(path.c_str());
  });
  page.runInPage([] {
    const bool quit = app.loopPass();
    link.update(app);
    return quit;
  });
  return 0;
}
#else
namespace {

// Help, or what is wrong with the command line. A window program on Windows has no console to
// print to: it shows a box there.
void tell(kestravin::platform::Platform* platform, const std::string& text, bool error) {
#ifdef _WIN32
  if (platform) {
    platform->messageBox(text, error ? std::string(kestravin::ui::kErrorCaption) : "Kestravin");
    return;
  }
#else
  (void)platform;
#endif
  std::fprintf(error ? stderr : stdout, "%s\n", text.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string usage(kestravin::ui::kDesktopUsage);
#ifndef _WIN32
  // Help needs no display.
  if (kestravin::ui::parseDesktopArgs(argc, argv).help) {
    tell(nullptr, usage, false);
    return 0;
  }
  // The toolkit takes its own options (such as -platform) out of the command line first.
  auto made = kestravin::platform::makeQtPlatform(argc, argv);
#else
  auto made = kestravin::platform::makeWin32Platform();
#endif
  if (!made.platform) {
    std::fprintf(stderr, "kestravin: %s\n", made.error.c_str());
    return 1;
  }
  const kestravin::ui::DesktopArgs args = kestravin::ui::parseDesktopArgs(argc, argv);
  if (!args.error.empty()) {
    tell(made.platform.get(), "kestravin: " + args.error + "\n" + usage, true);
    return 2;
  }
  if (args.help) {
    tell(made.platform.get(), usage, false);
    return 0;
  }
  kestravin::ui::Application::Options options;
  if (args.seed) options.seedSource = [seed = *args.seed] { return seed; };
  kestravin::ui::Application app(*made.platform, std::move(options));
  return app.run();
}
#endif
