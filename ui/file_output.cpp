#include "ui/file_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace kestravin::ui {

namespace {

// A name beside the target that no other file has.
std::filesystem::path freshSibling(const std::filesystem::path& target) {
  std::error_code ec;
  for (int k = 0;; ++k) {
    std::filesystem::path candidate = target;
    candidate += ".part" + std::to_string(k);
    if (!std::filesystem::exists(candidate, ec) && !ec) return candidate;
    if (k > 1000) return candidate;  // creating it below fails and says why
  }
}

}  // namespace

bool writeFileWhole(const std::string& path, std::string_view bytes, std::string& error) {
  const std::filesystem::path target(path);
  std::error_code ec;
  if (std::filesystem::is_directory(target, ec)) {
    error = path + " is a folder: nothing was written.";
    return false;
  }
  const std::filesystem::path temporary = freshSibling(target);
  errno = 0;
  std::FILE* file = std::fopen(temporary.string().c_str(), "wb");
  if (!file) {
    error = path + " could not be written: " + std::strerror(errno ? errno : EIO);
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fflush(file) == 0 && ok;
  const int writeError = errno;
  ok = std::fclose(file) == 0 && ok;
  if (!ok) {
    std::filesystem::remove(temporary, ec);
    error = path + " could not be written: " + std::strerror(writeError ? writeError : EIO);
    return false;
  }
  std::filesystem::rename(temporary, target, ec);
  if (ec) {
    error = path + " could not be written: " + ec.message();
    std::filesystem::remove(temporary, ec);
    return false;
  }
  return true;
}

}  // namespace kestravin::ui
