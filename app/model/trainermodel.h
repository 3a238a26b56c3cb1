#pragma once

#include "app/model/deck.h"

#include <QString>
#include <array>
#include <vector>

// The look of one word kind's font: only Name, Size and Color are stored in the settings; the
// style flags last for the run.
struct KindFont {
    QString Name;
    int Size = 0; // points
    TColor Color = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
};

struct TKindStyle {
    KindFont Font;
    TColor Color = 0; // the label background
};

// Outcome of reading a deck file into the model.
struct DeckLoadResult {
    enum Status { EmptyPath, Missing, Malformed, Loaded };
    Status status = EmptyPath;
    int entryCount = 0; // for Malformed: the n of "Ошибка в строке n!"
};

// The deck, the settings and the run state shared by the main window and the dialogs.
class TrainerModel {
public:
    // The deck.
    TDict Dict;
    qint32 WordCount = -1;
    std::vector<qint32> ActiveList;
    qint32 ActiveCount = 0;
    bool DeckLoaded = false;
    QString AppDir; // ends in a path delimiter

    // The settings.
    quint8 Style = 1;
    quint8 TopWordStyle = wkKanji;
    quint8 BottomWordStyle = wkKana;
    qint32 ShowTranslation = 5;
    qint32 ShowNewCard = 1;
    QString Dictionary;
    bool ShowHint = true;
    bool FormPos = true;
    std::array<TKindStyle, kWordKindCount> KindStyles;

    // The run.
    qint32 CurrentPos = -1;
    qint32 CardCountdown = 0;
    qint32 AnswerCountdown = 0;
    bool Paused = false;
    bool Graded = false;

    TKindStyle& kindStyle(TWordKind kind) { return KindStyles[kind]; }
    const TKindStyle& kindStyle(TWordKind kind) const { return KindStyles[kind]; }

    // New intervals, and both countdowns restarted from them.
    void setIntervals(qint32 newCardMinutes, qint32 translationSeconds);

    // ActiveList and ActiveCount from the words' Active flags, indices 0 to WordCount - 1.
    void rebuildActiveList();

    // A bare file name (no directory part) is looked for in AppDir; any other path is itself.
    QString resolveDeckPath(const QString& path) const;
    // The file name part of Dictionary, as the window title shows it.
    QString dictionaryFileName() const;

    // Replaces the deck with the file at path. Throws platform::Error when the file exists but
    // cannot be read; the deck is then left unloaded.
    DeckLoadResult loadDeck(const QString& path);
    // The message shown when saveDeck fails.
    static QString saveFailedText(const QString& path);
    // Writes the deck to path atomically; true when it was written or there was nothing to write.
    bool saveDeck(const QString& path) const;
};
