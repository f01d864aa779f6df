// Texts on their way from the core layers into the windows.
#include "shell/ShellText.h"

#include <gtest/gtest.h>

TEST(ShellText, ValidUtf8IsTakenAsItIsAndOtherBytesAsWindows1252) {
    EXPECT_EQ(ToDisplayText("'x' ist kein g\xC3\xBCltiger Integerwert"),
              QString::fromUtf8("'x' ist kein gültiger Integerwert"));
    EXPECT_EQ(ToDisplayText("Caf\xE9 \x80"), QString::fromUtf8("Café €"));
    EXPECT_EQ(ToDisplayText("HDG: 90.0\xC2\xB0"), QString::fromUtf8("HDG: 90.0°"));
}

TEST(ShellText, MalformedUtf8SequencesAreNotUtf8) {
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));             // cut short at the end
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));         // cut short at the end
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // beyond Unicode
    EXPECT_FALSE(IsValidUtf8("a\x80z"));           // stray continuation byte
}

TEST(ShellText, MessageLineBreaksBecomeLineFeeds) {
    EXPECT_EQ(ToMessageText("Warnings and Errors:\r\none\r\ntwo"),
              QStringLiteral("Warnings and Errors:\none\ntwo"));
    EXPECT_EQ(FromDisplayText(QString::fromUtf8("Café")), "Caf\xC3\xA9");
}
