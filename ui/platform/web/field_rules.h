#pragma once

#include <cstddef>
#include <string_view>

namespace kestravin::platform::web {

/// How much of what the user typed or pasted an edit field keeps: `inserted` at the caret
/// changes its text of `before` characters into one of `result` characters. A number field
/// refuses (-1) anything but digits; no field grows past `maxChars` characters (0: no
/// limit), or past its length before, so what does not fit is cut off, as on the desktop.
int fieldKeeps(std::string_view inserted, std::size_t before, std::size_t result, bool digitsOnly,
               int maxChars);

}  // namespace kestravin::platform::web
