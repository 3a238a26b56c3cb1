#include "platform/codepage.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

TEST(CodePage, ValidUtf8IsUtf8) {
    EXPECT_EQ(platform::decode8Bit("\xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE"),
              QStringLiteral("слово"));
    EXPECT_EQ(platform::encode8Bit(QStringLiteral("слово")),
              QByteArray("\xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE"));
}

TEST(CodePage, OtherBytesAreWindows1251) {
    // "Ёжик №1" with the letters outside the Cyrillic block, and the unassigned 0x98.
    EXPECT_EQ(platform::decode8Bit("\xA8\xE6\xE8\xEA \xB9"
                                   "1"),
              QStringLiteral("Ёжик №1"));
    EXPECT_EQ(platform::decodeWindows1251("\x98\x80\xFF"), QStringLiteral("\uFFFDЂя"));
}
