#include "base/Text.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/TestSupport.h"

namespace vb {
namespace {

TEST(Numbers, LeadingNumberReadsTheLeadingDecimalNumberOnly) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"253", 253},     {"-4", -4},      {"+7", 7},      {"  12.5xyz", 12.5}, {"1e3", 1},
        {"", 0},          {"abc", 0},      {"-", 0},       {".5", 0.5},         {"3.", 3},
        {"1 2\t3\n4", 1234}, {"- 4", -4}, {"\t\n 60", 60}, {"1.2.3", 1.2},      {"0x10", 0},
        {"--1", 0},       {"412\r", 412},  {"99999999999999999999", 1e20}, {"1\r2", 1},  // CR ends a number
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(Numbers, RoundingTiesGoToTheEvenNeighbourAndCheckedConversionsRefuseWhatDoesNotFit) {
    for (const auto& [value, rounded] : {std::pair{0.5, 0.0}, {1.5, 2.0}, {2.5, 2.0}, {-2.5, -2.0}, {-3.5, -4.0},
                                         {2.4999, 2.0}, {2.5001, 3.0}})
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(32767.5), std::nullopt);  // rounds to 32768
    EXPECT_EQ(toInt16(-32768.5), -32768);       // tie to even
    EXPECT_EQ(toInt16(-32769.0), std::nullopt);
    EXPECT_EQ(toInt16(std::nan("")), std::nullopt);
    EXPECT_EQ(toInt32(2147483647.0), 2147483647);
    EXPECT_EQ(toInt32(2147483648.0), std::nullopt);
    EXPECT_EQ(toInt32(HUGE_VAL), std::nullopt);
    EXPECT_EQ(toInt16(std::int64_t{40000}), std::nullopt);
    EXPECT_EQ(toInt16(std::int64_t{-32768}), -32768);
    EXPECT_EQ(toInt32(std::int64_t{1} << 31), std::nullopt);
    EXPECT_EQ(shortestFloat(0.305f), "0.305");
    EXPECT_EQ(shortestDouble(0.1), "0.1");
}

TEST(Text, CodePageConversionsKeepEveryByteAndUtf8IsCheckedAndCounted) {
    EXPECT_EQ(cp1252ToUtf8("Caf\xE9 \x80\xFE"), "Café €þ");
    EXPECT_EQ(utf8ToCp1252("Café €"), "Caf\xE9 \x80");
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
    EXPECT_EQ(utf8ToCp1252("a\xE2\x82"), "a??");  // cut sequence
    EXPECT_EQ(utf8ToCp1252("Ω"), "?");
    EXPECT_EQ(utf8ToCp1252("\xC0\xAF"), "??");  // overlong
    // File text is UTF-8 when it is valid (a byte order mark dropped), else Windows-1252.
    EXPECT_EQ(fileTextToUtf8("Gr\xC3\xB6\xC3\x9F" "e"), "Größe");
    EXPECT_EQ(fileTextToUtf8("\xEF\xBB\xBFGr\xC3\xB6\xC3\x9F" "e"), "Größe");
    EXPECT_EQ(fileTextToUtf8("Gr\xF6\xDF" "e"), "Größe");
    EXPECT_TRUE(fitsCp1252("Café € ?"));
    EXPECT_FALSE(fitsCp1252("łukasz"));
    EXPECT_FALSE(fitsCp1252("a\xC3"));
    // UTF-8 text: valid forms only, lengths and cuts in characters, controls escaped.
    EXPECT_TRUE(isUtf8("K\xC3\xB6nigsetappe"));
    for (const char* bad : {"\xF6", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "a\x80"})
        EXPECT_FALSE(isUtf8(bad)) << test::hex(toBytes(bad));
    EXPECT_EQ(utf8Length("Zürich-Ötztal-Süd"), 17u);
    EXPECT_EQ(utf8Left("Zürich-Ötztal-Süd", 16), "Zürich-Ötztal-Sü");
    EXPECT_EQ(escapeControls("a\tb\x1B[2J\x7F\r\n"), "a\\x09b\\x1B[2J\\x7F\\x0D\\x0A");
    EXPECT_EQ(escapeControls("\xC2\x9B" "31m \xC2\x80\xC2\x9F\xC2\xA0"), "\\u009B31m \\u0080\\u009F\xC2\xA0");
    EXPECT_EQ(escapeControls("C:\\Rides\\Zürich €"), "C:\\Rides\\Zürich €");
    EXPECT_EQ(trimSpaces("  a b  "), "a b");
    EXPECT_EQ(trimSpaces("   "), "");
    EXPECT_EQ(trimSpaces("\ta\t"), "\ta\t");
}

}  // namespace
}  // namespace vb
