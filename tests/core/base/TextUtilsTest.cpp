#include "core/base/TextUtils.h"
#include "core/base/Errors.h"

#include <clocale>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(TextUtils, IntegersAllowBlanksAndHexOnlyWhenAsked) {
    EXPECT_EQ(TryStrToInt(" 42 "), 42);
    EXPECT_EQ(TryStrToInt("-7"), -7);
    EXPECT_EQ(TryStrToInt("0x50"), std::nullopt);
    EXPECT_EQ(TryStrToInt("0x50", true), 80);
    EXPECT_EQ(TryStrToInt("0X1f", true), 31);
    EXPECT_EQ(TryStrToInt("4 2"), std::nullopt);
    EXPECT_EQ(TryStrToInt(""), std::nullopt);
    EXPECT_EQ(TryStrToInt("1.5"), std::nullopt);
    EXPECT_EQ(TryStrToInt("99999999999"), std::nullopt);
    EXPECT_EQ(StrToIntDef("yes", 9), 9);
}

TEST(TextUtils, ConversionErrorsCarryTheRunTimeTexts) {
    try {
        StrToInt("abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' ist kein gültiger Integerwert");
    }
    try {
        StrToFloat("1,5");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'1,5' ist kein gültiger Gleitkommawert");
    }
}

TEST(TextUtils, RealsUseThePeriodWhateverTheLocale) {
    // Put back on every way out: the other tests of this process read numbers too. The name
    // setlocale answers with is overwritten by its next call, so it is copied.
    struct TRestoreNumberLocale {
        std::string Name = std::setlocale(LC_NUMERIC, nullptr);
        ~TRestoreNumberLocale() { std::setlocale(LC_NUMERIC, Name.c_str()); }
    } restore;
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr)
        << "the locale de_DE.UTF-8 is not installed; scripts/install-deps.sh generates it (or, "
           "as root: localedef -i de_DE -f UTF-8 de_DE.UTF-8)";
    // Without a comma as its decimal separator the locale would prove nothing.
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_DOUBLE_EQ(StrToFloat(" -100.25 "), -100.25);
    EXPECT_DOUBLE_EQ(StrToFloat("5"), 5.0);
    EXPECT_DOUBLE_EQ(StrToFloat("1e3"), 1000.0);
    EXPECT_EQ(TryStrToFloat("inf"), std::nullopt);
    EXPECT_EQ(TryStrToFloat("0x10"), std::nullopt);
    EXPECT_EQ(TryStrToFloat("."), std::nullopt);
    EXPECT_EQ(Format("%.2f|%-8.2f|", 1.5, -3.0), "1.50|-3.00   |");
}

TEST(TextUtils, CaseFoldingTouchesOnlyAsciiLetters) {
    EXPECT_EQ(UpperCase("art\\road.raw \xe4"), "ART\\ROAD.RAW \xe4");
    EXPECT_TRUE(SameText("Abc", "aBC"));
    EXPECT_FALSE(SameText("\xe4", "\xc4"));
    EXPECT_TRUE(EndsWithText("x.pod", ".POD"));
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
}

TEST(TextUtils, NameValueLookupIgnoresCaseAndTakesTheFirstLine) {
    TNameValueList lines;
    for (const char* line : {"ART\\A.RAW=FONE", "art\\a.raw=FTWO", "B=", "NOVALUE", "=X"}) {
        lines.Add(line);
    }
    EXPECT_EQ(lines.Find("Art\\A.raw"), "FONE");
    EXPECT_EQ(lines.Find("B"), "");
    EXPECT_EQ(lines.Find("C"), std::nullopt);
    EXPECT_EQ(lines.Find("NOVALUE"), std::nullopt) << "a line without = names nothing";
    EXPECT_EQ(lines.Find(""), "X");
    EXPECT_EQ(lines.Lines(),
              (TStringList{"ART\\A.RAW=FONE", "art\\a.raw=FTWO", "B=", "NOVALUE", "=X"}));
    EXPECT_EQ(NamePart("X=Y=Z"), "X");
    EXPECT_EQ(ValuePart("X=Y=Z"), "Y=Z");
}

TEST(TextUtils, Windows1252TextBecomesUtf8) {
    EXPECT_EQ(Cp1252ToUtf8("\xb0"), "\xc2\xb0");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xe2\x82\xac");
    EXPECT_EQ(Cp1252ToUtf8("abc"), "abc");
}

} // namespace
