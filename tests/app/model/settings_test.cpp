#include "app/model/settings.h"
#include "app/model/trainermodel.h"
#include "platform/inistore.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

namespace {

constexpr int kDefaultLeft = 1280 - 381 - 5;

TrainerModel loaded(const char* ini, std::optional<QPoint>* pos = nullptr) {
    TrainerModel model;
    const auto p =
        settings::load(platform::IniStore::fromBytes(QByteArray(ini)), model, kDefaultLeft);
    if (pos)
        *pos = p;
    return model;
}

} // namespace

TEST(Settings, DefaultsWithoutAFile) {
    std::optional<QPoint> pos;
    const TrainerModel m = loaded("", &pos);
    EXPECT_EQ(m.Style, 1);
    EXPECT_EQ(m.TopWordStyle, wkKanji);
    EXPECT_EQ(m.BottomWordStyle, wkKana);
    EXPECT_EQ(m.ShowTranslation, 5);
    EXPECT_EQ(m.ShowNewCard, 1);
    EXPECT_EQ(m.Dictionary, QString());
    EXPECT_TRUE(m.ShowHint);
    EXPECT_TRUE(m.FormPos);
    const struct {
        TWordKind kind;
        int size;
        TColor background;
    } kinds[] = {{wkKanji, 35, 0x00FF00}, {wkKana, 20, 0x00FFFF}, {wkTranslation, 20, 0xFFFF00}};
    for (const auto& k : kinds) {
        const TKindStyle& style = m.kindStyle(k.kind);
        EXPECT_EQ(style.Font.Name, QStringLiteral("Tahoma"));
        EXPECT_EQ(style.Font.Size, k.size);
        EXPECT_EQ(style.Font.Color, 0);
        EXPECT_EQ(style.Color, k.background);
    }
    ASSERT_TRUE(pos.has_value());
    EXPECT_EQ(*pos, QPoint(kDefaultLeft, 0));
}

struct ValueCase {
    const char* ini;
    std::function<int(const TrainerModel&)> value;
    int expected;
};

class SettingsValue : public testing::TestWithParam<ValueCase> {};

TEST_P(SettingsValue, Reads) {
    EXPECT_EQ(GetParam().value(loaded(GetParam().ini)), GetParam().expected) << GetParam().ini;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SettingsValue,
    testing::Values(
        ValueCase{"[MAIN]\nJColor=0xFF", [](auto& m) { return m.kindStyle(wkKanji).Color; }, 255},
        ValueCase{"[MAIN]\nKColor=$FF00000F", [](auto& m) { return m.kindStyle(wkKana).Color; },
                  int(0xFF00000F)},
        ValueCase{"[MAIN]\nShowHint=2", [](auto& m) { return int(m.ShowHint); }, 1},
        ValueCase{"[MAIN]\nShowHint=yes", [](auto& m) { return int(m.ShowHint); }, 1},
        ValueCase{"[MAIN]\nShowHint=0", [](auto& m) { return int(m.ShowHint); }, 0},
        ValueCase{"[MAIN]\nFormPos=0", [](auto& m) { return int(m.FormPos); }, 0},
        ValueCase{"[MAIN]\nTopWordStyle=257", [](auto& m) { return int(m.TopWordStyle); }, 1},
        ValueCase{"[MAIN]\nStyle=256", [](auto& m) { return int(m.Style); }, 0},
        ValueCase{"[MAIN]\nStyle=7", [](auto& m) { return int(m.Style); }, 7},
        // A kind outside the three word kinds is never used to pick a kind's look.
        ValueCase{"[MAIN]\nTopWordStyle=3", [](auto& m) { return int(m.TopWordStyle); }, 0},
        ValueCase{"[MAIN]\nBottomWordStyle=255", [](auto& m) { return int(m.BottomWordStyle); }, 1},
        ValueCase{"[MAIN]\nBottomWordStyle=-254", [](auto& m) { return int(m.BottomWordStyle); },
                  2},
        // A negative interval would bring a card on every tick.
        ValueCase{"[MAIN]\nShowNewCard=-1", [](auto& m) { return m.ShowNewCard; }, 1},
        ValueCase{"[MAIN]\nShowTranslation=-5", [](auto& m) { return m.ShowTranslation; }, 5},
        ValueCase{"[MAIN]\nShowNewCard=0", [](auto& m) { return m.ShowNewCard; }, 0},
        ValueCase{"[MAIN]\nShowNewCard=abc", [](auto& m) { return m.ShowNewCard; }, 1},
        ValueCase{"[MAIN]\nTFontSize=14\nKFontSize=16\nJFontSize=40",
                  [](auto& m) {
                      return m.kindStyle(wkKanji).Font.Size * 10000 +
                             m.kindStyle(wkTranslation).Font.Size * 100 +
                             m.kindStyle(wkKana).Font.Size;
                  },
                  401416},
        ValueCase{"[main]\nkfontcolor=255", [](auto& m) { return m.kindStyle(wkKana).Font.Color; },
                  255}));

