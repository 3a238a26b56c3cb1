#pragma once

#include "app/model/deck.h"
#include "app/model/deckcodec.h"
#include "platform/filelock.h"
#include "platform/filestamp.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
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
    // InUse: another running copy of the program has the file open.
    enum Status { EmptyPath, Missing, InUse, Malformed, Loaded };
    Status status = EmptyPath;
    int entryCount = 0; // for Malformed: the n of "Ошибка в строке n!"
};

// Outcome of writing the deck to a file.
struct DeckSaveResult {
    bool ok = true;
    // Why the write failed, in the system's words.
    QString error;
    // The copy kept because another program had changed the deck file since this one read or
    // wrote it ("<file>.bak"), or empty.
    QString keptCopy;

    explicit operator bool() const { return ok; }
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
    // cannot be read; the deck is then left unloaded. The file is marked as in use for as long as
    // it stays loaded, so that no other copy of the program loads it meanwhile.
    DeckLoadResult loadDeck(const QString& path);
    // The message shown when saveDeck fails.
    static QString saveFailedText(const QString& path);
    // The message shown when loadDeck finds the file in use by another copy.
    static QString inUseText(const QString& path);
    // Writes the deck to path atomically; ok when it was written or there was nothing to write.
    // Written to the loaded deck's own file, the file on disk is first kept as "<file>.bak" when
    // the write changes its encoding (the first save of a deck read as UTF-16BE, UTF-8 or 8-bit
    // text) or when another program changed it since this one last read or wrote it; a write that
    // would change nothing on disk is left out.
    DeckSaveResult saveDeck(const QString& path);
    // The loaded deck's file (resolved), or an empty string.
    const QString& deckFile() const { return m_deckFile; }
    static QString backupFile(const QString& file) { return file + QStringLiteral(".bak"); }

    // Changes that must reach the files: the deck (words, counts, position) or the settings.
    // Whoever changes the model on the user's behalf calls changed(); the main window listens and
    // writes the files soon after.
    enum class Change { Deck, Settings };
    std::function<void(Change)> onChange;
    void changed(Change what) const {
        if (onChange)
            onChange(what);
    }

private:
    void forgetDeckFile();
    // Copies the file on disk to its ".bak"; false (with the reason) when that failed.
    static bool keepCopy(const QString& file, QString* error);

    // The loaded deck's file as this program last read or wrote it.
    QString m_deckFile;
    platform::FileStamp m_deckStamp;
    deckcodec::TextEncoding m_deckEncoding = deckcodec::TextEncoding::Utf16LE;
    QByteArray m_deckBytes;
    platform::FileInUseLock m_deckLock;
};
