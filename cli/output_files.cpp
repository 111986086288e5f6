#include "cli/output_files.h"

namespace kestravin {

namespace {

namespace fs = std::filesystem;

// Where a path leads: its links followed, even to a file not yet made.
fs::path resolve(fs::path path) {
  std::error_code ec;
  path = fs::absolute(path, ec);
  for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(path, ec)); ++hops) {
    const fs::path target = fs::read_symlink(path, ec);
    if (ec) break;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  const fs::path canonical = fs::weakly_canonical(path, ec);
  return ec ? path.lexically_normal() : canonical;
}

}  // namespace

bool sameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec)) return true;
  return resolve(a) == resolve(b);
}

}  // namespace kestravin
