#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestravin::ui {

/// How the desktop program is started from a command line.
inline constexpr std::string_view kDesktopUsage =
    "usage: kestravin [--seed N]\n"
    "  --seed N  every run starts from the seed N (0..4294967295) instead of the clock";

/// What the command line asks for.
struct DesktopArgs {
  std::optional<std::uint32_t> seed;
  bool help = false;  // --help or -h
  std::string error;  // not empty: the command line cannot be used, and why
};

/// Reads the arguments after the program's name (those the toolkit took are gone).
DesktopArgs parseDesktopArgs(int argc, const char* const* argv);

}  // namespace kestravin::ui
