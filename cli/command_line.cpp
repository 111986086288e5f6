#include "cli/command_line.h"

#include <limits>

namespace kestravin {

std::optional<std::string> CommandLine::name(std::string& error, bool mayRepeat) {
  current_ = args_[next_++];
  if (current_.rfind("--", 0) != 0 && current_ != "-h") {
    error = "unexpected argument '" + current_ + "' (see --help)";
    return std::nullopt;
  }
  if (!seen_.insert(current_).second && !mayRepeat) {
    error = "option " + current_ + " is given twice";
    return std::nullopt;
  }
  return current_;
}

std::optional<std::string> CommandLine::value(std::string& error) {
  if (next_ >= args_.size() || args_[next_].empty()) {
    error = "option " + current_ + " needs a value";
    return std::nullopt;
  }
  const std::string& v = args_[next_];
  if (v.rfind("--", 0) == 0) {
    error = "option " + current_ + " needs a value, not the option '" + v + "'";
    return std::nullopt;
  }
  ++next_;
  return v;
}

namespace {

std::optional<std::uint64_t> digits(std::string_view text, std::uint64_t max) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > max) return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<std::uint32_t> parseSeed(std::string_view text) {
  const auto value = digits(text, std::numeric_limits<std::uint32_t>::max());
  if (!value) return std::nullopt;
  return static_cast<std::uint32_t>(*value);
}

std::optional<std::int64_t> parseCount(std::string_view text, std::int64_t least) {
  const auto value = digits(text, std::numeric_limits<std::int64_t>::max());
  if (!value || static_cast<std::int64_t>(*value) < least) return std::nullopt;
  return static_cast<std::int64_t>(*value);
}

}  // namespace kestravin
