#include "engine/team.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "config/parameters.h"
#include "engine/random.h"
#include "engine/statistics.h"

namespace kestravin {

void Team::installFitString(std::string_view text) {
  // The parameters never hold a longer one; the crossover counts genes in single bytes.
  fitString_.assign(text.substr(0, kMaxFitStringLength));
  analyseFitString(*this);
}

void Team::releaseFitString() {
  fitString_.clear();
  fitString_.shrink_to_fit();
}

void Team::startList() {
  size_ = 0;
  length_ = fitString_.size();
  stride_ = (length_ + 1 + kBlock - 1) / kBlock * kBlock;
  slotsUsed_ = 0;
  genes_.resize(genes_.size() / stride_ * stride_);
  paddedFit_.assign(stride_, '\0');
  std::memcpy(paddedFit_.data(), fitString_.data(), length_);
  hasList_ = true;
}

void Team::releasePlayers() {
  // Give the memory back: a released team may be followed by a much smaller one.
  std::vector<Player>().swap(players_);
  std::vector<std::uint32_t>().swap(slots_);
  std::vector<char>().swap(genes_);
  size_ = 0;
  slotsUsed_ = 0;
  hasList_ = false;
}

std::size_t Team::appendPlayer() {
  if (size_ == capacity() || slotsUsed_ * stride_ == genes_.size()) {
    reserve(std::max<std::size_t>(16, 2 * size_));
  }
  const std::size_t i = appendUnset();
  players_[i] = Player{};
  std::memset(chromosome(i), 0, stride_);
  return i;
}

void Team::reserve(std::size_t count) {
  // Growing by at least half keeps a team that creeps up to new highs from moving (and
  // touching fresh memory) year after year; the breeding pass asks for twice the list,
  // which is the most it can use.
  const auto grown = [](std::size_t have, std::size_t want) {
    return std::max(want, have + have / 2);
  };
  if (count > capacity()) {
    const std::size_t room = grown(capacity(), count);
    players_.reserve(room);
    players_.resize(room);
    slots_.reserve(room);
    slots_.resize(room);
  }
  if (count <= size_) return;
  // The dead's slots are left alone here (removeDead reclaims them when they are many):
  // the arena grows instead.
  const std::size_t arenaSlots = genes_.size() / stride_;
  const std::size_t needed = slotsUsed_ + (count - size_);
  if (needed > arenaSlots) {
    const std::size_t room = grown(arenaSlots, needed);
    genes_.reserve(room * stride_);
    genes_.resize(room * stride_);
  }
}

void Team::compactArena() {
  char* genes = genes_.data();
  for (std::size_t i = 0; i < size_; ++i) {
    const std::size_t from = slots_[i];
    if (from != i) {
      // from > i: slots grow along the list, so this never overwrites a slot still to move.
      char* dst = genes + i * stride_;
      const char* src = genes + from * stride_;
      for (std::size_t b = 0; b < stride_; b += kBlock) copyGeneBlock(dst + b, src + b);
      slots_[i] = static_cast<std::uint32_t>(i);
    }
  }
  slotsUsed_ = size_;
}

void Team::removeDead() {
  removeIf([](const Player& p) { return p.dead != 0; });
}

std::ptrdiff_t Team::findPlayer(std::int32_t id) const {
  const auto end = players_.begin() + static_cast<std::ptrdiff_t>(size_);
  const auto it = std::lower_bound(players_.begin(), end, id,
                                   [](const Player& p, std::int32_t v) { return p.id < v; });
  if (it == end || it->id != id) return -1;
  return it - players_.begin();
}

void analyseFitString(Team& team) {
  const std::string& text = team.fitString();
  if (text.empty()) {
    // Nothing to analyse; keep a usable range so that no draw is ever empty.
    team.geneMin = 0;
    team.geneMax = 1;
    team.geneRange = 1;
    team.targetFitness = 0;
    return;
  }
  std::int32_t lo = geneCode(text[0]);
  std::int32_t hi = lo;
  for (char c : text) {
    lo = std::min(lo, geneCode(c));
    hi = std::max(hi, geneCode(c));
  }
  if (hi == lo) {
    if (lo != 0) {
      --lo;
    } else {
      ++hi;
    }
  }
  team.geneMin = static_cast<std::int8_t>(lo);
  team.geneMax = static_cast<std::int8_t>(hi);
  team.geneRange = hi - lo;
  std::int32_t target = 0;
  for (char c : text) {
    const std::int32_t code = geneCode(c);
    target += std::max(std::abs(code - hi), std::abs(code - lo));
  }
  team.targetFitness = target;
}

std::int32_t computeFitness(const char* chromosome, const Team& team) {
  const auto* genes = reinterpret_cast<const signed char*>(chromosome);
  const auto* target = reinterpret_cast<const signed char*>(team.fitString().data());
  const std::int32_t n = team.chromoLength();
  std::int32_t distance = 0;
  for (std::int32_t i = 0; i < n; ++i) distance += std::abs(genes[i] - target[i]);
  return team.targetFitness - distance;
}

std::size_t createRandomPlayer(Team& team, Random& rng) {
  const std::size_t index = team.appendPlayer();
  char* genes = team.chromosome(index);
  const DrawRange geneDraw(team.geneRange + 1);
  const std::int32_t length = team.chromoLength();
  for (std::int32_t i = 0; i < length; ++i) {
    // Added in 8-bit arithmetic; the sum lies in geneMin..geneMax.
    genes[i] =
        static_cast<char>(team.geneMin + static_cast<std::int32_t>(rng.randomBelow(geneDraw)));
  }
  Player& p = team.player(index);
  p.fitness = team.arenaFitness(genes);
  p.id = team.nextId++;
  p.fertility = static_cast<float>(rng.randomBelow(100));
  return index;
}

void createTeam(Team& team, std::int32_t count, Random& rng) {
  team.startList();
  team.nextId = 1;
  if (count > 0) team.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) createRandomPlayer(team, rng);
  updateMeanFitness(team);
  updateMaxFitness(team);
  updateMinFitness(team);
  team.deaths = team.ageDeaths = team.fitDeaths = 0;
  team.maxDeaths = team.maxAgeDeaths = team.maxFitDeaths = 0;
  team.year = 0;
  team.births = team.maxBirths = count;
  team.bestAvgFitness = team.avgFitness;
  team.bestMaxFitness = team.maxFitness;
  team.highestPop = team.lowestPop = team.population;
}

}  // namespace kestravin
