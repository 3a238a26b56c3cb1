#include "app/model/deckcodec.h"
#include "tests/support/deckbytes.h"
#include "tests/support/printers.h"

#include <QStringList>
#include <gtest/gtest.h>

using deckbytes::crlf;
using deckbytes::le;

namespace {

const char* const kDog = "犬=いぬ=собака=1=4";
const char* const kWater = "#水=みず=вода=0=0";
const char* const kHello = "=こんにちは=здравствуйте; привет=0=2";

deckcodec::ParseResult parseLines(std::initializer_list<const char*> lines) {
    return deckcodec::parse(le(crlf(lines)));
}

TDictRec word(const char* kanji, const char* kana, const char* translation, int misses,
              int attempts, bool active = true) {
    TDictRec w;
    w.Kanji = QString::fromUtf8(kanji);
    w.Kana = QString::fromUtf8(kana);
    w.Translation = QString::fromUtf8(translation);
    w.Misses = misses;
    w.Attempts = attempts;
    w.Active = active;
    return w;
}

} // namespace

// Whether a file loads, and the n of "Ошибка в строке n!" when it does not.
struct OutcomeCase {
    const char* name;
    QString text;
    bool ok;
    int entries;
};

class DeckOutcome : public testing::TestWithParam<OutcomeCase> {};

