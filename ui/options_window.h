#pragma once

#include <array>

#include "config/option_fields.h"
#include "ui/platform/platform.h"

namespace kestravin::ui {

/// Control ids of the options window.
inline constexpr int kOkId = 120;
inline constexpr int kCancelId = 121;
inline constexpr int kOutputToFileId = 102;

/// Draws the ten labels of the options window, blue on its black background.
void drawOptionLabels(platform::Surface& surface);

/// The controls of the options window: the fitness-string field, the thirteen number fields,
/// "Output to File" and the two buttons, created in their fixed order.
class OptionControls {
 public:
  /// Creates the controls on `window`.
  explicit OptionControls(platform::Window& window);

  /// The field texts as they stand (the number fields in the order of kIntParams).
  OptionFields read() const;
  /// Puts texts into the fields, in the options window's own order.
  void write(const OptionFields& fields);
  bool outputToFile() const { return outputToFile_->checked(); }

  /// Every control, to be given the program's font.
  void setFont(const platform::Font& font);

  platform::EditField& fitStringField() { return *fitString_; }
  platform::EditField& numberField(std::size_t param) { return *numbers_[param]; }
  platform::CheckBox& outputToFileBox() { return *outputToFile_; }
  platform::Button& okButton() { return *ok_; }
  platform::Button& cancelButton() { return *cancel_; }

 private:
  platform::Button* ok_;
  platform::Button* cancel_;
  platform::EditField* fitString_;
  std::array<platform::EditField*, kIntParamCount> numbers_{};
  platform::CheckBox* outputToFile_;
};

}  // namespace kestravin::ui
