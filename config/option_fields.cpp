#include "config/option_fields.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace kestravin {

std::optional<std::int32_t> parseFieldNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t magnitude = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kLimit) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
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
    const auto value = parseFieldNumber(fields.numbers[k]);
    params.*kIntParams[k].field = value.value_or(0);
    if (!value) {
      reading.problems.push_back({k, std::string(kIntParams[k].label) + " " + fields.numbers[k] +
                                         " is not a whole number of 32 bits"});
    }
  }
  return reading;
}

FieldReading readFields(const OptionFields& fields) {
  FieldReading reading = fieldsToParams(fields);
  const std::size_t unread = reading.problems.size();
  for (auto& problem : findProblems(reading.params)) {
    const auto begin = reading.problems.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(unread);
    const bool reported =
        std::any_of(begin, end, [&](const ParamProblem& p) { return p.param == problem.param; });
    if (!reported) reading.problems.push_back(std::move(problem));
  }
  return reading;
}

}  // namespace kestravin
