#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestravin {

/// The thirteen integer parameters and the fitness string that govern a run.
struct SimParams {
  std::int32_t mutation = 0;        // a birth mutates when a draw over mutationDiv is below this
  std::int32_t mutationDiv = 0;     // range of that draw
  std::int32_t teamSize = 0;        // founders created at each reset
  std::int32_t ageStart = 0;        // a player can die of age only when older than this
  std::int32_t ageDeath = 0;        // scale of the age-death threshold
  std::int32_t ageDeathDiv = 0;     // range of the age-death draw
  std::int32_t fitDeath = 0;        // scale of the fitness-death threshold
  std::int32_t fitDeathDiv = 0;     // range of the fitness-death draw
  std::int32_t birthChance = 0;     // scale of the birth threshold
  std::int32_t birthChanceDiv = 0;  // range of the birth draw
  std::int32_t maxGen = 0;          // years a run lasts; sizes the history
  std::int32_t startYear = 0;       // added to the year counter wherever a year is shown
  std::int32_t maxPop = 0;          // a breeding pass takes place only below this population
  std::string fitString;            // the target chromosome

  bool operator==(const SimParams&) const = default;
};

inline constexpr int kIntParamCount = 13;

/// One integer parameter: where it lives, how the user knows it, and the values it may take.
struct IntParamInfo {
  std::int32_t SimParams::*field;
  std::string_view label;      // in the constants file's messages, second fields with "Div"
  std::string_view fieldName;  // as the options window shows its field: "Mutation, second field"
  std::int32_t min;
  std::int32_t max;
  bool onlyWithTeam;  // the limits apply only when the team is not empty
};

/// The integer parameters in the order of the constants file and of the option fields.
extern const std::array<IntParamInfo, kIntParamCount> kIntParams;

inline constexpr std::string_view kFitStringLabel = "FitString:";
inline constexpr std::size_t kMinFitStringLength = 1;
inline constexpr std::size_t kMaxFitStringLength = 255;

/// The values used when no constants file can be read.
SimParams defaultParams();
inline constexpr std::string_view kDefaultFitString = "00000000000000000000";

/// One value that a run cannot use.
struct ParamProblem {
  int param;         // index into kIntParams, or kIntParamCount for the fitness string
  std::string text;  // "Max Gen: 2000000 is outside 0..1000000"
};

/// Checks a set of parameters; returns every problem, none when the set is usable.
std::vector<ParamProblem> findProblems(const SimParams& params);

/// The same problems, each named as the options window shows its field, with the values the
/// field can take ("Max Pop: 1000001 is more than 1000000").
std::vector<ParamProblem> findFieldProblems(const SimParams& params);

/// The most characters a parameter's value can need in its field ("-1000000000": 11).
std::size_t fieldChars(const IntParamInfo& info);

/// The same as readable lines.
std::vector<std::string> checkParams(const SimParams& params);

/// Replaces every value that checkParams refuses by the nearest valid one.
SimParams clampParams(SimParams params);

}  // namespace kestravin
