#include "app/model/runrules.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

TEST(FormatCountdown, HoursOnlyWhenThereAreAny) {
    const std::pair<qint32, const char*> cases[] = {
        {0, "00:00"},       {59, "00:59"},       {60, "01:00"},       {3599, "59:59"},
        {3600, "01:00:00"}, {35999, "09:59:59"}, {36000, "10:00:00"}, {359999, "99:59:59"}};
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(FormatCountdown(seconds), QString::fromLatin1(text)) << seconds;
}
