// The About box's message from abouttxt.dat, and the part of it a position
// on the box's bars shows.
#pragma once

#include <string>
#include <string_view>

namespace qn {

// The width of the bars in pixels: a drag across them runs over the message.
inline constexpr int kAboutBarWidth = 361;

// The file's first line: everything before the first carriage return or
// Ctrl-Z. A line feed is part of the line.
std::string aboutMessage(std::string_view content);

// Shown when abouttxt.dat cannot be read: "<", 253 dashes, ">".
std::string aboutFallbackMessage();

// The bars' position for a drag at x pixels (0 counting as 1) over a range
// of 0 to maximum: maximum / (width / x) in floating point, rounded half to
// even, held within the range.
int aboutBarPosition(int maximum, int x);

// The message's length in characters (UTF-8 sequences): the bars' range.
int aboutLength(const std::string& message);

// The message from its character `position` on; shorter than 255
// characters, it is followed by "<" and dashes up to 256 characters.
std::string aboutSlice(const std::string& message, int position);

}  // namespace qn
