#include "config/option_fields.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace kestravin {

FieldNumber parseFieldNumber(std::string_view text) {
  const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  if (text.empty()) return {FieldNumber::Kind::kEmpty};
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return {FieldNumber::Kind::kNotANumber};
  std::int64_t magnitude = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  bool tooLarge = false;
  for (char c : text) {
    if (c < '0' || c > '9') return {FieldNumber::Kind::kNotANumber};
    if (!tooLarge) magnitude = magnitude * 10 + (c - '0');
    tooLarge = tooLarge || magnitude > kLimit;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (tooLarge || value > std::numeric_limits<std::int32_t>::max()) {
    return {FieldNumber::Kind::kTooLarge};
  }
  return {FieldNumber::Kind::kNumber, static_cast<std::int32_t>(value)};
}

OptionFields paramsToFields(const SimParams& params) {
  OptionFields fields;
  fields.fitString = params.fitString;
  for (int k = 0; k < kIntParamCount; ++k) {
    fields.numbers[k] = std::to_string(params.*kIntParams[k].field);
  }
  return fields;
}

FieldReading fieldsToParams(const OptionFields& fields) {
  FieldReading reading;
  SimParams& params = reading.params;
  params.fitString =
      fields.fitString.empty() ? std::string(kEmptyFieldFitString) : fields.fitString;
  for (int k = 0; k < kIntParamCount; ++k) {
    const FieldNumber number = parseFieldNumber(fields.numbers[k]);
    params.*kIntParams[k].field = number.value;
    const std::string name(kIntParams[k].fieldName);
    switch (number.kind) {
      case FieldNumber::Kind::kNumber:
        break;
      case FieldNumber::Kind::kEmpty:
        reading.problems.push_back({k, name + ": empty"});
        break;
      case FieldNumber::Kind::kNotANumber:
        reading.problems.push_back({k, name + ": not a number"});
        break;
      case FieldNumber::Kind::kTooLarge:
        reading.problems.push_back(
            {k, name + ": " + fields.numbers[k] + " is outside " +
                    std::to_string(std::numeric_limits<std::int32_t>::min()) + ".." +
                    std::to_string(std::numeric_limits<std::int32_t>::max())});
        break;
    }
  }
  return reading;
}

FieldReading readFields(const OptionFields& fields) {
  FieldReading reading = fieldsToParams(fields);
  const std::size_t unread = reading.problems.size();
  for (auto& problem : findFieldProblems(reading.params)) {
    const auto begin = reading.problems.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(unread);
    const bool reported =
        std::any_of(begin, end, [&](const ParamProblem& p) { return p.param == problem.param; });
    if (!reported) reading.problems.push_back(std::move(problem));
  }
  return reading;
}

}  // namespace kestravin
