#include "cli/sweep_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/output_files.h"
#include "config/constants_file.h"

namespace kestravin {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kOutputs[] = {kRunsFile, kSummaryFile, kYearsFile, kYearsPlotFile,
                                         kFitnessPlotFile};

// Whether a file in the sets folder is an earlier experiment's: "set-<digits>.txt".
bool isSetFile(const std::string& name) {
  if (name.rfind("set-", 0) != 0 || name.size() <= 8) return false;
  if (name.compare(name.size() - 4, 4, ".txt") != 0) return false;
  for (std::size_t k = 4; k + 4 < name.size(); ++k) {
    if (name[k] < '0' || name[k] > '9') return false;
  }
  return true;
}

}  // namespace

std::string setFileName(std::size_t set) {
  return "set-" + std::to_string(set) + ".txt";
}

std::optional<FolderProblem> checkOutputFolder(const fs::path& dir, bool force,
                                               const fs::path& consts) {
  std::error_code ec;
  const auto status = fs::status(dir, ec);
  if (fs::exists(status) && !fs::is_directory(status)) {
    return FolderProblem{1, "the output folder " + dir.string() + " is a file"};
  }
  if (fs::is_directory(status)) {
    if (!force && !fs::is_empty(dir, ec)) {
      return FolderProblem{2, "the output folder " + dir.string() +
                                  " already holds files; give --force to replace an earlier "
                                  "experiment there, or another --out"};
    }
    bool input = false;
    for (std::string_view name : kOutputs) input = input || sameFile(consts, dir / name);
    input = input || (isSetFile(consts.filename().string()) &&
                      sameFile(consts.parent_path().empty() ? "." : consts.parent_path(),
                               dir / kSetsFolder));
    if (input) {
      return FolderProblem{2, "the constants file " + consts.string() +
                                  " is one of the outputs in " + dir.string() +
                                  ", which would be replaced"};
    }
  }
  return std::nullopt;
}

bool writeWholeFile(const fs::path& path, std::string_view text, std::string& error) {
  errno = 0;
  std::FILE* file = std::fopen(path.string().c_str(), "wb");
  if (file == nullptr) {
    error = path.string() + " could not be created: " + std::strerror(errno);
    return false;
  }
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  ok = std::fflush(file) == 0 && ok;
  const int writeError = errno;
  ok = std::fclose(file) == 0 && ok;
  if (!ok) {
    error = path.string() + " could not be written: " +
            std::strerror(writeError != 0 ? writeError
                          : errno != 0    ? errno
                                          : EIO);
  }
  return ok;
}

bool prepareOutputFolder(const fs::path& dir, const std::vector<ParamSet>& sets,
                         std::string& error) {
  std::error_code ec;
  fs::create_directories(dir / kSetsFolder, ec);
  if (ec) {
    error = "the output folder " + (dir / kSetsFolder).string() +
            " could not be created: " + ec.message();
    return false;
  }
  for (std::string_view name : kOutputs) {
    fs::remove(dir / name, ec);
    if (ec) {
      error = (dir / name).string() + " could not be removed: " + ec.message();
      return false;
    }
  }
  for (const auto& entry : fs::directory_iterator(dir / kSetsFolder, ec)) {
    if (isSetFile(entry.path().filename().string())) fs::remove(entry.path(), ec);
  }
  for (std::size_t k = 0; k < sets.size(); ++k) {
    if (!writeWholeFile(dir / kSetsFolder / setFileName(k), formatConstants(sets[k].params),
                        error)) {
      return false;
    }
  }
  return true;
}

}  // namespace kestravin
