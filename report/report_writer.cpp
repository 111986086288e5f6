#include "report/report_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "engine/team.h"

namespace kestravin {

namespace {

constexpr const char* kReportBase = "generation";
constexpr const char* kTableHeading = " ID    FIT    AGE    MUT    FERT    KIDS    CHROMO\r\n";
constexpr const char* kTableRule = "----  -----  -----  -----  ------  ------  --------\r\n";
constexpr const char* kBlockEnd = "\r\n*******************************\r\n\r\n";

// Appends one printf-formatted piece; the longest piece is a player line with a 255-character
// chromosome, well inside the buffer, but a longer one is still written whole.
template <typename... Args>
void appendf(std::string& out, const char* format, Args... args) {
  char buffer[512];
  const int n = std::snprintf(buffer, sizeof buffer, format, args...);
  if (n < 0) return;
  if (static_cast<std::size_t>(n) < sizeof buffer) {
    out.append(buffer, static_cast<std::size_t>(n));
    return;
  }
  std::string big(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), format, args...);
  big.resize(static_cast<std::size_t>(n));
  out += big;
}

}  // namespace

std::string formatReportBlock(const Team& team, std::int32_t startYear) {
  std::string out;
  appendf(out, "**** Team Info, Year %d ****\r\n", startYear + team.stats.year);
  appendf(out, "Max Fitness=%d Min Fitness=%d Avg Fitness=%.2f\r\n", team.stats.maxFitness,
          team.stats.minFitness, static_cast<double>(team.stats.avgFitness));
  appendf(out, "Total population=%d Births=%d\r\n", team.stats.population, team.stats.births);
  appendf(out, "Age Deaths=%d Fitness Deaths=%d Total Deaths=%d\r\n", team.stats.ageDeaths,
          team.stats.fitDeaths, team.stats.deaths);
  appendf(out, "Best Fitness=%d Best Avg Fitness=%.2f\r\n", team.stats.bestMaxFitness,
          static_cast<double>(team.stats.bestAvgFitness));
  appendf(out, "Highest population=%d Lowest Population=%d\r\n\r\n", team.stats.highestPop,
          team.stats.lowestPop);
  if (team.players.empty()) return out;
  // Room for the whole table at once: a large team's block would otherwise be copied
  // several times as it grows, and at twice its size at the peak.
  const std::size_t rowSize = 48 + static_cast<std::size_t>(std::max(team.chromoLength(), 20));
  out.reserve(out.size() + 512 + team.players.size() * rowSize);
  out += kTableHeading;
  out += kTableRule;
  for (std::size_t i = 0; i < team.players.size(); ++i) {
    const Player& p = team.players[i];
    appendf(out, "%-5d %-2d     %-2d     %-2d     %-5.2f   %-3d     %-20s\r\n", p.id, p.fitness,
            p.age, p.lastMutation, static_cast<double>(p.fertility), p.children,
            team.players.chromosome(i));
  }
  out += kBlockEnd;
  return out;
}

ReportWriter::ReportWriter(std::filesystem::path folder) : folder_(std::move(folder)) {}

ReportWriter::~ReportWriter() {
  closeReport();
}

void ReportWriter::setFixedPath(std::filesystem::path path) {
  fixedPath_ = std::move(path);
}

void ReportWriter::fail(const char* what, int errorNumber) {
  error_ = "The report " + name_ + " could not be " + what + ": " + std::strerror(errorNumber);
}

std::filesystem::path ReportWriter::choosePath() {
  if (!fixedPath_.empty()) {
    name_ = fixedPath_.string();
    return fixedPath_;
  }
  // Every name tried counts, free or not; anything of that name, even a dangling link or a
  // folder, makes it taken.
  while (counter_ < std::numeric_limits<std::int32_t>::max()) {
    name_ = std::string(kReportBase) + " " + std::to_string(counter_) + ".txt";
    ++counter_;
    const std::filesystem::path path = folder_ / name_;
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(path, ec);
    if (ec || status.type() == std::filesystem::file_type::not_found) return path;
  }
  return {};
}

bool ReportWriter::openReport() {
  closeReport();
  error_.clear();
  const std::filesystem::path path = choosePath();
  if (path.empty()) {
    error_ = "No free name is left for a report file.";
    return false;
  }
  errno = 0;
  // Binary mode: the CR LF line ends are written out explicitly, the same on every platform.
  stream_ = std::fopen(path.string().c_str(), "wb");
  if (stream_ == nullptr) {
    fail("created", errno != 0 ? errno : EIO);
    return false;
  }
  return true;
}

bool ReportWriter::writeReportBlock(const Team& team, std::int32_t startYear) {
  if (stream_ == nullptr) return false;
  const std::string block = formatReportBlock(team, startYear);
  errno = 0;
  if (std::fwrite(block.data(), 1, block.size(), stream_) != block.size()) {
    fail("written", errno != 0 ? errno : EIO);
    return false;
  }
  return true;
}

bool ReportWriter::closeReport() {
  if (stream_ == nullptr) return true;
  errno = 0;
  const bool flushed = std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
  const int flushError = errno;
  const bool closed = std::fclose(stream_) == 0;
  const int closeError = errno;
  stream_ = nullptr;
  if (flushed && closed) return true;
  fail("written",
       !flushed ? (flushError != 0 ? flushError : EIO) : (closeError != 0 ? closeError : EIO));
  return false;
}

}  // namespace kestravin
