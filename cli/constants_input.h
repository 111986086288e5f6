#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "config/parameters.h"

namespace kestravin {

/// The parameters of a constants file named on a command line, read and checked. nullopt,
/// with every problem listed, when the file cannot be opened, when an entry cannot be read
/// or the file ends early (its user named it: no silent zeros or defaults), or when a value
/// fails the checks.
std::optional<SimParams> readUsableConstants(const std::filesystem::path& path,
                                             std::vector<std::string>& problems);

}  // namespace kestravin
