#include "control/run_controller.h"

#include <ctime>
#include <new>
#include <string>

#include "report/report_writer.h"

namespace kestravin {

namespace {

std::uint32_t clockSeed() {
  return static_cast<std::uint32_t>(std::time(nullptr));
}

}  // namespace

RunController::RunController(RunUi& ui, ReportWriter& report, SeedSource seedSource)
    : ui_(ui), report_(report), seedSource_(seedSource ? std::move(seedSource) : clockSeed) {}

void RunController::prepareFirstRun() {
  const auto setup = ui_.readOptionFields();
  if (!setup) return;
  const std::string problem = resetRun(*setup, seedSource_());
  if (!problem.empty()) ui_.showMessage(problem);
}

bool RunController::mayAdvance() const {
  return run_ && !paused_ && run_->end() == RunEnd::kNone;
}

bool RunController::hasPendingWork() const {
  const bool ended = run_ && run_->end() != RunEnd::kNone;
  return mayAdvance() || (!paused_ && reportOpen_) || (!finished_ && ended) || redrawStatus_;
}

void RunController::idleStep() {
  if (mayAdvance()) {
    run_->advance([this] {
      ui_.tickBusy();
      ui_.yieldProcessor();
    });
    if (run_->end() == RunEnd::kOutOfMemory) {
      // The run stands at its last whole year, whose block the report already holds.
      ui_.showMessage("Out of memory at year " + std::to_string(run_->shownYear()) + " (team of " +
                      std::to_string(run_->stats().population) + " players): the run ends here.");
    } else if (reportOpen_) {
      const std::uint64_t before = report_.size();
      if (!report_.writeReportBlock(run_->team(), run_->params().startYear)) {
        reportFailure();
      } else if (reportLimit_ != 0 && report_.size() > reportAllowed_) {
        // The block stays written until the user answers; an ending report loses it.
        cutAt_ = before;
        resumeAfterAnswer_ = !stepMode_;
        paused_ = true;
        if (resumeAfterAnswer_) ui_.refreshPlayerList();  // as a stopped run shows its players
        ui_.askReportLimit(report_.name(), reportAllowed_);
      }
    }
    redrawStatus_ = true;
    if (stepMode_) {
      ui_.refreshPlayerList();
      paused_ = true;
    }
  } else {
    // A run that has come to its end by itself closes its report at once.
    if (!paused_ && reportOpen_) closeReport();
    if (!finished_ && run_ && run_->end() != RunEnd::kNone) {
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

std::string RunController::resetRun(const RunSetup& setup, std::uint32_t seed) {
  ui_.resetBusy();
  try {
    run_.emplace(setup.params, seed);
  } catch (const std::bad_alloc&) {
    return "Out of memory: a team of " + std::to_string(setup.params.teamSize) +
           " players does not fit. Choose a smaller team.";
  }
  if (!setup.writeReport) return {};
  if (!report_.openReport()) return report_.error();
  if (!report_.writeReportBlock(run_->team(), run_->params().startYear)) {
    std::string error = report_.error();
    report_.closeReport();
    return error;
  }
  reportOpen_ = true;
  reportAllowed_ = reportLimit_;
  return {};
}

void RunController::answerReportLimit(bool goOn) {
  if (!cutAt_) return;
  const std::uint64_t cut = *cutAt_;
  cutAt_.reset();
  if (!reportOpen_) return;
  if (goOn) {
    reportAllowed_ = report_.size() + reportLimit_;
    if (!resumeAfterAnswer_ || !paused_ || !run_) return;
    if (run_->end() == RunEnd::kNone) {
      ui_.clearPlayerList();  // the list stays empty while the run goes on
      paused_ = false;
    } else {
      closeReport();  // the year asked about was the run's last: its report is complete
    }
    return;
  }
  if (!report_.cutTo(cut)) ui_.showMessage(report_.error());
  closeReport();
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
  run_.reset();
  cutAt_.reset();
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

bool RunController::resetFromFields(bool hideOptions, std::optional<std::uint32_t> seed) {
  // The fields are read before anything changes, so that a refused reset changes nothing.
  const auto setup = ui_.readOptionFields();
  if (!setup) return false;
  if (hideOptions) ui_.hideOptionsWindow();
  endRun();
  paused_ = true;
  stepMode_ = false;
  reportOpen_ = false;
  finished_ = false;
  const std::string problem = resetRun(*setup, seed ? *seed : seedSource_());
  ui_.repaintStatusArea();
  ui_.clearPlayerList();
  ui_.refreshPlayerList();
  ui_.drawPlayerDetails();
  // Told once the windows show the new run, so that nothing stale stands behind the message.
  if (!problem.empty()) ui_.showMessage(problem);
  return true;
}

bool RunController::requestReset(std::optional<std::uint32_t> seed) {
  return resetFromFields(false, seed);
}

bool RunController::applyOptions() {
  return resetFromFields(true, std::nullopt);
}

void RunController::shutdown() {
  if (!paused_) {
    endRun();
    paused_ = true;
  }
  // A paused run's report is closed here too, so that it is complete on disk.
  closeReport();
  run_.reset();
}

}  // namespace kestravin
