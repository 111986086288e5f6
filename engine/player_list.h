#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/gene_blocks.h"
#include "engine/player.h"

namespace kestravin {

/// The living players in list order (founders first, newborns appended at the tail), as
/// contiguous records, with the chromosomes in one arena: stride() bytes each, NUL after the
/// genes. Removal keeps the survivors' order. Ids grow along the list.
class PlayerList {
 public:
  /// Whether a list exists (none before the first start and after release()).
  bool exists() const { return exists_; }
  /// Starts an empty list of chromosomes of `length` genes, dropping the old players.
  void start(std::size_t length);
  /// Releases every player, the list and its memory.
  void release();

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  Player& operator[](std::size_t i) { return players_[i]; }
  const Player& operator[](std::size_t i) const { return players_[i]; }
  Player* data() { return players_.data(); }
  char* chromosome(std::size_t i) { return genes_.data() + slots_[i] * stride_; }
  const char* chromosome(std::size_t i) const { return genes_.data() + slots_[i] * stride_; }
  std::string_view chromosomeView(std::size_t i) const { return {chromosome(i), length_}; }
  /// Genes per chromosome.
  std::size_t length() const { return length_; }
  /// Bytes per chromosome in the arena: the genes and their NUL, rounded up to whole blocks.
  std::size_t stride() const { return stride_; }

  /// Appends a blank record with a NUL-filled chromosome; returns its index.
  std::size_t append();
  /// Room for how many players without moving any.
  std::size_t capacity() const { return players_.size(); }
  /// Makes room for count players, so that appending up to it moves nothing. Throws
  /// std::bad_alloc, changing nothing, when the memory cannot be had.
  void reserve(std::size_t count);
  /// Calls gone(player) for every player in list order and removes those it returns true
  /// for, keeping the order of the others.
  template <typename Gone>
  void removeIf(Gone gone);
  /// The index of the player with this id, or -1.
  std::ptrdiff_t find(std::int32_t id) const;

  /// Appends newborns within room made by reserve(), keeping the list's addresses and counts
  /// in registers; they go back into the list when the appender ends. Nothing else may
  /// change the list while it lives.
  class Appender {
   public:
    explicit Appender(PlayerList& list)
        : list_(list),
          players_(list.players_.data()),
          slots_(list.slots_.data()),
          genes_(list.genes_.data()),
          stride_(list.stride_),
          size_(list.size_),
          slotsUsed_(list.slotsUsed_) {}
    Appender(const Appender&) = delete;
    Appender& operator=(const Appender&) = delete;
    ~Appender() {
      list_.size_ = size_;
      list_.slotsUsed_ = slotsUsed_;
    }

    std::size_t size() const { return size_; }
    Player& player(std::size_t i) const { return players_[i]; }
    char* chromosome(std::size_t i) const { return genes_ + std::size_t{slots_[i]} * stride_; }
    /// Appends a record and a chromosome slot whose every byte the caller then writes.
    std::size_t append() {
      slots_[size_] = static_cast<std::uint32_t>(slotsUsed_++);
      return size_++;
    }

   private:
    PlayerList& list_;
    Player* const players_;
    std::uint32_t* const slots_;
    char* const genes_;
    const std::size_t stride_;
    std::size_t size_;
    std::size_t slotsUsed_;
  };

 private:
  void compactArena();
  // Packs the arena once the dead hold as many slots as the living: each chromosome then
  // moves about once in the years it takes the team to renew itself.
  void reclaimSlots() {
    if (slotsUsed_ - size_ > size_ + 64) compactArena();
  }

  bool exists_ = false;
  std::size_t length_ = 0;
  std::size_t stride_ = genes::kBlock;
  // Records are sized to the capacity and the first size_ are in the list, so a birth
  // writes its record in place.
  std::size_t size_ = 0;
  std::vector<Player> players_;
  // Player i's chromosome is in arena slot slots_[i]. A removal moves only records and slot
  // numbers; new chromosomes take the slot after the last one used, so slot numbers grow
  // along the list and compaction keeps the chromosomes in list order.
  std::vector<std::uint32_t> slots_;
  std::vector<char> genes_;
  std::size_t slotsUsed_ = 0;  // slots below this are taken, by the living or the dead
};

template <typename Gone>
void PlayerList::removeIf(Gone gone) {
  Player* players = players_.data();
  std::uint32_t* slots = slots_.data();
  const std::size_t n = size_;
  // Every record is copied down and the write position advances past survivors only, so
  // the outcome needs no branch.
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

}  // namespace kestravin
