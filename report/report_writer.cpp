#include "report/report_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "engine/team.h"

namespace kestravin {

namespace {

constexpr const char* kReportBase = "generation";
constexpr const char* kTableHeading = " ID    FIT    AGE    MUT    FERT    KIDS    CHROMO\r\n";
constexpr const char* kTableRule = "----  -----  -----  -----  ------  ------  --------\r\n";
constexpr const char* kBlockEnd = "\r\n*******************************\r\n\r\n";
// Text handed to the file at a time while a block is written.
constexpr std::size_t kPiece = 1 << 16;

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

// Text mode stores every LF byte as CR LF, the line ends of the formats and a gene of code
// 10 in a chromosome alike; a gene of code 13 stays as it is.
void translateLineFeeds(std::string& out, std::size_t from) {
  for (std::size_t at = out.find('\n', from); at != std::string::npos;
       at = out.find('\n', at + 2)) {
    out.insert(at, 1, '\r');
  }
}

// Formats one block into `out`; with a spill, hands over the text whenever it has grown past
// a piece, so that a large team's block is never whole in memory.
bool formatBlock(const Team& team, std::int32_t startYear, std::string& out,
                 const std::function<bool(std::string&)>& spill) {
  const TeamStats& s = team.stats;
  appendf(out, "**** Team Info, Year %d ****\r\n", startYear + s.year);
  appendf(out, "Max Fitness=%d Min Fitness=%d Avg Fitness=%.2f\r\n", s.maxFitness, s.minFitness,
          static_cast<double>(s.avgFitness));
  appendf(out, "Total population=%d Births=%d\r\n", s.population, s.births);
  appendf(out, "Age Deaths=%d Fitness Deaths=%d Total Deaths=%d\r\n", s.ageDeaths, s.fitDeaths,
          s.deaths);
  appendf(out, "Best Fitness=%d Best Avg Fitness=%.2f\r\n", s.bestMaxFitness,
          static_cast<double>(s.bestAvgFitness));
  appendf(out, "Highest population=%d Lowest Population=%d\r\n\r\n", s.highestPop, s.lowestPop);
  if (team.players.empty()) return true;
  out += kTableHeading;
  out += kTableRule;
  for (std::size_t i = 0; i < team.players.size(); ++i) {
    const Player& p = team.players[i];
    const std::size_t line = out.size();
    appendf(out, "%-5d %-2d     %-2d     %-2d     %-5.2f   %-3d     %-20s", p.id, p.fitness, p.age,
            p.lastMutation, static_cast<double>(p.fertility), p.children,
            team.players.chromosome(i));
    translateLineFeeds(out, line);
    out += "\r\n";
    if (spill && out.size() >= kPiece && !spill(out)) return false;
  }
  out += kBlockEnd;
  return true;
}

}  // namespace

std::string formatReportBlock(const Team& team, std::int32_t startYear) {
  std::string out;
  formatBlock(team, startYear, out, {});
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
  path_ = path;
  size_ = 0;
  return true;
}

bool ReportWriter::cutTo(std::uint64_t size) {
  if (stream_ == nullptr || size > size_) return false;
  errno = 0;
  std::error_code ec;
  if (std::fflush(stream_) != 0) {
    fail("written", errno != 0 ? errno : EIO);
    return false;
  }
  std::filesystem::resize_file(path_, size, ec);
  // Writing goes on at the new end (a position past 2 GiB fits no long on some systems).
  if (ec || std::fseek(stream_, 0, SEEK_END) != 0) {
    fail("cut short", ec ? ec.value() : (errno != 0 ? errno : EIO));
    return false;
  }
  size_ = size;
  return true;
}

bool ReportWriter::writeReportBlock(const Team& team, std::int32_t startYear) {
  if (stream_ == nullptr) return false;
  const auto write = [this](std::string& text) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stream_) == text.size();
    if (written) size_ += text.size();
    text.clear();
    if (!written) fail("written", errno != 0 ? errno : EIO);
    return written;
  };
  std::string text;
  text.reserve(kPiece + 1024);
  return formatBlock(team, startYear, text, write) && write(text);
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
