#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace kestravin {

class Team;

/// One block of the yearly report: six statistics lines and, when the team has players, the
/// table of players and a closing line. Lines end in CR LF on every platform.
std::string formatReportBlock(const Team& team, std::int32_t startYear);

/// Writes the report of a run into a file of its own.
///
/// By default each report goes to the first free name "generation N.txt" in a folder, N
/// counting up from 0 for the life of the writer and never reused. A fixed path can be set
/// instead (the simulator's --report). Every failure is kept as a readable message.
class ReportWriter {
 public:
  explicit ReportWriter(std::filesystem::path folder = {});
  ~ReportWriter();
  ReportWriter(const ReportWriter&) = delete;
  ReportWriter& operator=(const ReportWriter&) = delete;

  /// Every report goes to this file instead of a numbered one.
  void setFixedPath(std::filesystem::path path);

  /// Chooses a name and creates the file; false (with error()) when it cannot be created.
  bool openReport();
  /// Appends one block for the team to the open report; false when the write failed.
  bool writeReportBlock(const Team& team, std::int32_t startYear);
  /// Writes out what is buffered and closes the file; false when that failed. Does nothing
  /// (and succeeds) when no report is open.
  bool closeReport();

  /// Bytes written into the open (or last) report.
  std::uint64_t size() const { return size_; }
  /// Drops what the open report holds beyond its first `size` bytes (a block it is not to
  /// keep); false (with error()) when the file could not be cut.
  bool cutTo(std::uint64_t size);

  bool isOpen() const { return stream_ != nullptr; }
  /// The file name of the current or last report, as shown to the user.
  const std::string& name() const { return name_; }
  /// What went wrong last, as a sentence for the user.
  const std::string& error() const { return error_; }
  /// The number the next numbered name will try.
  std::int32_t reportCounter() const { return counter_; }

 private:
  std::filesystem::path choosePath();
  void fail(const char* what, int errorNumber);

  std::filesystem::path folder_;
  std::filesystem::path fixedPath_;
  std::FILE* stream_ = nullptr;
  std::filesystem::path path_;
  std::uint64_t size_ = 0;
  std::int32_t counter_ = 0;
  std::string name_;
  std::string error_;
};

}  // namespace kestravin
