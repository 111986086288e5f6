#pragma once

#include <filesystem>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "config/parameters.h"

namespace kestravin {

/// The constants file read at start-up, in the working directory.
inline constexpr std::string_view kConstantsFileName = "consts.txt";
/// The message shown when it cannot be opened.
inline constexpr std::string_view kConstantsMissingMessage =
    "Error opening consts.txt, all constants set to default";

/// What reading a constants file gave.
struct ConstantsReading {
  bool opened = false;  // false: the file could not be opened and params are the defaults
  SimParams params;
  std::vector<std::string> problems;  // what could not be read, one line each
};

/// Reads the fourteen label-and-value entries. An unreadable number keeps the previous value
/// (0) and, as the reader simply goes on with the next word, may shift the following values;
/// every such entry, a file that ends early and an over-long fitness string are reported.
ConstantsReading readConstants(const std::filesystem::path& path);
ConstantsReading readConstants(std::istream& in);

/// The parameters as a constants file that readConstants reads back unchanged: one line per
/// entry, the option label without spaces ("MutationDiv:") and the value; LF line ends. The
/// fitness string must be one word (no white space).
std::string formatConstants(const SimParams& params);

}  // namespace kestravin
