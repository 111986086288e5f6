#include "engine/run_controller.h"

#include <algorithm>
#include <ctime>

#include "config/option_fields.h"
#include "report/report_writer.h"

namespace kestravin {

namespace {

constexpr std::string_view kTimeLimitMessage = "***TIME LIMIT REACHED***";
constexpr std::string_view kEfficientMessage = "***EFFICIENT PLAYER EVOLVED***";
constexpr std::string_view kExtinctMessage = "***POPULATION EXTINCT***";
constexpr std::string_view kClampedNote = "The nearest valid values are used instead.";

std::uint32_t clockSeed() { return static_cast<std::uint32_t>(std::time(nullptr)); }

}  // namespace

RunEnd runEnd(const Team& team, std::int32_t maxGen) {
  if (team.year == maxGen) return RunEnd::kTimeLimit;
  if (team.maxFitness == team.targetFitness) return RunEnd::kEfficientPlayer;
  if (team.population == 0) return RunEnd::kExtinct;
  return RunEnd::kNone;
}

std::string_view endMessage(RunEnd end) {
  switch (end) {
    case RunEnd::kTimeLimit:
      return kTimeLimitMessage;
    case RunEnd::kEfficientPlayer:
      return kEfficientMessage;
    case RunEnd::kExtinct:
      return kExtinctMessage;
    case RunEnd::kNone:
      break;
  }
  return {};
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

RunController::RunController(RunUi& ui, ReportWriter& report, SeedSource seedSource)
    : ui_(ui), report_(report), seedSource_(seedSource ? std::move(seedSource) : clockSeed) {}

std::vector<std::string> RunController::readFieldProblems(SimParams& params) {
  FieldReading reading = fieldsToParams(ui_.readOptionFields());
  params = reading.params;
  std::vector<std::string> lines;
  for (auto& problem : reading.problems) lines.push_back(std::move(problem.text));
  // A field that could not be read is reported once, not again for the 0 it became.
  for (auto& problem : findProblems(params)) {
    const bool unread = std::any_of(reading.problems.begin(), reading.problems.end(),
                                    [&](const ParamProblem& p) { return p.param == problem.param; });
    if (!unread) lines.push_back(std::move(problem.text));
  }
  return lines;
}

void RunController::prepareFirstRun() {
  SimParams params;
  const auto problems = readFieldProblems(params);
  if (!problems.empty()) {
    params = clampParams(params);
    ui_.writeOptionFields(paramsToFields(params));
    ui_.showMessage(joinLines(problems) + "\n" + std::string(kClampedNote));
  }
  resetRun(params);
}

bool RunController::mayAdvance() const {
  return team_.year < params_.maxGen && team_.population > 0 &&
         team_.maxFitness < team_.targetFitness && !paused_;
}

bool RunController::endConditionHolds() const {
  return team_.year == params_.maxGen || team_.population == 0 ||
         team_.maxFitness == team_.targetFitness;
}

bool RunController::hasPendingWork() const {
  return mayAdvance() || (!paused_ && reportOpen_) || (!finished_ && endConditionHolds()) ||
         redrawStatus_;
}

void RunController::idleStep() {
  if (mayAdvance()) {
    cycle_.runYear(team_, params_, rng_, history_, [this] {
      ui_.tickBusy();
      ui_.yieldProcessor();
    });
    if (reportOpen_ && !report_.writeReportBlock(team_, params_.startYear)) reportFailure();
    redrawStatus_ = true;
    if (stepMode_) {
      ui_.refreshPlayerList();
      paused_ = true;
    }
  } else {
    // A run that has come to its end by itself closes its report at once.
    if (!paused_ && reportOpen_) closeReport();
    if (!finished_ && endConditionHolds()) {
      paused_ = true;
      finished_ = true;
      redrawStatus_ = true;
    }
  }
  if (redrawStatus_) {
    ui_.drawStatusPanel();
    redrawStatus_ = false;
  }
}

void RunController::resetRun(const SimParams& params) {
  ui_.resetBusy();
  rng_.randomInit(seedSource_());
  params_ = params;
  team_.installFitString(params_.fitString);
  createTeam(team_, params_.teamSize, rng_);
  history_.allocHistory(params_.maxGen);
  history_.recordHistory(team_);
  if (!ui_.outputToFileChecked()) return;
  if (!report_.openReport()) {
    ui_.showMessage(report_.error());
    return;
  }
  if (!report_.writeReportBlock(team_, params_.startYear)) {
    reportFailure();
    return;
  }
  reportOpen_ = true;
}

void RunController::closeReport() {
  if (report_.isOpen() && !report_.closeReport()) ui_.showMessage(report_.error());
  reportOpen_ = false;
}

void RunController::reportFailure() {
  // The first failure is shown; the rest of the run goes on without a report.
  ui_.showMessage(report_.error());
  report_.closeReport();
  reportOpen_ = false;
}

void RunController::endRun() {
  team_.releasePlayers();
  closeReport();
}

void RunController::toggleRun() {
  ui_.refreshPlayerList();
  ui_.drawPlayerDetails();
  if (finished_) return;  // a finished run can only be reset
  if (paused_) {
    ui_.clearPlayerList();  // the list stays empty while the run goes on
    paused_ = false;
  } else {
    paused_ = true;
  }
  stepMode_ = false;
}

void RunController::requestStep() {
  ui_.drawPlayerDetails();
  stepMode_ = true;
  paused_ = false;
}

bool RunController::resetFromFields(bool hideOptions) {
  SimParams params;
  const auto problems = readFieldProblems(params);
  if (!problems.empty()) {
    ui_.showMessage(joinLines(problems));
    return false;
  }
  if (hideOptions) ui_.hideOptionsWindow();
  endRun();
  paused_ = true;
  stepMode_ = false;
  reportOpen_ = false;
  finished_ = false;
  resetRun(params);
  ui_.repaintStatusArea();
  ui_.clearPlayerList();
  ui_.refreshPlayerList();
  ui_.drawPlayerDetails();
  return true;
}

bool RunController::requestReset() { return resetFromFields(false); }

bool RunController::applyOptions() { return resetFromFields(true); }

void RunController::shutdown() {
  if (!paused_) {
    endRun();
    team_.releaseFitString();
    paused_ = true;
  }
  // A paused run's report is closed here too, so that it is complete on disk.
  closeReport();
}

}  // namespace kestravin
