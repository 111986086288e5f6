#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "config/parameters.h"

namespace kestravin {

/// What a reset starts from: checked parameters, and whether the run writes a report.
struct RunSetup {
  SimParams params;
  bool writeReport = false;
};

/// What the run controller asks of the user interface: the notifications of a run's
/// windows, and the parameters in the options window. The desktop program implements it
/// with its windows, the tests with a recorder.
class RunUi {
 public:
  virtual ~RunUi() = default;

  /// Redraws the status panel from the current run.
  virtual void drawStatusPanel() = 0;
  /// Advances the busy indicator by one step and draws it.
  virtual void tickBusy() = 0;
  /// Puts the busy indicator back to its first step, without drawing.
  virtual void resetBusy() = 0;
  /// Rebuilds the player list from the current team.
  virtual void refreshPlayerList() = 0;
  /// Empties the player list.
  virtual void clearPlayerList() = 0;
  /// Draws the details of the selected player, or an empty panel.
  virtual void drawPlayerDetails() = 0;
  /// The parameters in the option fields and the state of "Output to File"; nullopt when
  /// the fields cannot be used, after telling the user why.
  virtual std::optional<RunSetup> readOptionFields() = 0;
  /// Hides the options window.
  virtual void hideOptionsWindow() = 0;
  /// Erases the status area and has it repainted, which asks for a status redraw.
  virtual void repaintStatusArea() = 0;
  /// Shows a problem to the user (a modal box with the caption "Error!!!").
  virtual void showMessage(const std::string& text) = 0;
  /// Gives the rest of the processor time slice to other programs, between phases of a year.
  virtual void yieldProcessor() {}
  /// The report `name` would grow past `allowed` bytes with the year just simulated: asks the
  /// user whether it goes on, whose answer then goes to RunController::answerReportLimit (at
  /// once, or later).
  virtual void askReportLimit(const std::string& name, std::uint64_t allowed) {
    (void)name;
    (void)allowed;
  }
};

}  // namespace kestravin
