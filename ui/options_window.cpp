#include "ui/options_window.h"

#include <string_view>

namespace kestravin::ui {

namespace {

using platform::Rect;

struct Label {
  std::string_view text;
  int y;
};

constexpr Label kLabels[] = {
    {"FitString:", 0},    {"Mutation:", 20},   {"Team Size:", 40},     {"Age Start:", 60},
    {"Age Death:", 80},   {"Fit Death:", 100}, {"Birth Chance:", 120}, {"Max Gen:", 140},
    {"Start Year:", 160}, {"Max Pop:", 180},
};

struct NumberField {
  int x;
  int y;
  int id;
};

// In the order of kIntParams: mutation, mutationDiv, teamSize, ageStart, ageDeath,
// ageDeathDiv, fitDeath, fitDeathDiv, birthChance, birthChanceDiv, maxGen, startYear, maxPop.
constexpr NumberField kNumberFields[kIntParamCount] = {
    {125, 20, 136},  {185, 20, 135},  {125, 40, 139},  {125, 60, 132},  {125, 80, 131},
    {185, 80, 141},  {125, 100, 133}, {185, 100, 140}, {125, 120, 137}, {185, 120, 142},
    {125, 140, 138}, {125, 160, 134}, {125, 180, 134},
};

// writeOptionFields fills them in yet another order; the fitness string comes after maxGen.
constexpr int kFitStringSlot = -1;
constexpr int kWriteOrder[] = {0, 1, 2, 3, 4, 6, 8, 5, 7, 9, 10, kFitStringSlot, 11, 12};

constexpr int kFieldWidth = 55;
constexpr int kFieldHeight = 17;

}  // namespace

void drawOptionLabels(platform::Surface& surface) {
  surface.setTextColor(platform::kBlue);
  for (const Label& label : kLabels) surface.drawText({0, label.y}, label.text);
}

OptionControls::OptionControls(platform::Window& window) {
  ok_ = &window.addButton("Ok", Rect{285, 160, 75, 25}, kOkId);
  cancel_ = &window.addButton("Cancel", Rect{285, 190, 75, 25}, kCancelId);
  // Each field takes as many characters as the values it stands for can need.
  fitString_ = &window.addEditField(
      {Rect{125, 0, 250, kFieldHeight}, 130, false, static_cast<int>(kMaxFitStringLength)});
  for (std::size_t param = 0; param < kIntParamCount; ++param) {
    const NumberField& f = kNumberFields[param];
    numbers_[param] = &window.addEditField({Rect{f.x, f.y, kFieldWidth, kFieldHeight}, f.id, true,
                                            static_cast<int>(fieldChars(kIntParams[param]))});
  }
  outputToFile_ = &window.addCheckBox("Output to File", Rect{250, 40, 115, 17}, kOutputToFileId);
}

OptionFields OptionControls::read() const {
  OptionFields fields;
  fields.fitString = fitString_->text();
  for (std::size_t k = 0; k < kIntParamCount; ++k) fields.numbers[k] = numbers_[k]->text();
  return fields;
}

void OptionControls::write(const OptionFields& fields) {
  for (int slot : kWriteOrder) {
    if (slot == kFitStringSlot) {
      fitString_->setText(fields.fitString);
    } else {
      const auto k = static_cast<std::size_t>(slot);
      numbers_[k]->setText(fields.numbers[k]);
    }
  }
}

void OptionControls::setFont(const platform::Font& font) {
  for (auto* field : numbers_) field->setFont(font);
  fitString_->setFont(font);
  ok_->setFont(font);
  cancel_->setFont(font);
  outputToFile_->setFont(font);
}

}  // namespace kestravin::ui
