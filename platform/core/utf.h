// UTF-8 and UTF-16 conversions for the device's edges: file names, script
// text, SDL's text input and the screen dump.
#pragma once

#include <string>
#include <string_view>

namespace utf {

// Surrogate pairs become one code point; a lone surrogate is encoded as it is.
std::string ToUtf8(std::u16string_view text);

// Stops at the first malformed sequence with *ok false (what came before it is
// returned); code points past the basic plane become surrogate pairs.
std::u16string FromUtf8(std::string_view text, bool* ok);

}  // namespace utf
