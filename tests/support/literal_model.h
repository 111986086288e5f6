#pragma once

// A deliberately plain model of the simulation rules: a singly linked list of individually
// allocated players behind a sentinel, a generator that divides on every draw, three
// statistics passes. It is slow and obvious; the engine's results are checked against it.

#include <cstdint>
#include <string>

namespace literal {

struct Params {
  std::int32_t mutation = 0, mutationDiv = 0, teamSize = 0, ageStart = 0, ageDeath = 0,
               ageDeathDiv = 0, fitDeath = 0, fitDeathDiv = 0, birthChance = 0, birthChanceDiv = 0,
               maxGen = 0, startYear = 0, maxPop = 0;
  std::string fitString;
};

struct Player {
  char* chromosome = nullptr;
  std::int32_t age = 0, bred = 0, dead = 0, lastMutation = 0, fitness = 0;
  Player* next = nullptr;
  std::int32_t id = 0, parent1Id = 0, parent2Id = 0, children = 0;
  float fertility = 0;
};

/// One run of the model: founders at construction, one year per runYear.
class Model {
 public:
  Model(const Params& params, std::uint32_t seed);
  ~Model();
  Model(const Model&) = delete;
  Model& operator=(const Model&) = delete;

  /// Whether the run controller would simulate another year.
  bool mayAdvance() const;
  void runYear();
  /// The report block of the current year.
  std::string reportBlock() const;
  /// Report blocks from year 0 to the end of the run.
  static std::string wholeReport(const Params& params, std::uint32_t seed);

  std::int32_t year() const { return year_; }
  std::int32_t population() const { return population_; }
  std::int32_t maxFitness() const { return maxFitness_; }
  const Player* first() const { return head_->next; }

 private:
  std::uint32_t next16();
  std::uint32_t below(std::uint32_t n);
  bool chance(std::int32_t divisor, std::int32_t threshold);
  static std::int32_t threshold(double x);
  void fitness(Player* p) const;
  Player* newPlayer();
  void append(Player* p);
  void stats();

  Params params_;
  std::uint32_t table_[250] = {};
  int index_ = 0;
  Player* head_ = nullptr;
  Player* tail_ = nullptr;  // the last record, so that appending does not walk the list
  std::int32_t nextId_ = 1, chromoLength_ = 0, geneMin_ = 0, geneMax_ = 0, geneRange_ = 0,
               targetFitness_ = 0;
  std::int32_t maxFitness_ = 0, bestId_ = 0, bestMaxFitness_ = 0, minFitness_ = 0, worstId_ = 0,
               population_ = 0, highestPop_ = 0, lowestPop_ = 0, births_ = 0, maxBirths_ = 0,
               deaths_ = 0, maxDeaths_ = 0, ageDeaths_ = 0, maxAgeDeaths_ = 0, fitDeaths_ = 0,
               maxFitDeaths_ = 0, year_ = 0;
  float avgFitness_ = 0, bestAvgFitness_ = 0;
};

}  // namespace literal
