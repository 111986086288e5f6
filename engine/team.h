#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace kestravin {

class Random;

/// One living player. Its chromosome is kept by the Team, found by the record's index.
struct Player {
  std::int32_t id = 0;
  std::int32_t parent1Id = 0;     // 0 for a founder
  std::int32_t parent2Id = 0;     // 0 for a founder
  std::int32_t children = 0;      // births this player has taken part in
  std::int32_t fitness = 0;       // computed once, when the player is created
  std::int32_t age = 0;           // years lived; 0 at birth
  float fertility = 0.0f;         // a whole number 0..99
  std::int16_t lastMutation = 0;  // 0 none, 1..chromoLength the gene mutated, 88 the fertility
  std::uint8_t bred = 0;          // took part in a birth in the current breeding pass
  std::uint8_t dead = 0;          // chosen to die this year
};

/// Copies one 16-byte block of the chromosome arena.
inline void copyGeneBlock(char* dst, const char* src) {
#ifdef __SSE2__
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(src)));
#else
  std::memmove(dst, src, 16);
#endif
}

/// Writes one 16-byte block whose first `count` bytes (0..16) come from head, the rest from
/// tail.
inline void blendGeneBlock(char* dst, const char* head, const char* tail, std::size_t count) {
#ifdef __SSE2__
  const __m128i iota = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m128i mask = _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(count)), iota);
  const __m128i h = _mm_loadu_si128(reinterpret_cast<const __m128i*>(head));
  const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tail));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                   _mm_or_si128(_mm_and_si128(mask, h), _mm_andnot_si128(mask, t)));
#else
  for (std::size_t i = 0; i < 16; ++i) dst[i] = i < count ? head[i] : tail[i];
#endif
}

/// Gene characters are compared and subtracted as signed 8-bit codes.
inline std::int32_t geneCode(char c) {
  return static_cast<signed char>(c);
}

/// The population with its statistics and the fitness string.
///
/// The player list is kept as contiguous records in list order (founders first, newborns
/// appended at the tail), with the chromosomes in one arena, stride() bytes each and
/// NUL-padded, in slots that follow the list's order. Removal keeps the survivors' order.
/// Ids grow along the list, so a player is found by binary search.
class Team {
 public:
  // Statistics of the last statistics pass, and the run maxima.
  std::int32_t maxFitness = 0;
  std::int32_t bestId = 0;
  std::int32_t bestMaxFitness = 0;
  std::int32_t minFitness = 0;
  std::int32_t worstId = 0;
  std::int32_t population = 0;
  std::int32_t highestPop = 0;
  std::int32_t lowestPop = 0;
  std::int32_t births = 0;
  std::int32_t maxBirths = 0;
  std::int32_t deaths = 0;
  std::int32_t maxDeaths = 0;
  std::int32_t ageDeaths = 0;
  std::int32_t maxAgeDeaths = 0;
  std::int32_t fitDeaths = 0;
  std::int32_t maxFitDeaths = 0;
  std::int32_t year = 0;  // years simulated since the reset
  // The gene range and the target, from the fitness string.
  std::int8_t geneMax = 0;
  std::int8_t geneMin = 0;
  std::int32_t geneRange = 0;
  std::int32_t targetFitness = 0;
  float avgFitness = 0.0f;
  float bestAvgFitness = 0.0f;
  std::int32_t nextId = 1;  // the next id to hand out

  /// Installs a new fitness string, cut to its longest allowed length (255 characters):
  /// sets chromoLength and chromoSize and analyses it.
  void installFitString(std::string_view text);
  /// Releases the fitness string (chromoLength becomes 0).
  void releaseFitString();
  const std::string& fitString() const { return fitString_; }
  std::int32_t chromoLength() const { return static_cast<std::int32_t>(fitString_.size()); }
  std::int32_t chromoSize() const { return chromoLength() + 1; }

  /// Whether a player list exists (none before the first createTeam and after release).
  bool hasList() const { return hasList_; }
  /// Starts an empty list, releasing the old one.
  void startList();
  /// Releases every player and the list itself.
  void releasePlayers();

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  Player& player(std::size_t i) { return players_[i]; }
  const Player& player(std::size_t i) const { return players_[i]; }
  char* chromosome(std::size_t i) { return genes_.data() + slots_[i] * stride_; }
  const char* chromosome(std::size_t i) const { return genes_.data() + slots_[i] * stride_; }
  std::string_view chromosomeView(std::size_t i) const { return {chromosome(i), length_}; }

  /// The records from index 0, for passes over the whole list.
  Player* playerData() { return players_.data(); }

