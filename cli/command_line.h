#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kestravin {

/// Reads a command line of options, each a name and, for most, a value: "--seed 7". Refuses
/// a repeated option, a missing value and a value that is itself an option ("--report
/// --help"), with a one-line message.
class CommandLine {
 public:
  explicit CommandLine(std::vector<std::string> args) : args_(std::move(args)) {}

  /// Whether arguments are left.
  bool more() const { return next_ < args_.size(); }
  /// The next option's name; a second use of a name (other than those that may repeat) is
  /// an error.
  std::optional<std::string> name(std::string& error, bool mayRepeat = false);
  /// The value of the option just named.
  std::optional<std::string> value(std::string& error);

 private:
  std::vector<std::string> args_;
  std::size_t next_ = 0;
  std::string current_;
  std::set<std::string> seen_;
};

/// A seed: decimal digits only (leading zeros allowed) for a value in 0..4294967295.
std::optional<std::uint32_t> parseSeed(std::string_view text);

/// A whole number of at least `least`, digits only.
std::optional<std::int64_t> parseCount(std::string_view text, std::int64_t least);

}  // namespace kestravin