TEST(Settings, StringsOfTheKinds) {
    const TrainerModel m =
        loaded("[MAIN]\nDictionary=/home/u/n5.sb\nJFontName=MS Mincho\nKFontName=Arial\n");
    EXPECT_EQ(m.Dictionary, QStringLiteral("/home/u/n5.sb"));
    EXPECT_EQ(m.kindStyle(wkKanji).Font.Name, QStringLiteral("MS Mincho"));
    EXPECT_EQ(m.kindStyle(wkKana).Font.Name, QStringLiteral("Arial"));
    EXPECT_EQ(m.kindStyle(wkTranslation).Font.Name, QStringLiteral("Tahoma"));
}

TEST(Settings, WindowPositionOnlyWhenRemembered) {
    std::optional<QPoint> pos;
    loaded("[MAIN]\nFormPos=1\nPosLeft=100\nPosTop=$20\n", &pos);
    EXPECT_EQ(pos, QPoint(100, 32));
    loaded("[MAIN]\nFormPos=0\nPosLeft=100\nPosTop=20\n", &pos);
    EXPECT_FALSE(pos.has_value());
}

TEST(Settings, FileWrittenFromScratchHoldsTheKeysInSavingOrder) {
    TrainerModel m = loaded("");
    m.Dictionary = QStringLiteral("n5.sb");
    m.kindStyle(wkKana).Font.Bold = true; // the style is not stored
    platform::IniStore ini;
    settings::save(ini, m, QPoint(894, 3));
    EXPECT_EQ(ini.toBytes(), QByteArray("[MAIN]\n"
                                        "Style=1\n"
                                        "TopWordStyle=0\n"
                                        "BottomWordStyle=1\n"
                                        "ShowTranslation=5\n"
                                        "ShowNewCard=1\n"
                                        "Dictionary=n5.sb\n"
                                        "ShowHint=1\n"
                                        "JFontName=Tahoma\n"
                                        "JFontSize=35\n"
                                        "JFontColor=0\n"
                                        "TFontName=Tahoma\n"
                                        "TFontSize=20\n"
                                        "TFontColor=0\n"
                                        "KFontName=Tahoma\n"
                                        "KFontSize=20\n"
                                        "KFontColor=0\n"
                                        "FormPos=1\n"
                                        "JColor=65280\n"
                                        "KColor=65535\n"
                                        "TColor=16776960\n"
                                        "PosLeft=894\n"
                                        "PosTop=3\n"));
}

TEST(Settings, ExistingFileKeepsItsLinesAndTheUnrememberedPosition) {
    platform::IniStore ini = platform::IniStore::fromBytes(
        "; mine\n[MAIN]\nPosTop=7\nPosLeft=8\nstyle=1\nTColor=1\n\n[Other]\nX=1\n");
    TrainerModel m = loaded("");
    m.FormPos = false;
    m.Style = 0;
    m.kindStyle(wkTranslation).Color = 0xFF00000F - 0x100000000LL;
    settings::save(ini, m, QPoint(1, 2));
    const QByteArray bytes = ini.toBytes();
    EXPECT_TRUE(bytes.startsWith("; mine\n[MAIN]\nPosTop=7\nPosLeft=8\nStyle=0\nTColor=-16777201\n"
                                 "TopWordStyle=0\n"))
        << bytes.toStdString();
    EXPECT_TRUE(bytes.endsWith("KColor=65535\n\n[Other]\nX=1\n")) << bytes.toStdString();

    // Read back, every value is as saved.
    TrainerModel again;
    settings::load(platform::IniStore::fromBytes(bytes), again, 0);
    EXPECT_EQ(again.Style, 0);
    EXPECT_FALSE(again.FormPos);
    EXPECT_EQ(again.kindStyle(wkTranslation).Color, int(0xFF00000F));
}
