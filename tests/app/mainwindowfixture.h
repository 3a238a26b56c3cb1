#pragma once

#include "app/umain.h"
#include "tests/support/deckbytes.h"
#include "tests/support/tempdir.h"

#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <string>

// The program folder of one test, with its settings file and decks.
class MainWindowFixture : public testing::Test {
public:
    // Three active words, one switched off, the stored position before the first: with
    // ShowNewCard=0 every grading brings the next card at once.
    static QByteArray fourWords() {
        return deckbytes::le(deckbytes::crlf({"*0", "犬=いぬ=собака=1=3", "猫=ねこ=кошка=0=0",
                                              "#水=みず=вода=0=0", "鳥=とり=птица=0=1"}));
    }
    static QString s(const char* utf8) { return QString::fromUtf8(utf8); }

protected:
    void writeSettings(const QByteArray& body) { dir.write(QStringLiteral("sorabi.ini"), body); }

    std::unique_ptr<TForm2> start(const QString& deckArgument = QString()) {
        return std::make_unique<TForm2>(dir.path(), deckArgument);
    }

    // Starts on deck as "d.sb" with the given settings keys besides the deck.
    std::unique_ptr<TForm2> startOn(const QByteArray& deck, const char* keys) {
        dir.write(QStringLiteral("d.sb"), deck);
        writeSettings(QByteArray("[MAIN]\nDictionary=d.sb\n") + keys + "\n");
        return start();
    }

    // Enabled state of StartBtn, PauseBtn, PrevBtn, NextBtn, RBtn, FBtn as a string of 0 and 1.
    static std::string buttons(const TForm2& f) {
        std::string s;
        for (const QToolButton* b : {f.StartBtn, f.PauseBtn, f.PrevBtn, f.NextBtn, f.RBtn, f.FBtn})
            s += b->isEnabled() ? '1' : '0';
        return s;
    }

    TempDir dir;
};
