#pragma once

#include <string_view>

namespace kestravin::platform::web {

/// Whether an edit field takes what the user typed or pasted: `inserted` at the caret, which
/// makes its text `result`. A number field takes digits only, and no field takes more than
/// `maxChars` characters (0: any number), as the desktop's fields do.
bool fieldTakes(std::string_view inserted, std::string_view result, bool digitsOnly, int maxChars);

}  // namespace kestravin::platform::web
