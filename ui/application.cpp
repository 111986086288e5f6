#include "ui/application.h"

#include <functional>

#include "config/constants_file.h"
#include "config/option_fields.h"
#include "control/end_messages.h"
#include "ui/graph_window.h"
#include "ui/player_view.h"
#include "ui/window_menus.h"

namespace kestravin::ui {

namespace {

using platform::Rect;
using platform::WindowKind;

constexpr std::string_view kMainClass = "MAINCLASS";
constexpr std::string_view kOptionsClass = "OPTCLASS";
constexpr std::string_view kPlayerClass = "PLAYERCLASS";
constexpr std::string_view kGraphClass = "GRAPHCLASS";
constexpr std::string_view kStatusClass = "STATUSCLASS";

struct ClassInfo {
  std::string_view name;
  std::string_view failure;
};

// Registered in this order; the texts are the program's own, shared by some classes.
constexpr ClassInfo kClasses[] = {
    {kMainClass, "Error registering main window class!"},
    {kOptionsClass, "Error registering option window class!"},
    {kPlayerClass, "Error registering main window class!"},
    {kGraphClass, "Error registering option window class!"},
    {kStatusClass, "Error registering option window class!"},
};

constexpr std::string_view kClampedNote = "The nearest valid values are used instead.";
constexpr std::string_view kReportLimitCaption = "Kestravin";

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

std::vector<std::string> problemLines(const std::vector<ParamProblem>& problems) {
  std::vector<std::string> lines;
  for (const auto& problem : problems) lines.push_back(problem.text);
  return lines;
}

constexpr std::string_view kNoWindowsMessage =
    "Kestravin cannot start: its windows could not be created.";

const platform::FontSpec kUiFont{"Arial", 17};

struct ButtonInfo {
  std::string_view text;
  Rect rect;
  int id;
};

constexpr ButtonInfo kMainButtons[] = {
    {"Start/Stop", {5, 130, 100, 25}, kStartStopId}, {"Reset", {110, 130, 100, 25}, kResetId},
    {"Options", {350, 130, 100, 25}, kOptionsId},    {"Step", {5, 160, 100, 25}, kStepId},
    {"Graphs", {350, 160, 100, 25}, kGraphsId},
};

}  // namespace

// Routes one window's events to the application.
class Application::Handler : public platform::WindowHandler {
 public:
  std::function<void(platform::Surface&)> paint;
  std::function<void(int, int)> command;
  std::function<void()> destroy;
  std::function<std::vector<platform::MenuItem>()> menu;
  std::function<void(int)> menuCommand;

