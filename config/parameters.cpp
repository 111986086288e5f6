#include "config/parameters.h"

#include <algorithm>
#include <limits>

namespace kestravin {

namespace {

constexpr std::int32_t kAny = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kAnyMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMaxDivisor = 65535;
constexpr std::int32_t kMaxPlayers = 1'000'000;
constexpr std::int32_t kMaxYears = 1'000'000;
constexpr std::int32_t kMaxStartYear = 1'000'000'000;

bool applies(const IntParamInfo& info, const SimParams& params) {
  return !info.onlyWithTeam || params.teamSize > 0;
}

}  // namespace

// Divisors reach the generator, whose ranges are 1..65535; maxGen and teamSize size memory;
// maxPop bounds the population (it grows past it by at most one breeding pass); startYear
// keeps every displayed year within 32 bits.
const std::array<IntParamInfo, kIntParamCount> kIntParams = {{
    {&SimParams::mutation, "Mutation:", "Mutation", kAny, kAnyMax, false},
    {&SimParams::mutationDiv, "Mutation Div:", "Mutation, second field", 1, kMaxDivisor, true},
    {&SimParams::teamSize, "Team Size:", "Team Size", 0, kMaxPlayers, false},
    {&SimParams::ageStart, "Age Start:", "Age Start", kAny, kAnyMax, false},
    {&SimParams::ageDeath, "Age Death:", "Age Death", kAny, kAnyMax, false},
    {&SimParams::ageDeathDiv, "Age Death Div:", "Age Death, second field", 1, kMaxDivisor, true},
    {&SimParams::fitDeath, "Fit Death:", "Fit Death", kAny, kAnyMax, false},
    {&SimParams::fitDeathDiv, "Fit Death Div:", "Fit Death, second field", 1, kMaxDivisor, true},
    {&SimParams::birthChance, "Birth Chance:", "Birth Chance", kAny, kAnyMax, false},
    {&SimParams::birthChanceDiv, "Birth Chance Div:", "Birth Chance, second field", 1, kMaxDivisor,
     true},
    {&SimParams::maxGen, "Max Gen:", "Max Gen", 0, kMaxYears, false},
    {&SimParams::startYear, "Start Year:", "Start Year", -kMaxStartYear, kMaxStartYear, false},
    {&SimParams::maxPop, "Max Pop:", "Max Pop", kAny, kMaxPlayers, false},
}};

SimParams defaultParams() {
  SimParams params;
  params.startYear = 888;
  params.fitString = std::string(kDefaultFitString);
  return params;
}

namespace {

enum class Naming { kFile, kField };

// A value outside its limits, in the words of the constants file's messages or of the
// options window's.
std::string rangeProblem(const IntParamInfo& info, std::int32_t value, Naming naming) {
  const std::string v = std::to_string(value);
  if (naming == Naming::kFile) {
    std::string line = std::string(info.label) + " " + v + " is outside ";
    line += info.min == kAny ? "..." + std::to_string(info.max)
                             : std::to_string(info.min) + ".." + std::to_string(info.max);
    return line;
  }
  const std::string name = std::string(info.fieldName) + ": " + v;
  if (info.min == kAny) return name + " is more than " + std::to_string(info.max);
  if (info.max == kAnyMax) return name + " is less than " + std::to_string(info.min);
  return name + " is outside " + std::to_string(info.min) + ".." + std::to_string(info.max);
}

std::vector<ParamProblem> problemsOf(const SimParams& params, Naming naming) {
  std::vector<ParamProblem> problems;
  for (int k = 0; k < kIntParamCount; ++k) {
    const auto& info = kIntParams[k];
    const std::int32_t value = params.*info.field;
    if (!applies(info, params) || (value >= info.min && value <= info.max)) continue;
    std::string line = rangeProblem(info, value, naming);
    if (info.onlyWithTeam) line += " (needed while the team is not empty)";
    problems.push_back({k, std::move(line)});
  }
  const std::size_t length = params.fitString.size();
  if (length < kMinFitStringLength || length > kMaxFitStringLength) {
    problems.push_back({kIntParamCount, std::string(kFitStringLabel) + " " +
                                            std::to_string(length) + " characters is outside " +
                                            std::to_string(kMinFitStringLength) + ".." +
                                            std::to_string(kMaxFitStringLength) + " characters"});
  }
  return problems;
}

}  // namespace

std::vector<ParamProblem> findProblems(const SimParams& params) {
  return problemsOf(params, Naming::kFile);
}

std::vector<ParamProblem> findFieldProblems(const SimParams& params) {
  return problemsOf(params, Naming::kField);
}

std::size_t fieldChars(const IntParamInfo& info) {
  return std::max(std::to_string(info.min).size(), std::to_string(info.max).size());
}

std::vector<std::string> checkParams(const SimParams& params) {
  std::vector<std::string> lines;
  for (auto& problem : findProblems(params)) lines.push_back(std::move(problem.text));
  return lines;
}

SimParams clampParams(SimParams params) {
  // Clamping keeps teamSize positive or not, so the divisor limits apply as they did.
  for (const auto& info : kIntParams) {
    if (!applies(info, params)) continue;
    auto& value = params.*info.field;
    value = std::clamp(value, info.min, info.max);
  }
  if (params.fitString.size() > kMaxFitStringLength) params.fitString.resize(kMaxFitStringLength);
  if (params.fitString.empty()) params.fitString = std::string(kDefaultFitString);
  return params;
}

}  // namespace kestravin
