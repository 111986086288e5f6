#include "engine/team.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "engine/random.h"
#include "engine/statistics.h"

namespace kestravin {

void Team::installFitString(std::string_view text) {
  fitString_.assign(text);
  analyseFitString(*this);
}

void Team::releaseFitString() {
  fitString_.clear();
  fitString_.shrink_to_fit();
}

void Team::startList() {
  players_.clear();
  genes_.clear();
  length_ = fitString_.size();
  stride_ = (length_ + 1 + kBlock - 1) / kBlock * kBlock;
  paddedFit_.assign(stride_, '\0');
  std::memcpy(paddedFit_.data(), fitString_.data(), length_);
  hasList_ = true;
}

std::int32_t Team::arenaFitness(const char* genes) const {
  const char* target = paddedFit_.data();
  std::int32_t distance = 0;
#ifdef __SSE2__
  // Flipping the top bit maps signed codes onto unsigned ones with the same differences,
  // which the sum of absolute differences then adds up 16 at a time; padding adds 0.
  const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
  __m128i sum = _mm_setzero_si128();
  for (std::size_t i = 0; i < stride_; i += kBlock) {
    const __m128i a = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(genes + i)), flip);
    const __m128i b = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(target + i)), flip);
    sum = _mm_add_epi64(sum, _mm_sad_epu8(a, b));
  }
  distance = _mm_cvtsi128_si32(sum) + _mm_cvtsi128_si32(_mm_srli_si128(sum, 8));
#else
  for (std::size_t i = 0; i < length_; ++i) distance += std::abs(geneCode(genes[i]) - geneCode(target[i]));
#endif
  return targetFitness - distance;
}

void Team::copyChromosome(std::size_t to, std::size_t from) {
  char* dst = genes_.data() + to * stride_;
  const char* src = genes_.data() + from * stride_;
  for (std::size_t i = 0; i < stride_; i += kBlock) copyGeneBlock(dst + i, src + i);
}

void Team::releasePlayers() {
  // Give the memory back: a released team may be followed by a much smaller one.
  std::vector<Player>().swap(players_);
  std::vector<char>().swap(genes_);
  hasList_ = false;
}

std::size_t Team::appendPlayer() {
  players_.emplace_back();
  genes_.resize(genes_.size() + stride_, '\0');
  return players_.size() - 1;
}

void Team::reserve(std::size_t count) {
  players_.reserve(count);
  genes_.reserve(count * stride_);
}

void Team::removeDead() {
  // Every record is copied down and the write position advances only past survivors: a
  // branch on the dead flag would be mispredicted for about every death.
  std::size_t kept = 0;
  const std::size_t n = players_.size();
  for (std::size_t i = 0; i < n; ++i) {
    const bool survives = players_[i].dead == 0;
    players_[kept] = players_[i];
    copyChromosome(kept, i);
    kept += survives ? 1 : 0;
  }
  players_.resize(kept);
  genes_.resize(kept * stride_);
}

std::ptrdiff_t Team::findPlayer(std::int32_t id) const {
  const auto it = std::lower_bound(players_.begin(), players_.end(), id,
                                   [](const Player& p, std::int32_t v) { return p.id < v; });
  if (it == players_.end() || it->id != id) return -1;
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
    genes[i] = static_cast<char>(team.geneMin + static_cast<std::int32_t>(rng.randomBelow(geneDraw)));
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
