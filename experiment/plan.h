#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/parameters.h"

namespace kestravin {

/// The names by which an experiment varies parameters, in the constants file's order; the
/// last is the fitness string.
inline constexpr std::array<std::string_view, kIntParamCount + 1> kParamNames = {
    "mutation",    "mutationDiv", "teamSize",    "ageStart",    "ageDeath",
    "ageDeathDiv", "fitDeath",    "fitDeathDiv", "birthChance", "birthChanceDiv",
    "maxGen",      "startYear",   "maxPop",      "fitString"};
inline constexpr int kFitStringParam = kIntParamCount;

/// Most parameter sets one experiment may have, and most runs in all.
inline constexpr std::int64_t kMaxSets = 1000;
inline constexpr std::int64_t kMaxRuns = 10'000'000;

/// One parameter taking several values: numbers in decimal, or fitness strings.
struct Variation {
  int param = 0;  // index into kParamNames
  std::vector<std::string> values;
};

/// Reads "NAME=VALUES": a comma-separated list whose items are numbers or, for the integer
/// parameters, ranges FIRST:LAST[:STEP] (LAST included; STEP 1 by default, negative to count
/// down). nullopt with a one-line error for an unknown name, a malformed item or an empty or
/// over-long list.
std::optional<Variation> parseVariation(std::string_view text, std::string& error);

/// A parameter's value as text.
std::string paramText(const SimParams& params, int param);

/// One parameter set: the base with the varied values in place.
struct ParamSet {
  SimParams params;
  std::vector<std::string> varied;  // the varied values, in the order of the variations
};

/// The product of the variations over the base parameters; the first variation changes
/// slowest. One set (the base) when nothing varies. Variations must name distinct parameters
/// and the product must not exceed kMaxSets.
std::vector<ParamSet> makeSets(const SimParams& base, const std::vector<Variation>& vary);

/// "mutation=10 maxPop=500" for a set; empty when nothing varies.
std::string describeSet(const std::vector<Variation>& vary, const ParamSet& set);

/// Every value of every set that a run cannot use, one line each, naming the set.
std::vector<std::string> findSetProblems(const std::vector<Variation>& vary,
                                         const std::vector<ParamSet>& sets);

/// An experiment: its parameter sets and how many runs each gets. Run k (from 0) belongs to
/// set k / runsPerSet and is seeded with seed + k modulo 2^32.
struct Plan {
  std::vector<ParamSet> sets;
  std::int64_t runsPerSet = 0;
  std::uint32_t seed = 0;

  std::int64_t totalRuns() const { return static_cast<std::int64_t>(sets.size()) * runsPerSet; }
  int setOf(std::int64_t run) const { return static_cast<int>(run / runsPerSet); }
  std::uint32_t seedOf(std::int64_t run) const {
    return static_cast<std::uint32_t>(seed + static_cast<std::uint64_t>(run));
  }
};

}  // namespace kestravin
