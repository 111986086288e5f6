#include "ui/command_line.h"

#include <limits>

namespace kestravin::ui {

namespace {

// Decimal digits only, within 0..4294967295.
std::optional<std::uint32_t> parseSeed(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

}  // namespace

DesktopArgs parseDesktopArgs(int argc, const char* const* argv) {
  // Help wins over anything else on the line.
  for (int k = 1; k < argc; ++k) {
    const std::string_view arg = argv[k];
    if (arg == "--help" || arg == "-h") return {std::nullopt, true, {}};
  }
  DesktopArgs args;
  for (int k = 1; k < argc; ++k) {
    const std::string_view arg = argv[k];
    if (arg == "--seed") {
      if (args.seed) {
        args.error = "--seed is given twice";
        return args;
      }
      if (k + 1 >= argc) {
        args.error = "--seed needs a number";
        return args;
      }
      args.seed = parseSeed(argv[++k]);
      if (!args.seed) {
        args.error = "--seed " + std::string(argv[k]) + ": the seed is a number 0..4294967295";
        return args;
      }
    } else {
      args.error = "unknown option " + std::string(arg);
      return args;
    }
  }
  return args;
}

}  // namespace kestravin::ui
