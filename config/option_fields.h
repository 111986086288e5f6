#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/parameters.h"

namespace kestravin {

/// The texts of the option fields: the working copy of the parameters between resets.
struct OptionFields {
  std::string fitString;
  std::array<std::string, kIntParamCount> numbers;  // in the order of kIntParams

  bool operator==(const OptionFields&) const = default;
};

/// The fitness string installed when its field is empty (ten characters).
inline constexpr std::string_view kEmptyFieldFitString = "HelloWorld";

/// What a number field's text holds: white space around an optional sign and digits.
struct FieldNumber {
  enum class Kind { kNumber, kEmpty, kNotANumber, kTooLarge };
  Kind kind = Kind::kEmpty;
  std::int32_t value = 0;  // for kNumber
  bool operator==(const FieldNumber&) const = default;
};
FieldNumber parseFieldNumber(std::string_view text);

/// The parameters as the fields show them ("%d" for each number, the fitness string as is).
OptionFields paramsToFields(const SimParams& params);

/// The parameters read back from the fields, with a problem for every field that is empty,
/// not a number or beyond 32 bits (that parameter is then 0), named as the window shows it.
struct FieldReading {
  SimParams params;
  std::vector<ParamProblem> problems;
};
FieldReading fieldsToParams(const OptionFields& fields);

/// The parameters the fields hold, with every problem that keeps them from being used: the
/// fields that hold no usable number, then the values findFieldProblems refuses (a field that
/// was not read is not reported again for the 0 it became).
FieldReading readFields(const OptionFields& fields);

}  // namespace kestravin
