#include "cli/constants_input.h"

#include "config/constants_file.h"

namespace kestravin {

std::optional<SimParams> readUsableConstants(const std::filesystem::path& path,
                                             std::vector<std::string>& problems) {
  const ConstantsReading reading = readConstants(path);
  if (!reading.opened) {
    problems.push_back("cannot open the constants file " + path.string());
    return std::nullopt;
  }
  problems = reading.problems;
  for (const std::string& problem : checkParams(reading.params)) problems.push_back(problem);
  if (!problems.empty()) return std::nullopt;
  return reading.params;
}

}  // namespace kestravin
