#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/parameters.h"

namespace kestravin::ui {

/// What the web page's address asks for after its '?': `seed=N` fixes the seed of every run,
/// as the desktop program's --seed N does; parameters named as in the constants file
/// (`TeamSize=50`, `FitString=hello%20world`) replace those of the built-in file;
/// `reportLimit=N` sets the size in bytes past which a report asks before it grows.
struct PageAddress {
  std::optional<std::uint32_t> seed;
  std::optional<SimParams> params;           // when the address names a parameter
  std::optional<std::uint64_t> reportLimit;  // reportLimit=bytes: when reports ask to go on
  std::vector<std::string> problems;         // entries that cannot be used, one line each
};

/// Reads an address's query; parameters it does not name are those of `base`.
PageAddress readPageAddress(std::string_view query, const SimParams& base);

/// The query of a link to a run: its seed and every parameter, which readPageAddress reads
/// back unchanged (the fitness string's characters in UTF-8, as addresses carry them).
std::string pageLinkQuery(std::uint32_t seed, const SimParams& params);

}  // namespace kestravin::ui
