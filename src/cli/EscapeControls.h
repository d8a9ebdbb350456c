#pragma once

#include <string>
#include <string_view>

namespace lodestar::cli {

// A name as a terminal may show it: control characters (C0, DEL and C1) and bytes that are not
// UTF-8 become \xNN, and a backslash becomes "\\", so a crafted file name can neither move the
// cursor nor pass for another name. Everything else stays as it is.
std::string EscapeControls(std::string_view text);

// True when text is UTF-8 throughout: no stray bytes, overlong forms or surrogates.
bool IsUtf8(std::string_view text);

// The last characters of text, at most width bytes with a leading "...", cut at a character.
std::string CutFromLeft(const std::string& text, std::size_t width);

} // namespace lodestar::cli
