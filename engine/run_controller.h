#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config/parameters.h"
#include "engine/history.h"
#include "engine/random.h"
#include "engine/run_ui.h"
#include "engine/team.h"
#include "engine/yearly_cycle.h"

namespace kestravin {

class ReportWriter;

/// How a finished run ended, tested in this order.
enum class RunEnd { kNone, kTimeLimit, kEfficientPlayer, kExtinct };

/// The end that the team shows, by the first test that holds: the year limit, a perfect
/// player, an empty population.
RunEnd runEnd(const Team& team, std::int32_t maxGen);
/// The message of an end ("***TIME LIMIT REACHED***", ...); empty for kNone.
std::string_view endMessage(RunEnd end);

/// Owns the current run (team, parameters, history, generator) and decides when it advances:
/// one year per idleStep while it is not paused. Talks to the user interface only through
/// RunUi and writes reports through the ReportWriter.
class RunController {
 public:
  using SeedSource = std::function<std::uint32_t()>;

  /// The seed source is called once per reset; by default the time of day in seconds.
  RunController(RunUi& ui, ReportWriter& report, SeedSource seedSource = {});

  /// Prepares the first run at start-up from the option fields. Values that fail the checks
  /// are reported in one message, replaced by the nearest valid ones and written back into
  /// the fields.
  void prepareFirstRun();
  /// Called by the main loop on every pass: simulates a year when the run may advance,
  /// announces an end, redraws the status panel when asked to.
  void idleStep();
  /// Starts a new paused run from checked parameters.
  void resetRun(const SimParams& params);
  /// Releases the team and closes the report.
  void endRun();

  /// Start/Stop.
  void toggleRun();
  /// Step: the next idleStep simulates one year and pauses again.
  void requestStep();
  /// Reset. Refused (false, one message, nothing changed) when the fields fail the checks.
  bool requestReset();
  /// Ok in the options window. Refused as requestReset, leaving the window open.
  bool applyOptions();
  /// The main window is being destroyed: ends a running run and closes any report.
  void shutdown();
  /// Releases the history arrays, at shutdown.
  void releaseHistory() { history_.freeHistory(); }
  /// The main window was painted: the status panel is drawn at the next idleStep.
  void requestStatusRedraw() { redrawStatus_ = true; }

  /// The parameters in the fields, with every problem they have; empty when usable.
  std::vector<std::string> readFieldProblems(SimParams& params);

  /// Whether idleStep has anything to do now (a year to simulate, a report to close, an end
  /// to announce, a redraw); when not, a main loop may wait for the next event.
  bool hasPendingWork() const;
  /// Whether the run may advance by a year.
  bool mayAdvance() const;

  const Team& team() const { return team_; }
  const SimParams& params() const { return params_; }
  const History& history() const { return history_; }
  bool paused() const { return paused_; }
  bool finished() const { return finished_; }
  bool stepMode() const { return stepMode_; }
  bool redrawStatus() const { return redrawStatus_; }
  bool reportOpen() const { return reportOpen_; }

 private:
  bool resetFromFields(bool hideOptions);
  void closeReport();
  void reportFailure();
  bool endConditionHolds() const;

  RunUi& ui_;
  ReportWriter& report_;
  SeedSource seedSource_;
  SimParams params_;
  Team team_;
  History history_;
  Random rng_;
  YearlyCycle cycle_;
  bool paused_ = true;
  bool finished_ = false;
  bool stepMode_ = false;
  bool redrawStatus_ = true;
  bool reportOpen_ = false;
};

/// Joins problem lines into one message text.
std::string joinLines(const std::vector<std::string>& lines);

}  // namespace kestravin
