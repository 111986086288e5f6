#include "engine/player_list.h"

#include <algorithm>

namespace kestravin {

namespace {

// The arena size from which the dead's slots are taken back before it grows.
constexpr std::size_t kCompactFirst = std::size_t{32} << 20;

}  // namespace

void PlayerList::start(std::size_t length) {
  size_ = 0;
  length_ = length;
  stride_ = (length_ + 1 + genes::kBlock - 1) / genes::kBlock * genes::kBlock;
  slotsUsed_ = 0;
  genes_.resize(genes_.size() / stride_ * stride_);
  exists_ = true;
}

void PlayerList::release() {
  // The memory goes back: a released team may be followed by a much smaller one.
  std::vector<Player>().swap(players_);
  std::vector<std::uint32_t>().swap(slots_);
  std::vector<char>().swap(genes_);
  size_ = 0;
  slotsUsed_ = 0;
  exists_ = false;
}

std::size_t PlayerList::append() {
  if (size_ == capacity() || slotsUsed_ * stride_ == genes_.size()) {
    reserve(std::max<std::size_t>(16, 2 * size_));
  }
  const std::size_t i = Appender(*this).append();
  players_[i] = Player{};
  std::fill_n(chromosome(i), stride_, '\0');
  return i;
}

void PlayerList::reserve(std::size_t count) {
  // Growing by at least half keeps a team that creeps up to new highs from moving year
  // after year.
  const auto grown = [](std::size_t have, std::size_t want) {
    return std::max(want, have + have / 2);
  };
  if (count > capacity()) {
    const std::size_t room = grown(capacity(), count);
    // Reserved first, so that the vectors take exactly this room and not a doubling.
    players_.reserve(room);
    players_.resize(room);
    slots_.reserve(room);
    slots_.resize(room);
  }
  if (count <= size_) return;
  const std::size_t arenaSlots = genes_.size() / stride_;
  // A large arena takes the dead's slots back before it grows: growing would copy it anyway,
  // and memory runs short. A small one grows, so that compactions stay rare.
  if (slotsUsed_ + (count - size_) > arenaSlots && slotsUsed_ > size_ &&
      genes_.size() >= kCompactFirst) {
    compactArena();
  }
  const std::size_t needed = slotsUsed_ + (count - size_);
  if (needed > arenaSlots) {
    const std::size_t room = grown(arenaSlots, needed) * stride_;
    genes_.reserve(room);
    genes_.resize(room);
  }
}

void PlayerList::compactArena() {
  char* genes = genes_.data();
  for (std::size_t i = 0; i < size_; ++i) {
    const std::size_t from = slots_[i];
    if (from != i) {
      // from > i: slots grow along the list, so no slot still to move is overwritten.
      char* dst = genes + i * stride_;
      const char* src = genes + from * stride_;
      for (std::size_t b = 0; b < stride_; b += genes::kBlock) genes::copyBlock(dst + b, src + b);
      slots_[i] = static_cast<std::uint32_t>(i);
    }
  }
  slotsUsed_ = size_;
}

std::ptrdiff_t PlayerList::find(std::int32_t id) const {
  const auto end = players_.begin() + static_cast<std::ptrdiff_t>(size_);
  const auto it = std::lower_bound(players_.begin(), end, id,
                                   [](const Player& p, std::int32_t v) { return p.id < v; });
  if (it == end || it->id != id) return -1;
  return it - players_.begin();
}

}  // namespace kestravin
