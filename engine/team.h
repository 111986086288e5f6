#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/gene_blocks.h"
#include "engine/player_list.h"
#include "engine/team_stats.h"

namespace kestravin {

class Random;

/// The population: its players, the fitness string they evolve toward with its gene range
/// and target fitness, and its statistics.
class Team {
 public:
  TeamStats stats;
  PlayerList players;
  std::int32_t nextId = 1;  // the next id to hand out
  // The gene range and the target, from the fitness string.
  std::int8_t geneMax = 0;
  std::int8_t geneMin = 0;
  std::int32_t geneRange = 0;
  std::int32_t targetFitness = 0;

  /// Installs a fitness string, cut to the longest allowed (255 characters), and analyses it.
  void installFitString(std::string_view text);
  const std::string& fitString() const { return fitString_; }
  std::int32_t chromoLength() const { return static_cast<std::int32_t>(fitString_.size()); }
  std::int32_t chromoSize() const { return chromoLength() + 1; }

  /// Starts an empty player list for the installed fitness string.
  void startList();

  /// The fitness of a chromosome of the list's arena (stride() bytes, NUL after the genes).
  std::int32_t fitnessOf(const char* genes) const {
    return targetFitness - genes::distance(genes, target_.data(), players.stride());
  }
  /// Writes the one-point crossover of two arena chromosomes into child: genes before the
  /// cut from head, the rest from tail. Returns the child's fitness.
  std::int32_t crossover(char* child, const char* head, const char* tail, std::size_t cut) const {
    return targetFitness - genes::cross(child, head, tail, cut, target_.data(), players.stride());
  }
  /// How much the fitness changes when gene pos goes from code `before` to `after`.
  std::int32_t geneFitnessChange(std::size_t pos, char before, char after) const {
    const std::int32_t goal = genes::code(target_[pos]);
    return std::abs(genes::code(before) - goal) - std::abs(genes::code(after) - goal);
  }

 private:
  std::string fitString_;
  std::vector<char> target_;  // the fitness string in stride() bytes, as the list started
};

/// Computes geneMin, geneMax, geneRange and targetFitness from the fitness string, in
/// signed 8-bit codes.
void analyseFitString(Team& team);

/// Appends a random founder at the tail (genes, then fertility drawn); returns its index.
std::size_t createRandomPlayer(Team& team, Random& rng);

/// Builds a fresh team of count founders (none for count <= 0), ids from 1, and computes
/// its statistics and run maxima.
void createTeam(Team& team, std::int32_t count, Random& rng);

}  // namespace kestravin
