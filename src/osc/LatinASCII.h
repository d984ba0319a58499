#pragma once

#include <string>
#include <string_view>

namespace pexlora::detail {

// True when every byte is below 0x80: the exact ASCII test. CR LF, the only
// character made of two ASCII scalars, passes as its two bytes do.
bool isASCII(std::string_view text);

// True when every byte lies in the printable range U+0020…U+007E.
bool isPrintableASCII(std::string_view text);

// ICU's "Latin-ASCII" transform of UTF-8 text; the text unchanged when the
// transform is unavailable. Invalid UTF-8 comes back as U+FFFD.
std::string transliterateLatinASCII(std::string_view text);

// The lossy conversion every written text goes through: transliterate, then one "?"
// for each UTF-16 code unit outside the printable range (so a character beyond the
// BMP, two code units, becomes "??"). Printable ASCII is returned as it is without
// touching ICU, which is what the transform would do to it anyway.
std::string printableASCII(std::string_view text);

} // namespace pexlora::detail
