#pragma once

#include <cstdint>
#include <functional>

#include "config/parameters.h"
#include "engine/history.h"
#include "engine/random.h"
#include "engine/team.h"
#include "engine/yearly_cycle.h"

namespace kestravin {

/// How a run stands: going on, or which end it has reached, tested in this order.
enum class RunEnd {
  kNone,             // the run may advance
  kTimeLimit,        // year = maxGen
  kEfficientPlayer,  // a player matches the fitness string
  kExtinct,          // the population is 0
  kIdsUsedUp,        // another year could hand out an id beyond 2^31 - 1
  kOutOfMemory,      // a year could not get its memory
};

/// Whether a year of this team could hand out an id beyond 2^31 - 1, counting nextId too:
/// a breeding pass (only below maxPop) has at most one birth per two players, rounded up.
bool idsRunOut(const TeamStats& stats, std::int32_t nextId, std::int32_t maxPop);

/// One run of the genetic algorithm: its team, history, generator and yearly cycle, made
/// from checked parameters and a seed and advanced one year at a time. Owns all its state,
/// so several can live and run at once, each on one thread.
class Simulation {
 public:
  using Progress = YearlyCycle::Progress;

  /// Starts a run: seeds the generator, installs the fitness string, creates the founders
  /// and records year 0. The parameters must pass findProblems. Throws std::bad_alloc when
  /// the team or its history does not fit in memory.
  Simulation(const SimParams& params, std::uint32_t seed);

  /// Simulates one year; only while end() is kNone. progress is called after each of the
  /// first five phases. When the year's memory cannot be had, the run ends instead
  /// (kOutOfMemory) as the last whole year left it, its players released to give the memory
  /// back; its statistics and history stay.
  void advance(const Progress& progress = {});

  /// How the run stands now.
  RunEnd end() const;

  const SimParams& params() const { return params_; }
  std::uint32_t seed() const { return seed_; }
  const Team& team() const { return team_; }
  const TeamStats& stats() const { return team_.stats; }
  const History& history() const { return history_; }
  /// The year shown to the user: startYear + the years simulated.
  std::int64_t shownYear() const { return std::int64_t{params_.startYear} + team_.stats.year; }

 private:
  SimParams params_;
  std::uint32_t seed_;
  Random rng_;
  Team team_;
  History history_;
  YearlyCycle cycle_;
  bool outOfMemory_ = false;
};

}  // namespace kestravin
