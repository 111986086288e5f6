#include "experiment/plan.h"

#include <cctype>
#include <charconv>
#include <limits>

namespace kestravin {

namespace {

// A whole int32 in decimal with an optional sign, nothing else.
std::optional<std::int32_t> parseNumber(std::string_view text) {
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  std::int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || stop != end) return std::nullopt;
  return value;
}

// 'text', in quotes.
std::string quoted(std::string_view text) {
  std::string q(1, '\'');
  q += text;
  q += '\'';
  return q;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

bool addRange(std::string_view item, std::vector<std::string>& values, std::string& error) {
  const auto parts = split(item, ':');
  std::optional<std::int32_t> bounds[3] = {std::nullopt, std::nullopt, 1};
  if (parts.size() > 3) {
    error = quoted(item) + " is not a range FIRST:LAST[:STEP]";
    return false;
  }
  for (std::size_t k = 0; k < parts.size(); ++k) {
    bounds[k] = parseNumber(parts[k]);
    if (!bounds[k]) {
      error = quoted(parts[k]) + " in " + quoted(item) +
              " is not a whole number (-2147483648..2147483647)";
      return false;
    }
  }
  if (parts.size() == 1) bounds[1] = bounds[0];  // one number
  const std::int64_t first = *bounds[0], last = *bounds[1], step = *bounds[2];
  if (step == 0 || (last - first) / step < 0) {
    error = "the range " + quoted(item) + " is empty" +
            (step == 0 ? " (a step of 0)" : " (its step goes away from its end)");
    return false;
  }
  const std::int64_t count = (last - first) / step + 1;
  if (count + static_cast<std::int64_t>(values.size()) > kMaxSets) {
    error = "the range " + quoted(item) + " has " + std::to_string(count) +
            " values; an experiment has at most " + std::to_string(kMaxSets) + " sets";
    return false;
  }
  for (std::int64_t k = 0; k < count; ++k) values.push_back(std::to_string(first + k * step));
  return true;
}

}  // namespace

std::optional<Variation> parseVariation(std::string_view text, std::string& error) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    error = "--vary needs NAME=VALUES, not " + quoted(text);
    return std::nullopt;
  }
  const std::string_view name = text.substr(0, equals);
  Variation vary;
  vary.param = -1;
  for (int k = 0; k <= kFitStringParam; ++k) {
    if (kParamNames[k] == name) vary.param = k;
  }
  if (vary.param < 0) {
    std::string known;
    for (const auto& n : kParamNames) known += (known.empty() ? "" : ", ") + std::string(n);
    error = "--vary: unknown parameter " + quoted(name) + " (known: " + known + ")";
    return std::nullopt;
  }
  const std::string_view list = text.substr(equals + 1);
  if (list.empty()) {
    error = "--vary " + std::string(name) + ": no values";
    return std::nullopt;
  }
  for (const std::string_view item : split(list, ',')) {
    if (item.empty()) {
      error = "--vary " + std::string(name) + ": an empty value in " + quoted(list);
      return std::nullopt;
    }
    if (vary.param == kFitStringParam) {
      // A constants file holds the fitness string as one word.
      for (char c : item) {
        if (std::isspace(static_cast<unsigned char>(c)) != 0) {
          error = "--vary fitString: " + quoted(item) + " holds white space";
          return std::nullopt;
        }
      }
      if (static_cast<std::int64_t>(vary.values.size()) >= kMaxSets) {
        error = "--vary fitString: more than " + std::to_string(kMaxSets) + " values";
        return std::nullopt;
      }
      vary.values.emplace_back(item);
      continue;
    }
    if (!addRange(item, vary.values, error)) {
      error = "--vary " + std::string(name) + ": " + error;
      return std::nullopt;
    }
  }
  return vary;
}

std::string paramText(const SimParams& params, int param) {
  if (param == kFitStringParam) return params.fitString;
  return std::to_string(params.*kIntParams[param].field);
}

namespace {

void setParam(SimParams& params, int param, const std::string& value) {
  if (param == kFitStringParam) {
    params.fitString = value;
  } else {
    params.*kIntParams[param].field = parseNumber(value).value_or(0);
  }
}

}  // namespace

std::vector<ParamSet> makeSets(const SimParams& base, const std::vector<Variation>& vary) {
  std::vector<ParamSet> sets = {{base, {}}};
  for (const Variation& v : vary) {
    std::vector<ParamSet> next;
    next.reserve(sets.size() * v.values.size());
    for (const ParamSet& set : sets) {
      for (const std::string& value : v.values) {
        ParamSet made = set;
        setParam(made.params, v.param, value);
        made.varied.push_back(value);
        next.push_back(std::move(made));
      }
    }
    sets = std::move(next);
  }
  return sets;
}

std::string describeSet(const std::vector<Variation>& vary, const ParamSet& set) {
  std::string text;
  for (std::size_t k = 0; k < vary.size() && k < set.varied.size(); ++k) {
    if (!text.empty()) text += ' ';
    text += std::string(kParamNames[vary[k].param]) + "=" + set.varied[k];
  }
  return text;
}

std::vector<std::string> findSetProblems(const std::vector<Variation>& vary,
                                         const std::vector<ParamSet>& sets) {
  std::vector<std::string> lines;
  for (std::size_t s = 0; s < sets.size(); ++s) {
    const std::vector<std::string> problems = checkParams(sets[s].params);
    if (problems.empty()) continue;
    std::string where = "set " + std::to_string(s);
    const std::string described = describeSet(vary, sets[s]);
    if (!described.empty()) where += " (" + described + ")";
    for (const std::string& problem : problems) lines.push_back(where + ": " + problem);
  }
  return lines;
}

}  // namespace kestravin