  /// Appends a blank record with a NUL-filled chromosome at the tail; returns its index.
  /// References to players stay valid as long as size() stays within reserve().
  std::size_t appendPlayer();
  /// Appends a record and a chromosome whose every byte the caller then writes (the
  /// chromosome's stride() bytes, NUL after the genes). Needs room made by reserve().
  std::size_t appendUnset() { return Appender(*this).append(); }
  /// Room for how many players without moving any.
  std::size_t capacity() const { return players_.size(); }

  /// Appends newborns in a pass with the list's addresses and counts in registers, instead
  /// of reloading them around every write to a record; the counts and the next id go back
  /// into the team when the appender ends. It needs the room made by reserve() beforehand,
  /// and nothing else may change the team while it lives.
  class Appender {
   public:
    explicit Appender(Team& team)
        : team_(team),
          players_(team.players_.data()),
          slots_(team.slots_.data()),
          genes_(team.genes_.data()),
          stride_(team.stride_),
          size_(team.size_),
          slotsUsed_(team.slotsUsed_),
          nextId_(team.nextId) {}
    Appender(const Appender&) = delete;
    Appender& operator=(const Appender&) = delete;
    ~Appender() {
      team_.size_ = size_;
      team_.slotsUsed_ = slotsUsed_;
      team_.nextId = nextId_;
    }

    std::size_t size() const { return size_; }
    Player& player(std::size_t i) const { return players_[i]; }
    char* chromosome(std::size_t i) const { return genes_ + std::size_t{slots_[i]} * stride_; }
    /// As Team::appendUnset.
    std::size_t append() {
      slots_[size_] = static_cast<std::uint32_t>(slotsUsed_++);
      return size_++;
    }
    /// Hands out the next id.
    std::int32_t takeId() { return nextId_++; }

   private:
    Team& team_;
    Player* const players_;
    std::uint32_t* const slots_;
    char* const genes_;
    const std::size_t stride_;
    std::size_t size_;
    std::size_t slotsUsed_;
    std::int32_t nextId_;
  };
  /// Makes room for count players, so appending up to it moves nothing.
  void reserve(std::size_t count);
  /// Removes the players marked dead, keeping the order of the others.
  void removeDead();
  /// Calls gone(player) for every player in list order, and removes those it returns true
  /// for, keeping the order of the others.
  template <typename Gone>
  void removeIf(Gone gone);
  /// The index of the player with this id, or -1.
  std::ptrdiff_t findPlayer(std::int32_t id) const;

  /// Bytes per chromosome in the arena: chromoSize when the list was started, rounded up to
  /// whole blocks. The bytes after the genes are NUL, so chromosomes are copied and compared
  /// block by block.
  std::size_t stride() const { return stride_; }
  static constexpr std::size_t kBlock = 16;

  /// The fitness of an arena chromosome (or any buffer of stride() bytes, NUL after the
  /// genes) against the fitness string the list was started with.
  std::int32_t arenaFitness(const char* genes) const;
  /// Writes the one-point crossover of two arena chromosomes into child (stride() bytes):
  /// genes 0..cut-1 from head, the rest from tail. Returns the child's fitness.
  std::int32_t crossover(char* child, const char* head, const char* tail, std::size_t cut) const;
  /// How much a gene's fitness term changes when gene pos goes from code `before` to `after`.
  std::int32_t geneFitnessChange(std::size_t pos, char before, char after) const {
    const std::int32_t target = geneCode(paddedFit_[pos]);
    return std::abs(geneCode(before) - target) - std::abs(geneCode(after) - target);
  }

 private:
  std::string fitString_;
  bool hasList_ = false;
  std::size_t stride_ = kBlock;
  std::size_t length_ = 0;
  std::vector<char> paddedFit_;  // the fitness string in stride() bytes
  /// Moves the chromosomes down to slots 0..size()-1, in list order.
  void compactArena();
  /// After a removal: packs the arena once the dead hold as many slots as the living. Each
  /// chromosome then moves about once in the years it takes the team to renew itself, and
  /// the arena stays within about twice the list.
  void reclaimSlots() {
    if (slotsUsed_ - size_ > size_ + 64) compactArena();
  }

  // The record buffers are sized to the capacity, and size_ of their entries are in the
  // list: a birth writes its record in place instead of growing a vector.
  std::size_t size_ = 0;
  std::vector<Player> players_;
  // Player i's chromosome is in arena slot slots_[i]. A removal moves only the records and
  // their slot numbers; the slots of the dead are reclaimed when the arena is compacted.
  // New chromosomes take the slot after the last one used, so slot numbers grow along the
  // list and compaction keeps the chromosomes in list order.
  std::vector<std::uint32_t> slots_;
  std::vector<char> genes_;    // arena of slot capacity * stride_ bytes
  std::size_t slotsUsed_ = 0;  // slots below this are taken, by the living or the dead
};

