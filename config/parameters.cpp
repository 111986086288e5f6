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
    {&SimParams::mutation, "Mutation:", kAny, kAnyMax, false},
    {&SimParams::mutationDiv, "Mutation Div:", 1, kMaxDivisor, true},
    {&SimParams::teamSize, "Team Size:", 0, kMaxPlayers, false},
    {&SimParams::ageStart, "Age Start:", kAny, kAnyMax, false},
    {&SimParams::ageDeath, "Age Death:", kAny, kAnyMax, false},
    {&SimParams::ageDeathDiv, "Age Death Div:", 1, kMaxDivisor, true},
    {&SimParams::fitDeath, "Fit Death:", kAny, kAnyMax, false},
    {&SimParams::fitDeathDiv, "Fit Death Div:", 1, kMaxDivisor, true},
    {&SimParams::birthChance, "Birth Chance:", kAny, kAnyMax, false},
    {&SimParams::birthChanceDiv, "Birth Chance Div:", 1, kMaxDivisor, true},
    {&SimParams::maxGen, "Max Gen:", 0, kMaxYears, false},
    {&SimParams::startYear, "Start Year:", -kMaxStartYear, kMaxStartYear, false},
    {&SimParams::maxPop, "Max Pop:", kAny, kMaxPlayers, false},
}};

SimParams defaultParams() {
  SimParams params;
  params.startYear = 888;
  params.fitString = std::string(kDefaultFitString);
  return params;
}

std::vector<ParamProblem> findProblems(const SimParams& params) {
  std::vector<ParamProblem> problems;
  for (int k = 0; k < kIntParamCount; ++k) {
    const auto& info = kIntParams[k];
    const std::int32_t value = params.*info.field;
    if (!applies(info, params) || (value >= info.min && value <= info.max)) continue;
    std::string line = std::string(info.label) + " " + std::to_string(value) + " is outside ";
    line += info.min == kAny ? "..." + std::to_string(info.max)
                             : std::to_string(info.min) + ".." + std::to_string(info.max);
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
