#include "report/history_csv.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/history.h"

namespace kestravin {

std::string formatHistoryCsv(const History& history, std::int32_t lastYear) {
  std::string out =
      "year,maxFitness,minFitness,population,births,deaths,ageDeaths,fitDeaths,avgFitness\n";
  const std::int32_t last = std::min(lastYear, history.size() - 1);
  char line[160];
  for (std::int32_t y = 0; y <= last; ++y) {
    std::snprintf(
        line, sizeof line, "%d,%d,%d,%d,%d,%d,%d,%d,%.2f\n", y,
        history.intEntry(History::kMaxFitness, y), history.intEntry(History::kMinFitness, y),
        history.intEntry(History::kPopulation, y), history.intEntry(History::kBirths, y),
        history.intEntry(History::kDeaths, y), history.intEntry(History::kAgeDeaths, y),
        history.intEntry(History::kFitDeaths, y), static_cast<double>(history.avgFitness(y)));
    out += line;
  }
  return out;
}

HistoryCsvFile::~HistoryCsvFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool HistoryCsvFile::create(const std::string& path) {
  path_ = path;
  errno = 0;
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) {
    error_ = "The CSV file " + path + " could not be created: " + std::strerror(errno);
    return false;
  }
  return true;
}

bool HistoryCsvFile::write(const History& history, std::int32_t lastYear) {
  if (file_ == nullptr) return false;
  const std::string text = formatHistoryCsv(history, lastYear);
  errno = 0;
  bool ok = std::fwrite(text.data(), 1, text.size(), file_) == text.size();
  ok = std::fflush(file_) == 0 && ok;
  const int writeError = errno;
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  if (!ok) {
    error_ = "The CSV file " + path_ + " could not be written: " +
             std::strerror(writeError != 0 ? writeError
                           : errno != 0    ? errno
                                           : EIO);
  }
  return ok;
}

bool writeHistoryCsv(const std::string& path, const History& history, std::int32_t lastYear,
                     std::string& error) {
  HistoryCsvFile file;
  const bool ok = file.create(path) && file.write(history, lastYear);
  if (!ok) error = file.error();
  return ok;
}

}  // namespace kestravin