template <typename Gone>
void Team::removeIf(Gone gone) {
  Player* players = players_.data();
  std::uint32_t* slots = slots_.data();
  const std::size_t n = size_;
  // Every record and slot number is copied down and the write position advances only past
  // survivors: a branch on the outcome would be mispredicted for about every death.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const bool goes = gone(players[i]);
    players[kept] = players[i];
    slots[kept] = slots[i];
    kept += goes ? 0 : 1;
  }
  size_ = kept;
  reclaimSlots();
}

inline std::int32_t Team::arenaFitness(const char* genes) const {
  const char* target = paddedFit_.data();
  std::int32_t distance = 0;
#ifdef __SSE2__
  // Flipping the top bit maps signed codes onto unsigned ones with the same differences,
  // which the sum of absolute differences then adds up 16 at a time; padding adds 0.
  const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
  __m128i sum = _mm_setzero_si128();
  for (std::size_t i = 0; i < stride_; i += kBlock) {
    const __m128i a =
        _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(genes + i)), flip);
    const __m128i b =
        _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(target + i)), flip);
    sum = _mm_add_epi64(sum, _mm_sad_epu8(a, b));
  }
  distance = _mm_cvtsi128_si32(sum) + _mm_cvtsi128_si32(_mm_srli_si128(sum, 8));
#else
  for (std::size_t i = 0; i < length_; ++i)
    distance += std::abs(geneCode(genes[i]) - geneCode(target[i]));
#endif
  return targetFitness - distance;
}

inline std::int32_t Team::crossover(char* child, const char* head, const char* tail,
                                    std::size_t cut) const {
#ifdef __SSE2__
  const char* target = paddedFit_.data();
  const std::size_t stride = stride_;
  // Each block is blended and scored while in a register, as in arenaFitness. The genes
  // still to take from head, max(cut - o, 0), are counted down in every byte of `left`
  // (cut < 256: fitness strings are at most 255 long, and saturation stops at 0); a byte
  // comes from head while its place in the block is below that count.
  const __m128i iota = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i blockSize = _mm_set1_epi8(static_cast<char>(kBlock));
  __m128i left = _mm_set1_epi8(static_cast<char>(std::min<std::size_t>(cut, 255)));
  __m128i sum = _mm_setzero_si128();
  for (std::size_t o = 0; o < stride; o += kBlock) {
    const __m128i mask = _mm_cmpgt_epi8(_mm_min_epu8(left, blockSize), iota);
    left = _mm_subs_epu8(left, blockSize);
    const __m128i h = _mm_loadu_si128(reinterpret_cast<const __m128i*>(head + o));
    const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tail + o));
    const __m128i genes = _mm_or_si128(_mm_and_si128(mask, h), _mm_andnot_si128(mask, t));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(child + o), genes);
    const __m128i goal = _mm_loadu_si128(reinterpret_cast<const __m128i*>(target + o));
    sum = _mm_add_epi64(sum, _mm_sad_epu8(_mm_xor_si128(genes, flip), _mm_xor_si128(goal, flip)));
  }
  return targetFitness - (_mm_cvtsi128_si32(sum) + _mm_cvtsi128_si32(_mm_srli_si128(sum, 8)));
#else
  for (std::size_t o = 0; o < stride_; o += kBlock) {
    const std::size_t fromHead = cut <= o ? 0 : std::min<std::size_t>(cut - o, kBlock);
    blendGeneBlock(child + o, head + o, tail + o, fromHead);
  }
  return arenaFitness(child);
#endif
}

static_assert(sizeof(Player) == 32, "two records to a 64-byte cache line");

/// Computes geneMin, geneMax, geneRange and targetFitness from the fitness string.
void analyseFitString(Team& team);

/// The fitness of a chromosome of chromoLength genes against the team's fitness string.
std::int32_t computeFitness(const char* chromosome, const Team& team);

/// Appends a random founder at the tail (genes, then fertility drawn); returns its index.
std::size_t createRandomPlayer(Team& team, Random& rng);

/// Builds a fresh team of count founders (none for count <= 0), ids from 1, and computes
/// its statistics and run maxima.
void createTeam(Team& team, std::int32_t count, Random& rng);

}  // namespace kestravin
