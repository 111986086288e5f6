#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "control/run_ui.h"
#include "engine/simulation.h"

namespace kestravin {

class ReportWriter;

/// Owns the current run and decides when it advances: one year per idleStep while it is not
/// paused. Talks to the user interface only through RunUi and writes reports through the
/// ReportWriter.
class RunController {
 public:
  using SeedSource = std::function<std::uint32_t()>;

  /// The seed source is called once per reset; by default the time of day in seconds.
  RunController(RunUi& ui, ReportWriter& report, SeedSource seedSource = {});

  /// Prepares the first run, at start-up, from the option fields.
  void prepareFirstRun();
  /// Called by the main loop on every pass: simulates a year when the run may advance,
  /// announces an end, redraws the status panel when asked to.
  void idleStep();

  /// Start/Stop.
  void toggleRun();
  /// Step: the next idleStep simulates one year and pauses again.
  void requestStep();
  /// Reset. Refused (false, nothing changed) when the fields cannot be used. With a seed, the
  /// new run takes it instead of one from the seed source (to show a run again).
  bool requestReset(std::optional<std::uint32_t> seed = std::nullopt);
  /// Ok in the options window. Refused as requestReset, leaving the window open.
  bool applyOptions();
  /// The main window is being destroyed: ends a running run, closes any report and
  /// releases the run.
  void shutdown();
  /// Reports ask before they grow past `bytes` (0, the default: never): the run pauses after
  /// the year whose block would pass it, and the user is asked (RunUi::askReportLimit).
  void setReportLimit(std::uint64_t bytes) { reportLimit_ = bytes; }
  std::uint64_t reportLimit() const { return reportLimit_; }
  /// The user's answer: go on writing the report (up to the limit once more) and running as
  /// before; or end it without that year's block, the run staying paused.
  void answerReportLimit(bool goOn);
  /// Whether a report limit's question waits for its answer.
  bool askingReportLimit() const { return cutAt_.has_value(); }
  /// The main window was painted: the status panel is drawn at the next idleStep.
  void requestStatusRedraw() { redrawStatus_ = true; }

  /// Whether idleStep has anything to do now (a year to simulate, a report to close, an end
  /// to announce, a redraw); when not, a main loop may wait for the next event.
  bool hasPendingWork() const;

  /// The current run; nullptr before the first reset and after shutdown.
  const Simulation* run() const { return run_ ? &*run_ : nullptr; }
  bool paused() const { return paused_; }
  bool finished() const { return finished_; }
  bool stepMode() const { return stepMode_; }
  bool redrawStatus() const { return redrawStatus_; }
  bool reportOpen() const { return reportOpen_; }

 private:
  bool mayAdvance() const;
  bool resetFromFields(bool hideOptions, std::optional<std::uint32_t> seed);
  /// Starts a new run; what went wrong (a team that does not fit, a report that cannot be
  /// made), or "" when nothing did.
  std::string resetRun(const RunSetup& setup, std::uint32_t seed);
  void endRun();
  void closeReport();
  void reportFailure();

  RunUi& ui_;
  ReportWriter& report_;
  SeedSource seedSource_;
  std::optional<Simulation> run_;
  bool paused_ = true;
  bool finished_ = false;
  bool stepMode_ = false;
  bool redrawStatus_ = true;
  bool reportOpen_ = false;
  std::uint64_t reportLimit_ = 0;
  std::uint64_t reportAllowed_ = 0;     // the size the open report may reach without asking
  std::optional<std::uint64_t> cutAt_;  // asking: the report's size before the last block
  bool resumeAfterAnswer_ = false;
};

}  // namespace kestravin
