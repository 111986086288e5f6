#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace kestravin {

class History;

/// The history of years 0..lastYear as CSV: a header line, then one row per year, the
/// average fitness with two decimals. Lines end in LF.
std::string formatHistoryCsv(const History& history, std::int32_t lastYear);

/// A CSV file of a run's history: created before the run starts, so that a path that cannot
/// be written fails at once, and written when the run ends.
class HistoryCsvFile {
 public:
  HistoryCsvFile() = default;
  ~HistoryCsvFile();
  HistoryCsvFile(const HistoryCsvFile&) = delete;
  HistoryCsvFile& operator=(const HistoryCsvFile&) = delete;

  /// Creates the file, empty; false (with error()) when it cannot be created.
  bool create(const std::string& path);
  /// Writes years 0..lastYear and closes the file; false (with error()) when not all of it
  /// reached the file.
  bool write(const History& history, std::int32_t lastYear);
  bool isOpen() const { return file_ != nullptr; }
  /// What went wrong, as a sentence for the user.
  const std::string& error() const { return error_; }

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
  std::string error_;
};

/// Creates a CSV file and writes the history into it; false (with error) on failure.
bool writeHistoryCsv(const std::string& path, const History& history, std::int32_t lastYear,
                     std::string& error);

}  // namespace kestravin
