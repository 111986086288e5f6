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

/// Converts a number field's whole text: leading white space, an optional sign, then the
/// digits up to the first other character; text without digits is 0. A value that does not
/// fit 32 bits gives nullopt.
std::optional<std::int32_t> parseFieldNumber(std::string_view text);

/// The parameters as the fields show them ("%d" for each number, the fitness string as is).
OptionFields paramsToFields(const SimParams& params);

/// The parameters read back from the fields, with a problem for every number that does not
/// fit 32 bits (that parameter is then 0).
struct FieldReading {
  SimParams params;
  std::vector<ParamProblem> problems;
};
FieldReading fieldsToParams(const OptionFields& fields);

/// The parameters the fields hold, with every problem that keeps them from being used: the
/// numbers that do not fit 32 bits, then the values findProblems refuses (a number that was
/// not read is not reported again for the 0 it became).
FieldReading readFields(const OptionFields& fields);

}  // namespace kestravin
