#pragma once
// Text rules shared by every reader and writer.
//
// Files hold 8-bit text in Windows-1252; inside the program text is UTF-8.
// Numbers are taken from text by one rule everywhere: the leading decimal
// number, with blanks, tabs and line feeds skipped wherever they stand, an
// optional sign, digits and an optional fraction. There is no exponent, and a
// text without a number reads 0. Numbers made whole round to the nearest
// integer, ties to even.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vb {

/// The decimal text of a whole number, for messages.
inline std::string str(std::int64_t value) { return std::to_string(value); }

/// Converts Windows-1252 bytes to UTF-8. The five unassigned codes (0x81, 0x8D,
/// 0x8F, 0x90, 0x9D) map to the C1 control of the same number, so every byte
/// survives a round trip.
std::string cp1252ToUtf8(std::string_view bytes);

/// Converts UTF-8 to Windows-1252, writing '?' for a character without a code
/// there and for each byte of a malformed sequence.
std::string utf8ToCp1252(std::string_view utf8);

/// Appends the UTF-8 form of a code point.
void appendUtf8(std::string& out, char32_t codePoint);

/// True when the text is well-formed UTF-8 (no overlong forms, no surrogates).
bool isUtf8(std::string_view text);

/// Text of a file as UTF-8: kept as it is when it is valid UTF-8 (a byte order
/// mark dropped), otherwise read as Windows-1252.
std::string fileTextToUtf8(std::string_view bytes);

/// True when every character of UTF-8 text has a Windows-1252 code.
bool fitsCp1252(std::string_view utf8);

/// UTF-8 text made safe for a terminal: C0 controls (tab included) and DEL
/// become \xNN, C1 controls \u0080..\u009F; everything else, backslashes
/// included, stays as it is.
std::string escapeControls(std::string_view utf8);

/// Number of characters (code points) in UTF-8 text; a malformed byte counts as one.
std::size_t utf8Length(std::string_view utf8);

/// The first `count` characters of UTF-8 text.
std::string utf8Left(std::string_view utf8, std::size_t count);

/// The leading decimal number of a text, 0 when there is none ("1e3" reads 1,
/// " - 4" reads -4, "12 5" reads 125).
double leadingNumber(std::string_view text);

/// Rounds to the nearest whole number, ties to even (2.5 → 2, 3.5 → 4, -2.5 → -2).
double roundHalfEven(double value);

/// The value rounded ties-to-even, when it fits a signed 16-bit integer.
std::optional<std::int16_t> toInt16(double value);

/// The value rounded ties-to-even, when it fits a signed 32-bit integer.
std::optional<std::int32_t> toInt32(double value);

/// The value when it fits a signed 16-bit integer.
std::optional<std::int16_t> toInt16(std::int64_t value);

/// The value when it fits a signed 32-bit integer.
std::optional<std::int32_t> toInt32(std::int64_t value);

/// The text without spaces (only ' ') at both ends.
std::string_view trimSpaces(std::string_view text);

/// Shortest decimal text that reads back as the same 32-bit float ("0.305", "12", "-3.5").
std::string shortestFloat(float value);

/// Shortest decimal text that reads back as the same 64-bit float.
std::string shortestDouble(double value);

}  // namespace vb