TEST_P(DeckOutcome, LoadsOrNamesTheLine) {
    const deckcodec::ParseResult r = deckcodec::parse(le(GetParam().text));
    EXPECT_EQ(r.ok, GetParam().ok);
    EXPECT_EQ(r.entryCount, GetParam().entries);
    if (!r.ok) {
        EXPECT_TRUE(r.dict.Words.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, DeckOutcome,
    testing::Values(
        OutcomeCase{"ZeroBytes", QString(), false, 0},
        OutcomeCase{"OnlyPositionLine", crlf({"*3"}), false, 0},
        OutcomeCase{"OnlyEmptyLines", crlf({"", ""}), false, 0},
        OutcomeCase{"ThreeEntriesThenBlanks", crlf({kDog, kWater, kHello, "   "}), false, 3},
        OutcomeCase{"ThreeEntriesThenEmptyLine", crlf({kDog, kWater, kHello, ""}), true, 3},
        OutcomeCase{"LineWithoutSeparatorBetweenEntries", crlf({kDog, "просто текст", kHello}),
                    true, 2},
        OutcomeCase{"LastLineWithoutSeparator", crlf({kDog, kHello, "просто текст"}), false, 2},
        OutcomeCase{"TranslationOfOneCharacter", crlf({"犬=いぬ=A"}), false, 1},
        OutcomeCase{"TranslationOfTwoCharacters", crlf({"犬=いぬ=AB"}), true, 1},
        OutcomeCase{"NoTranslation", crlf({"犬=いぬ"}), false, 1},
        OutcomeCase{"MissesWithoutAttemptsSeparator", crlf({"犬=いぬ=собака=2"}), false, 1},
        OutcomeCase{"MalformedSecondEntryStopsTheLoad", crlf({kDog, "x=y", kHello}), false, 2},
        OutcomeCase{"CountNotANumber", crlf({"犬=いぬ=собака=x=1"}), false, 1},
        OutcomeCase{"EmptyMisses", crlf({"犬=いぬ=собака==1"}), false, 1},
        OutcomeCase{"AttemptsOfBlanksOnly", crlf({"犬=いぬ=собака=1= "}), false, 1},
        OutcomeCase{"CountBeyond32Bits", crlf({"犬=いぬ=собака=2147483648=1"}), false, 1},
        OutcomeCase{"PositionLineLooksLikeAnEntry", crlf({"*犬=いぬ=собака", kDog}), true, 1},
        OutcomeCase{"TranslationWithSavedEquals", crlf({"犬=いぬ=a=b=0=0"}), false, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// How one entry line reads.
struct EntryCase {
    const char* line;
    TDictRec expected;
};

class DeckEntry : public testing::TestWithParam<EntryCase> {};

TEST_P(DeckEntry, Reads) {
    const deckcodec::ParseResult r = parseLines({"*0", GetParam().line});
    ASSERT_TRUE(r.ok) << GetParam().line;
    ASSERT_EQ(r.dict.Words.size(), 1u);
    EXPECT_EQ(r.dict.Words[0], GetParam().expected) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DeckEntry,
    testing::Values(EntryCase{"犬=いぬ=AB", word("犬", "いぬ", "AB", 0, 0)},
                    EntryCase{"犬=いぬ=собака=2=", word("犬", "いぬ", "собака", 2, 0)},
                    EntryCase{"犬=いぬ=собака=2=13", word("犬", "いぬ", "собака", 2, 13)},
                    EntryCase{"犬=いぬ=собака=2=13=x", word("犬", "いぬ", "собака", 2, 13)},
                    EntryCase{"犬=いぬ=собака=-3=+4", word("犬", "いぬ", "собака", -3, 4)},
                    EntryCase{"犬＝いぬ＝собака＝1＝12", word("犬", "いぬ", "собака", 1, 12)},
                    EntryCase{"犬＝いぬ＝собака＝1＝", word("犬", "いぬ", "собака", 1, 0)},
                    EntryCase{" # 犬 = いぬ = собака = 1 = 12 ",
                              word("犬", "いぬ", "собака", 1, 12, false)},
                    EntryCase{"\t＃犬=いぬ=собака", word("犬", "いぬ", "собака", 0, 0, false)},
                    EntryCase{"=こんにちは=здравствуйте; привет=0=2",
                              word("", "こんにちは", "здравствуйте; привет", 0, 2)},
                    EntryCase{"#=いぬ=собака=2147483647=-2147483648",
                              word("", "いぬ", "собака", 2147483647, -2147483648, false)},
                    // Only a leading mark disables a word; one after the kanji is text.
                    EntryCase{"犬#=いぬ=собака", word("犬#", "いぬ", "собака", 0, 0)}));

TEST(DeckCodec, TotalsAreSumsOverAllWords) {
    const deckcodec::ParseResult r = parseLines({kDog, kWater, "#猫=ねこ=кошка=3=5", kHello});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.dict.TotalAttempts, 4 + 0 + 5 + 2);
    EXPECT_EQ(r.dict.TotalMisses, 1 + 3);
}

struct PositionCase {
    const char* firstLine;
    qint32 position; // -1: no position line
    size_t words;
};

class DeckPosition : public testing::TestWithParam<PositionCase> {};

TEST_P(DeckPosition, FirstLine) {
    const deckcodec::ParseResult r = parseLines({GetParam().firstLine, kDog});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.position, GetParam().position);
    EXPECT_EQ(r.dict.Words.size(), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(Lines, DeckPosition,
                         testing::Values(PositionCase{"*2", 2, 1}, PositionCase{"  *7  ", 7, 1},
                                         PositionCase{"＊5", 5, 1}, PositionCase{"*-3", -3, 1},
                                         PositionCase{"*abc", 0, 1}, PositionCase{"*", 0, 1},
                                         PositionCase{"*犬=いぬ=собака", 0, 1},
                                         // Not a position line: the first line is an ordinary line.
                                         PositionCase{kWater, -1, 2}, PositionCase{"", -1, 1},
                                         PositionCase{"   ", -1, 1}));

TEST(DeckCodec, EveryEncodingAndLineEndReadsAlike) {
    const QStringList lines = {QStringLiteral("*1"), QString::fromUtf8(kDog),
                               QString::fromUtf8(kWater), QString::fromUtf8(kHello)};
    const deckcodec::ParseResult reference = deckcodec::parse(le(lines.join(u"\r\n")));
    ASSERT_TRUE(reference.ok);
    ASSERT_EQ(reference.dict.Words.size(), 3u);
    for (const QString& end :
         {QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r"), QStringLiteral("\v"),
          QStringLiteral("\f"), QStringLiteral("\u2028"), QStringLiteral("\u2029")}) {
        const QString text = lines.join(end) + end;
        const QByteArray encodings[] = {le(text), deckbytes::be(text), deckbytes::utf8Bom(text),
                                        text.toUtf8()};
        for (const QByteArray& bytes : encodings) {
            const deckcodec::ParseResult r = deckcodec::parse(bytes);
            EXPECT_TRUE(r.ok) << bytes.left(8).toHex().toStdString();
            EXPECT_EQ(r.position, 1);
            EXPECT_EQ(r.dict.Words, reference.dict.Words) << bytes.left(8).toHex().toStdString();
        }
    }
}

TEST(DeckCodec, LinesEndAsTheReaderSays) {
    // CR LF is one line end; LF CR is two, leaving an empty line that is skipped.
    EXPECT_TRUE(deckcodec::parse(le(QStringLiteral("a=b=cc\n\rd=e=ff"))).ok);
    EXPECT_EQ(deckcodec::parse(le(QStringLiteral("a=b=cc\n\rd=e=ff"))).dict.Words.size(), 2u);
    // U+0000 ends the text: what follows is never read.
    const deckcodec::ParseResult cut = deckcodec::parse(
        le(QStringLiteral("a=b=cc\r\nd=e=ff") + QChar(0) + QStringLiteral("\r\nx")));
    EXPECT_TRUE(cut.ok);
    EXPECT_EQ(cut.dict.Words.size(), 2u);
    // An odd byte at the end of UTF-16 text is no character.
    EXPECT_TRUE(deckcodec::parse(le(QStringLiteral("a=b=cc")) + QByteArray("\x41")).ok);
}

TEST(DeckCodec, EightBitTextWithoutMarkIsUtf8OrWindows1251) {
    // "кот=кошка" with the kana-less Russian deck of an old 8-bit file.
    const QByteArray cp1251("\xEA\xEE\xF2=\xEA\xEE\xF2=\xEA\xEE\xF8\xEA\xE0=1=2\r\n");
    const deckcodec::ParseResult r = deckcodec::parse(cp1251);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.dict.Words[0], word("кот", "кот", "кошка", 1, 2));
}

TEST(DeckCodec, WritesTheExactBytes) {
    std::vector<TDictRec> words = {word("犬", "いぬ", "собака", 1, 4),
                                   word("水", "みず", "вода", 0, 0, false),
                                   word("", "こんにちは", "здравствуйте; привет", -1, 2)};
    const QByteArray bytes = deckcodec::encode(words, 3, 2);
    EXPECT_EQ(bytes, le(crlf({"*2", kDog, kWater, "=こんにちは=здравствуйте; привет=-1=2"})));
    // Only the first wordCount words are written.
    EXPECT_EQ(deckcodec::encode(words, 1, 0), le(crlf({"*0", kDog})));
}

TEST(DeckCodec, RoundTripKeepsEveryFieldFlagCountAndThePosition) {
    const std::vector<TDictRec> words = {word("犬", "いぬ", "собака; пёс", 1, 4),
                                         word("水", "みず", "вода", 0, 0, false),
                                         word("", "テレビ", "телевизор", 2147483647, -2147483648),
                                         word("食べる", "たべる", "есть；кушать", 7, 7, false)};
    const deckcodec::ParseResult r = deckcodec::parse(deckcodec::encode(words, 4, 3));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.position, 3);
    EXPECT_EQ(r.dict.Words, words);
}

TEST(DeckCodec, BlanksAroundFieldsAreLostOnTheRoundTrip) {
    const std::vector<TDictRec> words = {word(" 犬 ", "いぬ ", " собака", 0, 1)};
    const deckcodec::ParseResult r = deckcodec::parse(deckcodec::encode(words, 1, 0));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.dict.Words[0], word("犬", "いぬ", "собака", 0, 1));
}

TEST(DeckCodec, EqualsInATranslationIsWrittenUnchanged) {
    const std::vector<TDictRec> words = {word("犬", "いぬ", "a=b", 0, 0)};
    const QByteArray bytes = deckcodec::encode(words, 1, 0);
    EXPECT_EQ(bytes, le(crlf({"*0", "犬=いぬ=a=b=0=0"})));
    EXPECT_FALSE(deckcodec::parse(bytes).ok);
}

TEST(DeckCodec, CleanFieldPutsAPastedTextOnOneLine) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"犬\r\n", u"犬"},
        {u"  собака\n", u"собака"},
        {u"one\r\ntwo", u"one two"},
        {u"a\vb\fc", u"a b c"},
        {u"a\u0085b\u2028c\u2029d", u"a b c d"},
        {u"a\tb\u0001c\u007Fd\u009Fe", u"a b c d e"},
        {u"a\r\n\r\n\tb", u"a b"},
        {u"いぬ　", u"いぬ　"}, // an ideographic space is text
        {u"", u""},
    };
    for (const auto& [in, out] : cases) {
        const QString cleaned = deckcodec::cleanField(QString::fromUtf16(in));
        EXPECT_EQ(cleaned, QString::fromUtf16(out));
        // The reader takes the field back on one line, as it is.
        const deckcodec::ParseResult r = deckcodec::parse(
            deckbytes::le(QStringLiteral("*0\r\n") + cleaned + QStringLiteral("=か=t=0=0\r\n")));
        ASSERT_TRUE(r.ok);
        ASSERT_EQ(r.dict.Words.size(), 1u);
        EXPECT_EQ(r.dict.Words[0].Kanji, cleaned);
    }
}

TEST(DeckCodec, EncodingIsToldByTheFirstBytes) {
    using deckcodec::TextEncoding;
    const std::pair<QByteArray, TextEncoding> cases[] = {
        {QByteArray("\xFF\xFE*\0"), TextEncoding::Utf16LE},
        {QByteArray("\xFE\xFF\0*"), TextEncoding::Utf16BE},
        {QByteArray("\xEF\xBB\xBF*0"), TextEncoding::Utf8},
        {QByteArray("*0\r\n"), TextEncoding::EightBit},
        {QByteArray(), TextEncoding::EightBit},
        {QByteArray("\xEF\xBB"), TextEncoding::EightBit},
    };
    for (const auto& [bytes, encoding] : cases)
        EXPECT_EQ(deckcodec::detectEncoding(bytes), encoding) << bytes.toHex().toStdString();
}
