#include "platform/errors.h"
#include "platform/inistore.h"
#include "tests/support/filesizelimit.h"
#include "tests/support/printers.h"
#include "tests/support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using platform::IniStore;

namespace {

const QString kMain = QStringLiteral("MAIN");

IniStore ini(const char* text) {
    return IniStore::fromBytes(QByteArray(text));
}

} // namespace

TEST(IniStore, MissingFileReadsAsEmpty) {
    TempDir dir;
    const IniStore store(dir.file(QStringLiteral("none.ini")));
    EXPECT_EQ(store.readString(kMain, QStringLiteral("Dictionary"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(store.readInteger(kMain, QStringLiteral("Style"), 7), 7);
    EXPECT_EQ(store.toBytes(), QByteArray());
}

TEST(IniStore, SectionsAndKeysMatchWithoutRegardToCase) {
    const IniStore store = ini("[other]\nStyle=9\n[main]\n  sTyLe = 3 \n");
    EXPECT_EQ(store.readInteger(kMain, QStringLiteral("STYLE"), 1), 3);
    EXPECT_EQ(store.readInteger(QStringLiteral("OTHER"), QStringLiteral("style"), 1), 9);
    // A key of another section is not found in this one.
    EXPECT_EQ(store.readInteger(kMain, QStringLiteral("Missing"), 1), 1);
}

TEST(IniStore, FirstOccurrenceWins) {
    const IniStore store = ini("[MAIN]\nA=1\nA=2\n[MAIN]\nB=3\n");
    EXPECT_EQ(store.readInteger(kMain, QStringLiteral("A"), 0), 1);
    EXPECT_EQ(store.readInteger(kMain, QStringLiteral("B"), 0), 0);
}

struct IntegerCase {
    const char* value;
    int expected; // with default -99
};

class IniInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(IniInteger, Reads) {
    const QByteArray text = QByteArray("[MAIN]\nK=") + GetParam().value + "\n";
    EXPECT_EQ(IniStore::fromBytes(text).readInteger(kMain, QStringLiteral("K"), -99),
              GetParam().expected)
        << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, IniInteger,
    testing::Values(IntegerCase{"42", 42}, IntegerCase{"-16777201", -16777201},
                    IntegerCase{"+5", 5}, IntegerCase{"0xFF", 255}, IntegerCase{"0XfF", 255},
                    IntegerCase{"$ff", 255}, IntegerCase{"0xFF00000F", int(0xFF00000F)},
                    IntegerCase{"2147483647", 2147483647}, IntegerCase{"-2147483648", INT_MIN},
                    IntegerCase{"2147483648", -99}, IntegerCase{"0x100000000", -99},
                    IntegerCase{"yes", -99}, IntegerCase{"12abc", -99}, IntegerCase{"", -99},
                    IntegerCase{"0x", -99}, IntegerCase{"$", -99}, IntegerCase{"-", -99},
                    IntegerCase{"\"7\"", 7}, IntegerCase{"1 2", -99}));

TEST(IniStore, BooleansAreIntegersOtherThanZero) {
    const IniStore store = ini("[MAIN]\nA=2\nB=0\nC=yes\nD=-1\n");
    EXPECT_TRUE(store.readBool(kMain, QStringLiteral("A"), false));
    EXPECT_FALSE(store.readBool(kMain, QStringLiteral("B"), true));
    EXPECT_TRUE(store.readBool(kMain, QStringLiteral("C"), true));
    EXPECT_FALSE(store.readBool(kMain, QStringLiteral("C"), false));
    EXPECT_TRUE(store.readBool(kMain, QStringLiteral("D"), false));
}

TEST(IniStore, StringsAreTrimmedUnquotedAndCutAt2047) {
    const QByteArray longValue(3000, 'x');
    const IniStore store =
        IniStore::fromBytes("[MAIN]\nA=  a b  \nB=\"  q  \"\nC=" + longValue + "\nD=\nE='x\"\n");
    EXPECT_EQ(store.readString(kMain, QStringLiteral("A"), {}), QStringLiteral("a b"));
    EXPECT_EQ(store.readString(kMain, QStringLiteral("B"), {}), QStringLiteral("  q  "));
    EXPECT_EQ(store.readString(kMain, QStringLiteral("C"), {}).size(), 2047);
    // An empty value is a value: the default is not used.
    EXPECT_EQ(store.readString(kMain, QStringLiteral("D"), QStringLiteral("def")), QString());
    EXPECT_EQ(store.readString(kMain, QStringLiteral("E"), {}), QStringLiteral("'x\""));
}

TEST(IniStore, NonAsciiTextInUtf8AndWindows1251) {
    EXPECT_EQ(IniStore::fromBytes("[MAIN]\nDictionary=/home/я/слова.sb\n")
                  .readString(kMain, QStringLiteral("Dictionary"), {}),
              QStringLiteral("/home/я/слова.sb"));
    // "словарь" in Windows-1251 is not valid UTF-8.
    EXPECT_EQ(IniStore::fromBytes("[MAIN]\nDictionary=\xF1\xEB\xEE\xE2\xE0\xF0\xFC\n")
                  .readString(kMain, QStringLiteral("Dictionary"), {}),
              QStringLiteral("словарь"));
}

TEST(IniStore, ExistingKeyIsRewrittenInPlace) {
    IniStore store = ini("; settings\r\n[MAIN]\r\nStyle=1\r\nShowHint=1\r\n\r\n[Other]\r\nX=1\r\n");
    store.writeInteger(kMain, QStringLiteral("style"), 0);
    EXPECT_EQ(
        store.toBytes(),
        QByteArray("; settings\r\n[MAIN]\r\nstyle=0\r\nShowHint=1\r\n\r\n[Other]\r\nX=1\r\n"));
}

TEST(IniStore, NewKeyGoesToTheEndOfItsSection) {
    IniStore store = ini("[MAIN]\nStyle=1\n\n[Other]\nX=1\n");
    store.writeString(kMain, QStringLiteral("Dictionary"), QStringLiteral("a.sb"));
    store.writeInteger(QStringLiteral("Other"), QStringLiteral("Y"), 2);
    EXPECT_EQ(store.toBytes(),
              QByteArray("[MAIN]\nStyle=1\nDictionary=a.sb\n\n[Other]\nX=1\nY=2\n"));
}

TEST(IniStore, NewSectionGoesToTheEndOfTheFile) {
    IniStore store = ini("[Other]\nX=1");
    store.writeBool(kMain, QStringLiteral("ShowHint"), true);
    store.writeBool(kMain, QStringLiteral("FormPos"), false);
    EXPECT_EQ(store.toBytes(), QByteArray("[Other]\nX=1\n[MAIN]\nShowHint=1\nFormPos=0\n"));
}

TEST(IniStore, ByteOrderMarksAreKept) {
    IniStore utf8 = IniStore::fromBytes("\xEF\xBB\xBF[MAIN]\nA=1\n");
    EXPECT_EQ(utf8.readInteger(kMain, QStringLiteral("A"), 0), 1);
    utf8.writeInteger(kMain, QStringLiteral("A"), 2);
    EXPECT_EQ(utf8.toBytes(), QByteArray("\xEF\xBB\xBF[MAIN]\nA=2\n"));

    const QByteArray utf16("\xFF\xFE[\0M\0A\0I\0N\0]\0\r\0\n\0A\0=\0"
                           "5\0\r\0\n\0",
                           28);
    IniStore wide = IniStore::fromBytes(utf16);
    EXPECT_EQ(wide.readInteger(kMain, QStringLiteral("A"), 0), 5);
    EXPECT_EQ(wide.toBytes(), utf16);
}

TEST(IniStore, SaveReplacesTheFile) {
    TempDir dir;
    dir.write(QStringLiteral("s.ini"), "[MAIN]\nA=1\n");
    IniStore store(dir.file(QStringLiteral("s.ini")));
    store.writeInteger(kMain, QStringLiteral("B"), 2);
    store.save();
    EXPECT_EQ(dir.read(QStringLiteral("s.ini")), QByteArray("[MAIN]\nA=1\nB=2\n"));
}

TEST(IniStore, SaveFailureNamesTheFileAndLeavesItWhole) {
    TempDir dir;
    const QByteArray before("[MAIN]\nA=1\n");
    dir.write(QStringLiteral("s.ini"), before);
    IniStore store(dir.file(QStringLiteral("s.ini")));
    store.writeString(kMain, QStringLiteral("Dictionary"), QString(200, u'x'));
    const QString expected =
        QStringLiteral("Unable to write to ") + dir.file(QStringLiteral("s.ini"));
    {
        // The disk fills up in the middle of the write.
        FileSizeLimit full(64);
        try {
            store.save();
            ADD_FAILURE() << "save succeeded";
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.text(), expected);
        }
    }
    EXPECT_EQ(dir.read(QStringLiteral("s.ini")), before);
}

TEST(IniStore, SaveFailsWhenThePathIsAFolder) {
    TempDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("s.ini")));
    IniStore store(dir.file(QStringLiteral("s.ini")));
    store.writeInteger(kMain, QStringLiteral("A"), 1);
    EXPECT_THROW(store.save(), platform::Error);
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("s.ini"))).isDir());
}

TEST(IniStore, LoneCarriageReturnsEndLinesAndSurviveARewrite) {
    // Found by fuzzing: "[Other" followed by two lone CRs.
    QFile seed(QStringLiteral(SORABI_TEST_DATA "/fuzz-regressions/ini-lone-cr.ini"));
    ASSERT_TRUE(seed.open(QIODevice::ReadOnly));
    IniStore store = IniStore::fromBytes(seed.readAll());
    store.writeBool(QStringLiteral("Other"), QStringLiteral("Flag"), true);
    const IniStore back = IniStore::fromBytes(store.toBytes());
    EXPECT_TRUE(back.readBool(QStringLiteral("Other"), QStringLiteral("Flag"), false));

    const IniStore mac = ini("[MAIN]\rA=1\rB=2\r");
    EXPECT_EQ(mac.readInteger(kMain, QStringLiteral("B"), 0), 2);
}
