#pragma once

#include <cstdint>

namespace kestravin {

/// One living player. Its chromosome is kept by the player list, found by the record's index.
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

static_assert(sizeof(Player) == 32, "two records to a 64-byte cache line");

}  // namespace kestravin
