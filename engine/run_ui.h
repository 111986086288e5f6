#pragma once

#include <string>

#include "config/option_fields.h"

namespace kestravin {

/// What the run controller asks of the user interface. The desktop program implements it
/// with its windows, the simulator with a headless stand-in, the tests with a recorder.
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
  /// The texts of the option fields.
  virtual OptionFields readOptionFields() = 0;
  /// Puts parameters into the option fields.
  virtual void writeOptionFields(const OptionFields& fields) = 0;
  /// Hides the options window.
  virtual void hideOptionsWindow() = 0;
  /// Erases the status area and has it repainted, which asks for a status redraw.
  virtual void repaintStatusArea() = 0;
  /// Whether "Output to File" is ticked.
  virtual bool outputToFileChecked() = 0;
  /// Shows a problem to the user (a modal box with the caption "Error!!!").
  virtual void showMessage(const std::string& text) = 0;
  /// Gives the rest of the processor time slice to other programs, between phases of a year.
  virtual void yieldProcessor() {}
};

}  // namespace kestravin
