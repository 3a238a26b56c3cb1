#pragma once

#include "hint/kanjipictures.h"
#include "platform/frameplacement.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

class KanjiCodes;
class TGIFAnimator;
class TGIFImage;

// The window with the stroke-order pictures of the kanji of the word on show ("Написание"): a
// tool window that stays on top, left of the main window at its top. One picture per kanji of
// the text, from the picture folders (a file per kanji named by its Shift_JIS code) or drawn
// from the stroke table into the user's cache (KanjiPictures); a kanji with neither gets a
// question-mark placeholder. Without picture folders and stroke table the window stays hidden. A
// click on a picture starts or stops its animation; the window is dragged by its free area.
class THintForm : public QWidget {
    Q_OBJECT

public:
    static constexpr const char* kPictureHint = "Нажмите, чтобы посмотреть написание";

    // mainWindow: whose left and top edges place this window; pictures: where they come from.
    THintForm(const QWidget* mainWindow, KanjiPictures pictures);
    ~THintForm() override;

    // Shows the pictures of the kanji in text (the word's kanji field). The same text as last
    // time only shows the window again. A picture file that exists but cannot be read throws
    // platform::Error; the window is then hidden and holds the pictures made so far.
    void ShowKanji(const QString& text);

    // One decision per card: between beginCard and endCard, showing and hiding the window is only
    // noted, and endCard applies the last decision once (raised above the other windows when
    // shown), so that the window manager never sees the window come and go within one turn of
    // the event loop. Outside a card the decisions apply at once.
    void beginCard();
    void endCard();
    // beginCard and endCard for the length of a scope; a null window is allowed.
    class CardScope {
    public:
        explicit CardScope(THintForm* hint) : m_hint(hint) {
            if (m_hint)
                m_hint->beginCard();
        }
        ~CardScope() {
            if (m_hint)
                m_hint->endCard();
        }
        CardScope(const CardScope&) = delete;
        CardScope& operator=(const CardScope&) = delete;

    private:
        THintForm* m_hint;
    };

    // The card's decision: the window is wanted on screen or not.
    void want(bool visible);
    // The window is on screen only while the main window is (not hidden, not minimised); called
    // when the main window comes or goes, it follows.
    void followMainWindow();
    // While the main window shows a dialog, the window (which stays on top of every other) keeps
    // out of its way; it comes back afterwards as the card wants.
    void setSuppressed(bool suppressed);

    const QString& LastKanji() const { return m_lastKanji; }
    // Whether pictures can be shown at all: a picture folder or the stroke table is there.
    bool picturesAvailable() const { return m_pictures.available(); }
    // Where the pictures come from (tests give their own folders and table).
    void setPictures(KanjiPictures pictures) { m_pictures = std::move(pictures); }
    const std::vector<TGIFAnimator*>& Animations() const { return m_animations; }
    bool Dragging() const { return m_dragging; }

    // A click on a picture: its animation is switched on or off; the others keep going.
    void AnimationClick(TGIFAnimator* sender);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void freePictures();
    void loadPicture(TGIFImage& image, char16_t unit, quint16 code);
    bool mainWindowOnScreen() const;
    void apply(bool raiseIt);

    const QWidget* m_mainWindow;
    const KanjiCodes& m_codes;
    KanjiPictures m_pictures;
    QString m_lastKanji;
    std::vector<TGIFAnimator*> m_animations;
    bool m_dragging = false;
    int m_cardDepth = 0;
    bool m_wanted = false;
    bool m_suppressed = false;
    QPoint m_dragOffset; // from the window's frame corner to the pointer, while dragging
    platform::FramePlacement* m_placement;
};
