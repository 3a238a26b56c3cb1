#include "app/model/cardtext.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

namespace {

// Every character 10 pixels wide on a 381-pixel label.
int tenEach(QStringView s) {
    return int(s.size()) * 10;
}

cardtext::Broken broken(const char* text) {
    return cardtext::breakLines(QString::fromUtf8(text), 381, tenEach);
}

} // namespace

TEST(CardLineBreaks, CountAndBreaks) {
    const struct {
        const char* text;
        const char* expected; // \r for a break
        int lines;
    } cases[] = {
        {"", "", 2}, // a hidden field keeps two lines
        {"собака", "собака", 2},
        {"a;b", "a\rb", 3},
        {"a; b；c", "a\r b\rc", 4},
        // Six alternatives: four breaks, the fifth separator stays.
        {"a;b;c;d;e;f", "a\rb\rc\rd\re;f", 6},
        // 57 characters are one and a half label widths.
        {"012345678901234567890123456789012345678901234567890123456", "", 3},
        // A long first segment wraps: fewer breaks are left.
        {"0123456789012345678901234567890123456789012345678901234567890123456789012345;b;c;d;e", "",
         6},
    };
    for (const auto& c : cases) {
        const cardtext::Broken b = broken(c.text);
        EXPECT_EQ(b.lines, c.lines) << c.text;
        if (*c.expected || !*c.text) {
            EXPECT_EQ(b.text, QString::fromUtf8(c.expected)) << c.text;
        }
    }
    // The long first segment: 76 characters wrap into one more line, so three breaks fit.
    EXPECT_EQ(
        broken(
            "0123456789012345678901234567890123456789012345678901234567890123456789012345;b;c;d;e")
            .text.count(u'\r'),
        3);
}

TEST(CardFields, OnANewCardOnlyTheTopKindShows) {
    TDictRec dog{
        QStringLiteral("犬"), QStringLiteral("いぬ"), QStringLiteral("собака"), 0, 0, true};
    TDictRec hello{QString(), QStringLiteral("こんにちは"), QStringLiteral("привет"), 0, 0, true};
    using cardtext::fieldText;
    EXPECT_EQ(fieldText(dog, wkKanji, true, wkKanji), QStringLiteral("犬"));
    EXPECT_EQ(fieldText(dog, wkKana, true, wkKanji), QString());
    EXPECT_EQ(fieldText(dog, wkTranslation, true, wkKanji), QString());
    EXPECT_EQ(fieldText(dog, wkKanji, true, wkKana), QString());
    EXPECT_EQ(fieldText(dog, wkKana, true, wkKana), QStringLiteral("いぬ"));
    EXPECT_EQ(fieldText(dog, wkKana, true, wkTranslation), QString());
    EXPECT_EQ(fieldText(dog, wkTranslation, true, wkTranslation), QStringLiteral("собака"));
    // Without kanji the kana stands in for the top kind kanji, and shows.
    EXPECT_EQ(fieldText(hello, wkKana, true, wkKanji), QStringLiteral("こんにちは"));
    for (TWordKind k : {wkKanji, wkKana, wkTranslation})
        EXPECT_FALSE(fieldText(dog, k, false, wkKana).isEmpty()) << k;
}

TEST(CardFields, MainLabelKinds) {
    using cardtext::mainKinds;
    const struct {
        bool hasKanji;
        quint8 top, bottom;
        TWordKind lab1, lab2;
    } cases[] = {
        {true, wkKanji, wkKana, wkKanji, wkKana},
        {true, wkKana, wkKana, wkKana, wkKana},
        {false, wkKanji, wkKana, wkKana, wkTranslation},
        {false, wkTranslation, wkKanji, wkTranslation, wkKana},
        {false, wkKana, wkKanji, wkKana, wkTranslation},
        {false, wkTranslation, wkKana, wkTranslation, wkKana},
    };
    for (const auto& c : cases) {
        const cardtext::MainKinds k = mainKinds(c.hasKanji, c.top, c.bottom);
        EXPECT_EQ(k.top, c.lab1) << int(c.top) << int(c.bottom) << c.hasKanji;
        EXPECT_EQ(k.second, c.lab2) << int(c.top) << int(c.bottom) << c.hasKanji;
    }
}
