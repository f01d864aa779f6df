#include "core/settings/Version.h"

#include <gtest/gtest.h>

namespace {

TVersion VersionOf(const std::string& text) {
    TVersion version;
    version.SetVersion(text);
    return version;
}

void ExpectNumbers(const TVersion& v, int32_t major, int32_t minor, int32_t release,
                   int32_t build) {
    EXPECT_EQ(v.Major, major);
    EXPECT_EQ(v.Minor, minor);
    EXPECT_EQ(v.Release, release);
    EXPECT_EQ(v.Build, build);
}

TEST(Version, DottedTextGivesFourNumbersAndMissingOrBadPiecesGiveZero) {
    ExpectNumbers(VersionOf("1.0.0.0"), 1, 0, 0, 0);
    ExpectNumbers(VersionOf("2.5"), 2, 5, 0, 0);
    ExpectNumbers(VersionOf("1.x.3.4"), 1, 0, 3, 4);
    ExpectNumbers(VersionOf(" 3 . 14 .\t15 . 92 "), 3, 14, 15, 92);
    ExpectNumbers(VersionOf("1.2.3.4.5.6"), 1, 2, 3, 4);
    ExpectNumbers(VersionOf(""), 0, 0, 0, 0);
    ExpectNumbers(VersionOf("..7"), 0, 0, 7, 0);
}

TEST(Version, SetVersionForgetsTheNumbersOfTheTextBefore) {
    TVersion version = VersionOf("9.9.9.9");
    version.SetVersion("4");
    ExpectNumbers(version, 4, 0, 0, 0);
}

TEST(Version, TemplateGetsEachNumberOnlyInPlaceOfTheFirstToken) {
    const TVersion version = VersionOf("10.20.30.40");
    EXPECT_EQ(version.FormatVersion("%MAJOR.%MINOR.%RELEASE"), "10.20.30");
    EXPECT_EQ(version.FormatVersion("%MAJOR and %MAJOR"), "10 and %MAJOR");
    EXPECT_EQ(version.FormatVersion("b%BUILD r%RELEASE"), "b40 r30");
    EXPECT_EQ(version.FormatVersion("no tokens"), "no tokens");
    EXPECT_EQ(version.FormatVersion("%major"), "%major");
}

TEST(Version, EmptyTemplateJoinsAllFourNumbersWithPoints) {
    EXPECT_EQ(VersionOf("2.5").FormatVersion(""), "2.5.0.0");
    EXPECT_EQ(VersionOf("1.0.0.0").FormatVersion(""), "1.0.0.0");
}

TEST(Version, BuildVersionIsFourDottedNumbersThatSurviveARoundTrip) {
    const std::string text = GetVersionString();
    TStringList parts;
    ASSERT_EQ(SplitText(text, ".", parts), 4) << text;
    for (const std::string& part : parts) {
        EXPECT_TRUE(TryStrToInt(part).has_value()) << part;
    }
    EXPECT_EQ(TVersion().FormatVersion(""), text);
}

TEST(SplitText, PiecesBetweenSeparatorsIncludeEmptyOnes) {
    TStringList parts{"old"};
    EXPECT_EQ(SplitText("a..b.", ".", parts), 4);
    EXPECT_EQ(parts, (TStringList{"a", "", "b", ""}));
    EXPECT_EQ(SplitText("no separator", ".", parts), 1);
    EXPECT_EQ(parts, (TStringList{"no separator"}));
    EXPECT_EQ(SplitText("", ".", parts), 1);
    EXPECT_EQ(parts, (TStringList{""}));
    EXPECT_EQ(SplitText("ab::cd::::e", "::", parts), 4);
    EXPECT_EQ(parts, (TStringList{"ab", "cd", "", "e"}));
    EXPECT_EQ(SplitText("x.y", "", parts), 1);
    EXPECT_EQ(parts, (TStringList{"x.y"}));
}

} // namespace
