// Settings are integers kept as decimal text; this is the text side of it.
#pragma once
#include <cstddef>

namespace pinnafex {

constexpr std::size_t kSettingTextSize = 256;  // read buffers, terminator included

// Decimal text to integer: leading white space, optional sign, digits up to the first
// non-digit; no digits gives 0; values beyond 32 bits saturate, as the platform's strtol does.
int ParseSettingInt(const char* text);

// How a stored integer is read back: a flag as on (1) for anything but 0; the bar's edge as
// stored while it is one of the four edge codes (0 left, 1 top, 2 right, 3 bottom), else the left;
// a mask of slots with only the bits of the twenty slots kept (bit n - 1 for slot n).
enum class SettingRange { kOnOff, kEdge, kSlotMask };
int SettingInRange(SettingRange range, int stored);

// The integer as "%i" would print it.
void FormatSettingInt(int value, char (&out)[kSettingTextSize]);

// The text held by a stored value of `size` bytes, or false when it holds none that fits:
// not a string type, or longer than the buffer. A missing terminator is supplied; the text
// ends at its first NUL.
bool SettingTextFromValue(bool isString, const unsigned char* data, std::size_t size,
                          char (&out)[kSettingTextSize]);

}  // namespace pinnafex
