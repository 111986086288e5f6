#pragma once

#include <string>
#include <string_view>

namespace kestravin::ui {

/// Writes `bytes` as the file at `path`, replacing it whole or not at all: they go into a new
/// file beside it, which then takes its name. On failure (false, with `error` a sentence for
/// the user) any file that was there is as it was, and nothing is left behind.
bool writeFileWhole(const std::string& path, std::string_view bytes, std::string& error);

}  // namespace kestravin::ui