  void onPaint(platform::Surface& surface) override {
    if (paint) paint(surface);
  }
  void onCommand(int id, int notification) override {
    if (command) command(id, notification);
  }
  void onDestroy() override {
    if (destroy) destroy();
  }
  std::vector<platform::MenuItem> contextMenu() override {
    return menu ? menu() : std::vector<platform::MenuItem>{};
  }
  void onMenuCommand(int id) override {
    if (menuCommand) menuCommand(id);
  }
};

Application::Application(platform::Platform& platform, Options options)
    : platform_(platform),
      settings_(std::move(options)),
      report_(settings_.reportFolder),
      graphType_(kInitialGraphType),
      statusThrottle_(kFastDrawingsPerSecond),
      busyThrottle_(kFastDrawingsPerSecond) {
  controller_ = std::make_unique<RunController>(*this, report_, settings_.seedSource);
  for (auto& handler : handlers_) handler = std::make_unique<Handler>();
}

Application::~Application() {
  // A program torn down without its main window being closed still completes its report.
  if (!released_) controller_->shutdown();
}

bool Application::registerClasses() {
  bool all = true;
  for (const ClassInfo& info : kClasses) {
    if (!platform_.registerClass(std::string(info.name))) {
      platform_.messageBox(std::string(info.failure), std::string(kErrorCaption));
      all = false;
    }
  }
  return all;
}

bool Application::createWindows() {
  Handler& mainHandler = *handlers_[0];
  Handler& optionsHandler = *handlers_[1];
  Handler& playerHandler = *handlers_[2];
  Handler& graphHandler = *handlers_[3];
  Handler& busyHandler = *handlers_[4];

  mainHandler.paint = [this](platform::Surface&) {
    // While a message box is up the idle step does not run: the panel is drawn at once.
    if (inMessage_) {
      paintStatusPanel();
    } else {
      controller_->requestStatusRedraw();
    }
  };
  mainHandler.command = [this](int id, int code) { onMainCommand(id, code); };
  mainHandler.destroy = [this] { onMainDestroyed(); };
  mainHandler.menu = [this] { return mainMenu(); };
  mainHandler.menuCommand = [this](int id) { onMainMenu(id); };
  optionsHandler.paint = [](platform::Surface& surface) { drawOptionLabels(surface); };
  optionsHandler.command = [this](int id, int) { onOptionsCommand(id); };
  playerHandler.paint = [this](platform::Surface&) { drawPlayerDetails(); };
  graphHandler.paint = [this](platform::Surface&) { drawGraphNow(); };
  graphHandler.command = [this](int id, int code) { onGraphCommand(id, code); };
  graphHandler.menu = [this] { return graphMenu(); };
  graphHandler.menuCommand = [this](int id) { onGraphMenu(id); };
  busyHandler.paint = [this](platform::Surface&) { tickBusy(); };

  const auto make = [this](std::string_view cls, std::string_view title, WindowKind kind, Rect rect,
                           platform::Window* parent, Handler& handler,
                           std::vector<platform::KeyBinding> keys = {}) {
    return platform_.createWindow(
        {std::string(cls), std::string(title), kind, rect, parent, &handler, std::move(keys)});
  };

  main_ = make(kMainClass, "Kestravin", WindowKind::kMain, {0, 0, 500, 525}, nullptr, mainHandler,
               mainWindowKeys());
  if (!main_) return false;
  for (std::size_t k = 0; k < std::size(kMainButtons); ++k) {
    const ButtonInfo& b = kMainButtons[k];
    mainButtons_[k] = {b.id, &main_->addButton(b.text, b.rect, b.id)};
  }
  playerList_ =
      &main_->addListBox({{5, 220, 400, 100}, kPlayerListId, {kFitColumn, kChromoColumn}});

  options_ = make(kOptionsClass, "Options", WindowKind::kCaptionOnly, {100, 100, 400, 250}, nullptr,
                  optionsHandler);
  if (!options_) return false;
  optionControls_ = std::make_unique<OptionControls>(*options_);

  playerPanel_ =
      make(kPlayerClass, "", WindowKind::kChild, {5, 330, 400, 150}, main_.get(), playerHandler);
  graph_ = make(kGraphClass, "Genetic Graphs", WindowKind::kCaptionOnly, {50, 50, 450, 450},
                nullptr, graphHandler, graphWindowKeys());
  if (!playerPanel_ || !graph_) return false;
  graphOk_ = &graph_->addButton("Ok", {5, 350, 75, 25}, kGraphOkId);
  graphList_ = &graph_->addListBox({{85, 350, 300, 50}, 0, {}});
  busy_ = make(kStatusClass, "", WindowKind::kChild, {350, 190, 170, 17}, main_.get(), busyHandler);
  return busy_ != nullptr;
}

void Application::loadConstants(const std::filesystem::path& path, bool givenInstead) {
  if (givenInstead && startParams_) {
    writeOptionFields(paramsToFields(*startParams_));
  } else {
    const ConstantsReading constants = readConstants(path);
    if (!constants.opened) {
      platform_.messageBox(std::string(kConstantsMissingMessage), std::string(kErrorCaption));
    } else if (!constants.problems.empty()) {
      platform_.messageBox(joinLines(constants.problems), std::string(kErrorCaption));
    }
    writeOptionFields(paramsToFields(constants.params));
  }
  // Values a run cannot use are shown, and replaced by the nearest valid ones, once.
  const FieldReading reading = readFields(optionControls_->read());
  if (!reading.problems.empty()) {
    writeOptionFields(paramsToFields(clampParams(reading.params)));
    platform_.messageBox(
        joinLines(problemLines(reading.problems)) + "\n" + std::string(kClampedNote),
        std::string(kErrorCaption));
  }
}

bool Application::start() {
  const bool registered = registerClasses();
  if (!createWindows() || !registered) {
    platform_.messageBox(std::string(kNoWindowsMessage), std::string(kErrorCaption));
    released_ = true;
    return false;
  }

  statusBuffer_ = platform_.createBuffer({kStatusArea.w, kStatusArea.h});
  playerBuffer_ = platform_.createBuffer({kPlayerArea.w, kPlayerArea.h});
  graphBuffer_ = platform_.createBuffer(kGraphBufferSize);
  busyBuffer_ = platform_.createBuffer({kBusyArea.w, kBusyArea.h});

  loadConstants(settings_.constantsFile, true);
  controller_->prepareFirstRun();

  uiFont_ = platform_.createFont(kUiFont);
  main_->surface().selectFont(uiFont_.get());
  statusBuffer_->selectFont(uiFont_.get());
  options_->surface().selectFont(uiFont_.get());
  playerBuffer_->selectFont(uiFont_.get());
  graphBuffer_->selectFont(uiFont_.get());
  busyBuffer_->selectFont(uiFont_.get());

  playerList_->setFont(*uiFont_);
  for (const MainButton& b : mainButtons_) b.button->setFont(*uiFont_);
  optionControls_->setFont(*uiFont_);
  graphOk_->setFont(*uiFont_);
  graphList_->setFont(*uiFont_);

  statusBuffer_->fillBlack(kStatusArea);
  playerBuffer_->fillBlack(kPlayerArea);
  graphBuffer_->fillBlack(kGraphArea);

  drawStatusPanel();
  tickBusy();
  refreshPlayerList();

  main_->invalidate(kStatusArea);
  main_->show();

  for (int k = 0; k < kGraphCount; ++k) {
    graphList_->addRow(graphRowText(k));
    graphList_->setRowData(k, k);
  }
  graphList_->selectRow(graphType_);
  // A termination signal or Ctrl+C ends the program as closing the main window does.
  platform_.closeOnTermination(*main_);
  return true;
}

bool Application::loopPass() {
  // With nothing to simulate, announce or redraw, wait for the next event instead of
  // polling; while a run advances, never wait.
  const bool quit = platform_.processEvents(!controller_->hasPendingWork() && !statusSkipped_);
  controller_->idleStep();
  // A run that Fast left undrawn shows its last year once it stops.
  if (statusSkipped_ && !advancing()) paintStatusPanel();
  return quit;
}

void Application::openConstants(const std::filesystem::path& path) {
  if (released_) return;
  loadConstants(path, false);
  controller_->requestReset();
}

int Application::run() {
  if (!start()) return 1;
  while (!loopPass()) {
  }
  return 0;
}

void Application::onMainCommand(int id, int notification) {
  if (notification == 1) {
    drawPlayerDetails();  // the user picked a row of the player list
    return;
  }
  if (notification != 0) return;
  switch (id) {
    case kStartStopId:
      controller_->toggleRun();
      break;
    case kResetId:
      controller_->requestReset();
      break;
    case kOptionsId:
      drawPlayerDetails();
      options_->show();
      options_->activate();
      break;
    case kGraphsId:
      drawPlayerDetails();
      graph_->show();
      drawGraphNow();
      break;
    case kStepId:
      controller_->requestStep();
      break;
    default:
      break;
  }
}

void Application::onOptionsCommand(int id) {
  if (id == kOkId) {
    controller_->applyOptions();
  } else if (id == kCancelId) {
    options_->hide();
    if (const Simulation* run = controller_->run())
      writeOptionFields(paramsToFields(run->params()));
    drawPlayerDetails();
  }
}

void Application::onGraphCommand(int id, int notification) {
  if (notification == 1) {
    const int row = graphList_->selectedRow();
    if (row >= 0) graphType_ = graphList_->rowData(row);
    drawGraphNow();
    return;
  }
  if (notification == 0 && id == kGraphOkId) {
    graph_->hide();
    drawPlayerDetails();
  }
}

void Application::onMainDestroyed() {
  if (released_) return;
  controller_->shutdown();
  // The font goes out of every surface before it is deleted, in the order of start-up's
  // reverse: the buffers, the options window, the main window.
  const std::array<platform::Surface*, 6> surfaces = {statusBuffer_.get(), playerBuffer_.get(),
                                                      busyBuffer_.get(),   &options_->surface(),
                                                      graphBuffer_.get(),  &main_->surface()};
  for (platform::Surface* surface : surfaces) surface->selectFont(nullptr);
  uiFont_.reset();
  statusBuffer_.reset();
  playerBuffer_.reset();
  graphBuffer_.reset();
  busyBuffer_.reset();
  released_ = true;
  platform_.postQuit();
}

bool Application::advancing() const {
  return controller_->run() && !controller_->paused();
}

void Application::drawStatusPanel() {
  if (fast_ && advancing() && !statusThrottle_.due(DrawThrottle::Clock::now())) {
    statusSkipped_ = true;
    return;
  }
  paintStatusPanel();
}

void Application::paintStatusPanel() {
  statusSkipped_ = false;
  if (released_) return;
  ++statusDrawings_;
  const bool finished = controller_->finished();
  if (finished) refreshPlayerList();  // a finished run shows its final players
  const Simulation* run = controller_->run();
  const RunEnd end = finished && run ? run->end() : RunEnd::kNone;
  ui::drawStatusPanel(*statusBuffer_, main_->surface(), shownTeam(),
                      run ? run->params().startYear : 0, end);
  main_->copyFrom(*statusBuffer_, kStatusArea, {0, 0});
}

const Team& Application::shownTeam() const {
  static const Team kNoTeam;
  const Simulation* run = controller_->run();
  return run ? run->team() : kNoTeam;
}

void Application::tickBusy() {
  if (released_) return;
  // Fast spares the indicator too; it moves on only when drawn.
  if (fast_ && advancing() && !busyThrottle_.due(DrawThrottle::Clock::now())) return;
  ++busyDrawings_;
  advanceBusy(busyState_);
  drawBusy(*busyBuffer_, busyState_);
  busy_->copyFrom(*busyBuffer_, kBusyArea, {0, 0});
}

void Application::resetBusy() {
  ui::resetBusy(busyState_);
}

void Application::refreshPlayerList() {
  if (released_) return;
  ui::refreshPlayerList(*playerList_, shownTeam());
}

void Application::clearPlayerList() {
  if (released_) return;
  playerList_->clear();
}

void Application::drawPlayerDetails() {
  if (released_) return;
  ui::drawPlayerDetails(*playerBuffer_, shownTeam(), selectedPlayerId(*playerList_));
  playerPanel_->copyFrom(*playerBuffer_, kPlayerArea, {0, 0});
}

void Application::drawGraphNow() {
  if (released_) return;
  static const History kNoHistory;
  const Simulation* run = controller_->run();
  drawGraph(*graphBuffer_, shownTeam(), run ? run->history() : kNoHistory, graphType_);
  graph_->copyFrom(*graphBuffer_, kGraphArea, kGraphShownAt);
}

std::optional<RunSetup> Application::readOptionFields() {
  const FieldReading reading = readFields(optionControls_->read());
  if (!reading.problems.empty()) {
    showMessage(joinLines(problemLines(reading.problems)));
    return std::nullopt;
  }
  return RunSetup{reading.params, optionControls_->outputToFile()};
}

void Application::writeOptionFields(const OptionFields& fields) {
  optionControls_->write(fields);
}

void Application::hideOptionsWindow() {
  options_->hide();
}

void Application::repaintStatusArea() {
  if (released_) return;
  main_->invalidate(kStatusArea);
  main_->paintNow();
}

void Application::showMessage(const std::string& text) {
  // The panel stands complete behind the box, and is drawn again if the box uncovers it.
  if (!released_ && main_->visible()) paintStatusPanel();
  inMessage_ = true;
  platform_.messageBox(text, std::string(kErrorCaption));
  inMessage_ = false;
}

void Application::yieldProcessor() {
  // Fast spares the five zero-time sleeps of a year too: they cost more than the year.
  if (fast_) return;
  platform_.yield();
}

void Application::askReportLimit(const std::string& name, std::uint64_t allowed) {
  // Sizes rounded up, in kB below a megabyte.
  const auto megabytes = [](std::uint64_t bytes) {
    if (bytes < (1u << 20)) return std::to_string((bytes + 1023) >> 10) + " kB";
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
  };
  const std::string text = "The report " + name + " would pass " + megabytes(allowed) +
                           " with this year.\nOK: write it on, up to " +
                           megabytes(controller_->reportLimit()) +
                           " more.\nCancel: end the report with the year before; the run pauses.";
  platform_.askOkCancel(text, std::string(kReportLimitCaption),
                        [this](bool ok) { controller_->answerReportLimit(ok); });
}

}  // namespace kestravin::ui
