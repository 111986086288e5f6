#include "cli/history_csv.h"

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

bool writeHistoryCsv(const std::string& path, const History& history, std::int32_t lastYear,
                     std::string& error) {
  const std::string text = formatHistoryCsv(history, lastYear);
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    error = "The CSV file " + path + " could not be created: " + std::strerror(errno);
    return false;
  }
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  ok = std::fflush(file) == 0 && ok;
  const int writeError = errno;
  ok = std::fclose(file) == 0 && ok;
  if (!ok) {
    error = "The CSV file " + path + " could not be written: " +
            std::strerror(writeError != 0 ? writeError
                          : errno != 0    ? errno
                                          : EIO);
  }
  return ok;
}

}  // namespace kestravin
