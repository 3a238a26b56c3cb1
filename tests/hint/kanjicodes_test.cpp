#include "hint/kanjicodes.h"
#include "tests/support/printers.h"

#include <QCryptographicHash>
#include <QFile>
#include <gtest/gtest.h>

// The resources live in a static library; this reference makes the linker keep them.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace {

class BuiltInTable : public testing::Test {
protected:
    static void SetUpTestSuite() { initResources(); }

    static const KanjiCodes& table() { return KanjiCodes::builtIn(); }
};

// The compiled-in bytes, exactly as the generator writes them.
TEST_F(BuiltInTable, ResourceHoldsTheGeneratedBytes) {
    QFile file(QStringLiteral(":/RCDATA_0"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();

    EXPECT_EQ(data.size(), 95338); // 6355 lines of 13 characters plus CR LF, then 13
    EXPECT_TRUE(data.startsWith("0x4EDD=0x8157\r\n0x4E9C=0x889F\r\n"));
    EXPECT_TRUE(data.endsWith("\r\n0x7199=0xEAA4")); // no line end after the last line
    EXPECT_EQ(data.count("\r\n"), 6355);
    EXPECT_EQ(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex(),
              QByteArray("a3063b96513982efa92517b9e506a2308fcc1c425d08174725e06855d9afdd05"));
}

TEST_F(BuiltInTable, LoadsEveryLineInResourceOrder) {
    const QByteArrayList& lines = table().lines();
    ASSERT_EQ(lines.size(), 6356);
    struct Row {
        qsizetype number; // from 1
        const char* text;
    };
    // The symbol-row ideograph first, then the first and last kanji of each level.
    for (const Row& row :
         {Row{1, "0x4EDD=0x8157"}, Row{2, "0x4E9C=0x889F"}, Row{2966, "0x8155=0x9872"},
          Row{2967, "0x5F0C=0x989F"}, Row{6355, "0x51DC=0xEAA3"}, Row{6356, "0x7199=0xEAA4"}})
        EXPECT_EQ(lines[row.number - 1], QByteArray(row.text)) << "line " << row.number;
}

// For every line, the key the caller forms for the line's character finds that very line (the
// names are unique and in the key's form), and the file name is the value's own four digits.
TEST_F(BuiltInTable, EveryKanjiFindsItsOwnLineAndPicture) {
    for (const QByteArray& line : table().lines()) {
        SCOPED_TRACE(line.toStdString());
        ASSERT_EQ(line.size(), 13);
        const QString name = QString::fromLatin1(line.first(6));
        const QString value = QString::fromLatin1(line.sliced(7));
        bool ok = false;
        const auto unit = char16_t(name.sliced(2).toUShort(&ok, 16));
        ASSERT_TRUE(ok);

        EXPECT_EQ(KanjiCodes::keyOf(unit), name);
        EXPECT_EQ(table().LookupCode(name), value);
        const std::optional<quint16> code = table().codeOf(unit);
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(KanjiCodes::pictureFileName(*code), value.sliced(2) + QStringLiteral(".gif"));
    }
}

struct UnitCase {
    const char* name;
    char16_t unit;
    const char* value; // empty: not in the table
    const char* file;
};

class UnitLookup : public BuiltInTable, public testing::WithParamInterface<UnitCase> {};

TEST_P(UnitLookup, KeyOfTheUnitGivesTheCodeAndFile) {
    const UnitCase& c = GetParam();
    EXPECT_EQ(table().LookupCode(KanjiCodes::keyOf(c.unit)), QLatin1String(c.value));
    const std::optional<quint16> code = table().codeOf(c.unit);
    if (*c.value == '\0') {
        EXPECT_FALSE(code.has_value());
    } else {
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(KanjiCodes::pictureFileName(*code), QLatin1String(c.file));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Units, UnitLookup,
    testing::Values(UnitCase{"Kanji_a", u'亜', "0x889F", "889F.gif"},
                    UnitCase{"Kanji_ki_LastLine", u'熙', "0xEAA4", "EAA4.gif"},
                    UnitCase{"Kanji_rin_AddedIn1990", u'凜', "0xEAA3", "EAA3.gif"},
                    UnitCase{"SymbolRowIdeograph", u'仝', "0x8157", "8157.gif"},
                    UnitCase{"Hiragana", u'あ', "", ""}, UnitCase{"LatinLetter", u'A', "", ""},
                    UnitCase{"Digit", u'1', "", ""}, UnitCase{"IterationMark", u'々', "", ""},
                    UnitCase{"IdeographicZero", u'〇', "", ""},
                    UnitCase{"IdeographOutsideJis0208", u'丂', "", ""},
                    UnitCase{"Cp932VendorKanji", u'纊', "", ""},
                    UnitCase{"Jis0213OnlyKanji", u'俱', "", ""},
                    // The two halves of U+2000B, a kanji outside the Basic Multilingual Plane.
                    UnitCase{"HighSurrogate", u'\xD840', "", ""},
                    UnitCase{"LowSurrogate", u'\xDC0B', "", ""}),
    [](const testing::TestParamInfo<UnitCase>& info) { return std::string(info.param.name); });

struct KeyCase {
    const char* name;
    const char16_t* key;
    const char* value;
};

class KeyLookup : public BuiltInTable, public testing::WithParamInterface<KeyCase> {};

TEST_P(KeyLookup, MatchesWholeNamesWithoutRegardToCase) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(table().LookupCode(QStringView(c.key)), QLatin1String(c.value));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyLookup,
    testing::Values(
        KeyCase{"UpperCase", u"0x4E9C", "0x889F"}, KeyCase{"LowerCase", u"0x4e9c", "0x889F"},
        KeyCase{"UpperCasePrefix", u"0X4E9C", "0x889F"}, KeyCase{"WithoutPrefix", u"4E9C", ""},
        KeyCase{"Empty", u"", ""}, KeyCase{"TrailingSpace", u"0x4E9C ", ""},
        KeyCase{"ShortOfADigit", u"0x4E9", ""}, KeyCase{"WholeLine", u"0x4E9C=0x889F", ""},
        KeyCase{"FullWidthDigit", u"\xFF10x4E9C", ""}, KeyCase{"ValueAsKey", u"0x889F", ""}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

struct SplitCase {
    const char* name;
    QByteArray data;
    QByteArrayList lines;
};

class Splitting : public testing::TestWithParam<SplitCase> {};

TEST_P(Splitting, EndsLinesAtCrLfCrOrLf) {
    EXPECT_EQ(KanjiCodes(GetParam().data).lines(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Data, Splitting,
    testing::Values(SplitCase{"Empty", "", {}},
                    SplitCase{"LastLineWithoutLineEnd", "a=1\r\nb=2", {"a=1", "b=2"}},
                    SplitCase{"LineEndAtTheEnd", "a=1\r\nb=2\r\n", {"a=1", "b=2"}},
                    SplitCase{"LoneLfAndLoneCr", "a=1\nb=2\rc=3", {"a=1", "b=2", "c=3"}},
                    SplitCase{"EmptyLineKept", "a=1\r\n\r\nb=2", {"a=1", "", "b=2"}},
                    SplitCase{"CrBeforeCrLf", "a=1\r\r\nb=2", {"a=1", "", "b=2"}},
                    SplitCase{"LfThenCr", "\n\r", {"", ""}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

// Tables with the shapes the compiled-in one never has, to pin down which line a lookup takes.
TEST(LookupCode, TakesTheFirstMatchingLineAndTheTextAfterItsFirstSeparator) {
    const KanjiCodes codes(QByteArray("0x4E9C\r\n"       // no "=": no name, never matches
                                      "0x4e9c=first\r\n" // same name in other case, earlier
                                      "0x4E9C=second\r\n"
                                      "0x5F0C=0x989F=x"));
    EXPECT_EQ(codes.LookupCode(u"0x4E9C"), QStringLiteral("first"));
    EXPECT_EQ(codes.LookupCode(u"0x5F0C"), QStringLiteral("0x989F=x"));
    EXPECT_TRUE(KanjiCodes().LookupCode(u"0x4E9C").isEmpty());
}

struct ValueCase {
    const char* name;
    const char16_t* value;
    std::optional<quint16> code;
};

class ValueCode : public testing::TestWithParam<ValueCase> {};

TEST_P(ValueCode, ReadsTheDigitsAfterThePrefix) {
    EXPECT_EQ(KanjiCodes::codeOfValue(QStringView(GetParam().value)), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Values, ValueCode,
                         testing::Values(ValueCase{"FourDigits", u"0x889F", 0x889F},
                                         ValueCase{"LowerCaseDigits", u"0xeaa4", 0xEAA4},
                                         ValueCase{"FewerDigits", u"0x41", 0x41},
                                         ValueCase{"LeadingZeros", u"0x0000889F", 0x889F},
                                         ValueCase{"Empty", u"", std::nullopt},
                                         ValueCase{"PrefixOnly", u"0x", std::nullopt},
                                         ValueCase{"NotHex", u"0x88G9", std::nullopt},
                                         ValueCase{"Blank", u"0x 889", std::nullopt},
                                         ValueCase{"Negative", u"0x-1", std::nullopt},
                                         ValueCase{"BeyondSixteenBits", u"0x10000", std::nullopt}),
                         [](const testing::TestParamInfo<ValueCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(PictureFileName, IsFourUpperCaseDigitsAndGif) {
    EXPECT_EQ(KanjiCodes::pictureFileName(0x889F), QStringLiteral("889F.gif"));
    EXPECT_EQ(KanjiCodes::pictureFileName(0xEAA4), QStringLiteral("EAA4.gif"));
    EXPECT_EQ(KanjiCodes::pictureFileName(0x41), QStringLiteral("0041.gif"));
}

} // namespace
