#include "app/model/settings.h"

#include "app/model/trainermodel.h"
#include "platform/inistore.h"

namespace settings {

namespace {

// Keys and defaults. The kind prefixes: J the kanji writing, K the kana, T the translation.
constexpr int kDefaultStyle = 1;
constexpr int kDefaultTopWordStyle = wkKanji;
constexpr int kDefaultBottomWordStyle = wkKana;
constexpr int kDefaultShowTranslation = 5;
constexpr int kDefaultShowNewCard = 1;
constexpr bool kDefaultShowHint = true;
constexpr int kDefaultKanjiFontSize = 35;
constexpr int kDefaultFontSize = 20;
constexpr TColor kDefaultFontColor = 0;         // black
constexpr TColor kDefaultKanjiColor = 0x00FF00; // lime
constexpr TColor kDefaultKanaColor = 0x00FFFF;  // yellow
constexpr TColor kDefaultTransColor = 0xFFFF00; // aqua
constexpr bool kDefaultFormPos = true;

QString defaultFontName() {
    return QStringLiteral("Tahoma");
}

// Font keys per kind, in the order the file lists them: kanji, translation, kana.
struct FontKeys {
    TWordKind kind;
    const char16_t* name;
    const char16_t* size;
    const char16_t* color;
    int defaultSize;
};
constexpr FontKeys kFontKeys[] = {
    {wkKanji, u"JFontName", u"JFontSize", u"JFontColor", kDefaultKanjiFontSize},
    {wkTranslation, u"TFontName", u"TFontSize", u"TFontColor", kDefaultFontSize},
    {wkKana, u"KFontName", u"KFontSize", u"KFontColor", kDefaultFontSize},
};

struct ColorKey {
    TWordKind kind;
    const char16_t* key;
    TColor def;
};
constexpr ColorKey kColorKeys[] = {
    {wkKanji, u"JColor", kDefaultKanjiColor},
    {wkKana, u"KColor", kDefaultKanaColor},
    {wkTranslation, u"TColor", kDefaultTransColor},
};

QString key(const char16_t* name) {
    return QString::fromUtf16(name);
}

// A kind outside 0 to 2 would index past the kind table: such a value takes the default.
quint8 readKind(const platform::IniStore& ini, const char16_t* name, int def) {
    const auto low = quint8(ini.readInteger(section(), key(name), def) & 0xFF);
    return isWordKind(low) ? low : quint8(def);
}

// A negative interval would bring a card on every tick: such a value takes the default.
qint32 readInterval(const platform::IniStore& ini, const char16_t* name, int def) {
    const qint32 value = ini.readInteger(section(), key(name), def);
    return value < 0 ? def : value;
}

} // namespace

QString section() {
    return QStringLiteral("MAIN");
}

std::optional<QPoint> load(const platform::IniStore& ini, TrainerModel& m, int defaultLeftEdge) {
    const QString s = section();
    m.Style = quint8(ini.readInteger(s, key(u"Style"), kDefaultStyle) & 0xFF);
    m.TopWordStyle = readKind(ini, u"TopWordStyle", kDefaultTopWordStyle);
    m.BottomWordStyle = readKind(ini, u"BottomWordStyle", kDefaultBottomWordStyle);
    m.ShowTranslation = readInterval(ini, u"ShowTranslation", kDefaultShowTranslation);
    m.ShowNewCard = readInterval(ini, u"ShowNewCard", kDefaultShowNewCard);
    m.Dictionary = ini.readString(s, key(u"Dictionary"), QString());
    m.ShowHint = ini.readBool(s, key(u"ShowHint"), kDefaultShowHint);
    for (const FontKeys& f : kFontKeys) {
        KindFont& font = m.kindStyle(f.kind).Font;
        font = KindFont();
        font.Name = ini.readString(s, key(f.name), defaultFontName());
        font.Size = ini.readInteger(s, key(f.size), f.defaultSize);
        font.Color = ini.readInteger(s, key(f.color), kDefaultFontColor);
    }
    for (const ColorKey& c : kColorKeys)
        m.kindStyle(c.kind).Color = ini.readInteger(s, key(c.key), c.def);
    m.FormPos = ini.readBool(s, key(u"FormPos"), kDefaultFormPos);
    if (!m.FormPos)
        return std::nullopt;
    const int left = ini.readInteger(s, key(u"PosLeft"), defaultLeftEdge);
    const int top = ini.readInteger(s, key(u"PosTop"), 0);
    return QPoint(left, top);
}

void save(platform::IniStore& ini, const TrainerModel& m, QPoint windowPos) {
    const QString s = section();
    ini.writeInteger(s, key(u"Style"), m.Style);
    ini.writeInteger(s, key(u"TopWordStyle"), m.TopWordStyle);
    ini.writeInteger(s, key(u"BottomWordStyle"), m.BottomWordStyle);
    ini.writeInteger(s, key(u"ShowTranslation"), m.ShowTranslation);
    ini.writeInteger(s, key(u"ShowNewCard"), m.ShowNewCard);
    ini.writeString(s, key(u"Dictionary"), m.Dictionary);
    ini.writeBool(s, key(u"ShowHint"), m.ShowHint);
    for (const FontKeys& f : kFontKeys) {
        const KindFont& font = m.kindStyle(f.kind).Font;
        ini.writeString(s, key(f.name), font.Name);
        ini.writeInteger(s, key(f.size), font.Size);
        ini.writeInteger(s, key(f.color), font.Color);
    }
    ini.writeBool(s, key(u"FormPos"), m.FormPos);
    for (const ColorKey& c : kColorKeys)
        ini.writeInteger(s, key(c.key), m.kindStyle(c.kind).Color);
    if (m.FormPos) {
        ini.writeInteger(s, key(u"PosLeft"), windowPos.x());
        ini.writeInteger(s, key(u"PosTop"), windowPos.y());
    }
}

} // namespace settings
