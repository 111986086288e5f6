#pragma once

#include <filesystem>

namespace kestravin {

/// Whether two paths name the same file: the same place once links are followed and the
/// paths made absolute, or the same existing file under two names (a hard link).
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace kestravin
