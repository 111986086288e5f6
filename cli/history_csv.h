#pragma once

#include <cstdint>
#include <string>

namespace kestravin {

class History;

/// The history of years 0..lastYear as CSV: a header line, then one row per year, the
/// average fitness with two decimals. Lines end in LF.
std::string formatHistoryCsv(const History& history, std::int32_t lastYear);

/// Writes formatHistoryCsv to a file; on failure returns false and sets error.
bool writeHistoryCsv(const std::string& path, const History& history, std::int32_t lastYear,
                     std::string& error);

}  // namespace kestravin
