// The run and the card of the main window: the tick, the choice of cards, grading, pause, the
// card labels and the menus that choose what goes on them.
#include "app/umain.h"

#include "app/model/cardtext.h"
#include "app/model/kindfont.h"
#include "app/model/runrules.h"
#include "hint/uhint.h"
#include "platform/colors.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "widgets/progressbar.h"
#include "widgets/statusbar.h"

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

void TForm2::SetIntervals(qint32 newCardMinutes, qint32 translationSeconds) {
    m_model.setIntervals(newCardMinutes, translationSeconds);
}

void TForm2::showAndRaise() {
    // Shown and raised, never activated: the keyboard stays with whatever the user is typing in.
    // A window manager activates a window it brings back from the minimised state, but not one
    // that is mapped anew without a user's time: a minimised window is withdrawn first.
    if (isMinimized() && isVisible())
        hide();
    showFromTray();
    raise();
}

bool TForm2::cardOnShow() const {
    const TrainerModel& m = m_model;
    return m.DeckLoaded && m.WordCount > 0 && m.CurrentPos >= 0 && m.CurrentPos < m.ActiveCount;
}

void TForm2::TimerGlobalTimer() {
    TrainerModel& m = m_model;
    if (m.Paused || !cardOnShow())
        return;
    if (m.CardCountdown > 0) {
        --m.CardCountdown;
        TimeLab->setText(QStringLiteral("Осталось: ") + FormatCountdown(m.CardCountdown));
    } else if (m.ShowNewCard != 0) {
        NextCard();
        SetIntervals(m.ShowNewCard, m.ShowTranslation);
    }
    if (m.AnswerCountdown >= 0) {
        --m.AnswerCountdown;
    } else {
        if (m.AnswerCountdown == -1)
            ShowCard(false);
        m.AnswerCountdown = -2;
    }
}

void TForm2::NextBtnClick() {
    NextCard();
    SetIntervals(m_model.ShowNewCard, m_model.ShowTranslation);
}

void TForm2::PrevBtnClick() {
    PrevCard();
    SetIntervals(m_model.ShowNewCard, m_model.ShowTranslation);
}

void TForm2::grade(bool remembered) {
    TrainerModel& m = m_model;
    if (!cardOnShow())
        return;
    TDictRec& w = m.Dict.Words[size_t(m.ActiveList[size_t(m.CurrentPos)])];
    w.Attempts = wrappingAdd(w.Attempts, 1);
    m.Dict.TotalAttempts = wrappingAdd(m.Dict.TotalAttempts, 1);
    if (!remembered) {
        w.Misses = wrappingAdd(w.Misses, 1);
        m.Dict.TotalMisses = wrappingAdd(m.Dict.TotalMisses, 1);
    }
    m.changed(TrainerModel::Change::Deck);
    m.Graded = true;
    RBtn->setEnabled(false);
    FBtn->setEnabled(false);
    if (m.ShowNewCard == 0) {
        NextCard();
        SetIntervals(m.ShowNewCard, m.ShowTranslation);
    }
}

void TForm2::RBtnClick() {
    grade(true);
}

void TForm2::FBtnClick() {
    grade(false);
}

void TForm2::N1Click(bool checked) {
    if (checked)
        PauseTraining();
    else
        ResumeTraining();
}

void TForm2::N8Click() {
    m_model.Style = 0;
    m_model.changed(TrainerModel::Change::Settings);
}

void TForm2::N9Click() {
    m_model.Style = 1;
    m_model.changed(TrainerModel::Change::Settings);
}

void TForm2::PrevCard() {
    const THintForm::CardScope hintCard(HintForm);
    showAndRaise();
    TrainerModel& m = m_model;
    // Random order keeps no history: the card on show comes again as a new card.
    if (m.Style == 1)
        m.CurrentPos = m.CurrentPos - 1 < 0 ? m.ActiveCount - 1 : m.CurrentPos - 1;
    ShowCard(true);
}

void TForm2::NextCard() {
    // Showing the window must not bring back the last card's hints before this card decides.
    const THintForm::CardScope hintCard(HintForm);
    showAndRaise();
    TrainerModel& m = m_model;
    if (m.Style == 0)
        m.CurrentPos = m.ActiveCount > 0 ? qint32(m_random.bounded(m.ActiveCount)) : 0;
    else if (m.Style == 1)
        m.CurrentPos = m.CurrentPos + 1 >= m.ActiveCount ? 0 : m.CurrentPos + 1;
    ShowCard(true);
}

void TForm2::PauseTraining() {
    m_model.Paused = true;
    setWindowTitle(titleBase() + QStringLiteral("[Пауза]"));
    StartBtn->setEnabled(true);
    PauseBtn->setEnabled(false);
    FBtn->setEnabled(false);
    RBtn->setEnabled(false);
}

void TForm2::ResumeTraining() {
    TrainerModel& m = m_model;
    m.Paused = false;
    setWindowTitle(titleBase());
    const bool timed = m.ShowNewCard != 0 && m.DeckLoaded;
    StartBtn->setEnabled(false);
    PauseBtn->setEnabled(timed);
    NextBtn->setEnabled(timed);
    PrevBtn->setEnabled(timed && m.Style == 1);
    FBtn->setEnabled(!m.Graded && m.DeckLoaded);
    RBtn->setEnabled(!m.Graded && m.DeckLoaded);
    if (m.ShowNewCard == 0 || m.WordCount == 0 || !m.DeckLoaded)
        TimeLab->clear();
    if (!m.DeckLoaded) {
        Lab1->clear();
        Lab2->clear();
        Lab3->clear();
    }
}

void TForm2::setBar(TSpecialProgress* bar, qint32 attempts, qint32 misses) {
    // The maximum goes first: lowering it below the old position lowers the position with it.
    if (attempts > 0) {
        bar->setMaximum(attempts);
        bar->setPosition(wrappingAdd(attempts, -misses));
    } else {
        bar->setPosition(0);
    }
}

void TForm2::ShowCard(bool newCard) {
    TrainerModel& m = m_model;
    if (!m.DeckLoaded || m.CurrentPos < 0 || m.CurrentPos >= m.ActiveCount)
        return;
    ShownKinds = 0b111;
    const TDictRec& w = m.Dict.Words[size_t(m.ActiveList[size_t(m.CurrentPos)])];
    const bool hasKanji = !w.Kanji.isEmpty();
    // The hint window's showing is decided once for the card, when it has been drawn.
    const THintForm::CardScope hintCard(HintForm);
    if (HintForm) {
        HintForm->want(HintForm->picturesAvailable() && !newCard && hasKanji && m.ShowHint);
    }
    if (!hasKanji)
        ShownKinds &= ~(1u << wkKanji);
    const cardtext::MainKinds kinds =
        cardtext::mainKinds(hasKanji, m.TopWordStyle, m.BottomWordStyle);
    FillLabel(Lab1, kinds.top, newCard);
    FillLabel(Lab2, kinds.second, newCard);

    for (QAction* a : {NKanji, TNKanji, BNKanji})
        a->setEnabled(hasKanji);
    // Radio items: checking one clears the others of its group.
    QAction* const topItems[] = {TNKanji, TNKana, TNTrans};
    QAction* const bottomItems[] = {BNKanji, BNKana, BNTrans};
    if (isWordKind(m.TopWordStyle))
        topItems[m.TopWordStyle]->setChecked(true);
    if (isWordKind(m.BottomWordStyle))
        bottomItems[m.BottomWordStyle]->setChecked(true);

    Lab3->setVisible(ShownKinds != 0);
    if (ShownKinds != 0) {
        const quint8 left = ShownKinds;
        for (TWordKind k : {wkKanji, wkKana, wkTranslation})
            if (left & (1u << k))
                FillLabel(Lab3, k, newCard);
    }
    if (newCard) {
        m.Graded = false;
        RBtn->setEnabled(true);
        FBtn->setEnabled(true);
    }
    setBar(ProgCurr, w.Attempts, w.Misses);
    setBar(ProgAll, m.Dict.TotalAttempts, m.Dict.TotalMisses);
    SBar->setPanelText(
        kCounterPanel,
        QStringLiteral("%1/%2/%3").arg(m.CurrentPos + 1).arg(m.ActiveCount).arg(m.WordCount));
    // The client height: the card labels, the button panel, the status bar and the top panel.
    const int labels = Lab1->height() + Lab2->height() + (Lab3->isVisible() ? Lab3->height() : 0);
    setFixedHeight(labels + Panel5->height() + SBar->height() + Panel3->height());
}

void TForm2::FillLabel(QLabel* lab, TWordKind kind, bool hide) {
    const TKindStyle& style = m_model.kindStyle(kind);
    const QFont font = toQFont(style.Font);
    lab->setFont(font);
    QPalette palette = lab->palette();
    palette.setColor(QPalette::Window, platform::toQColor(style.Color));
    palette.setColor(QPalette::WindowText, platform::toQColor(style.Font.Color));
    lab->setPalette(palette);
    ShownKinds &= ~(1u << kind);
    lab->setProperty("Tag", int(kind));

    const TrainerModel& m = m_model;
    const TDictRec& w = m.Dict.Words[size_t(m.ActiveList[size_t(m.CurrentPos)])];
    const QString text = cardtext::fieldText(w, kind, hide, m.TopWordStyle);
    if (kind == wkKanji && m.ShowHint && (!hide || m.TopWordStyle == wkKanji) && HintForm) {
        try {
            HintForm->ShowKanji(text);
        } catch (const platform::Error& e) {
            // A picture file that is not a GIF: the error is reported, and the card is still
            // filled in and can be graded.
            platform::showError(this, e.text());
        }
    }
    const QFontMetrics metrics(font);
    const cardtext::Broken broken = cardtext::breakLines(
        text, lab->width(), [&](QStringView s) { return metrics.horizontalAdvance(s.toString()); });
    lab->setFixedHeight(broken.lines * (emHeight(style.Font, logicalDpiY()) + 2));
    lab->setText(QString(broken.text).replace(u'\r', u'\n'));
}

void TForm2::openWStyleMenu(QLabel* lab, QPoint globalPos) {
    m_menuLabel = lab;
    WStyleMenu->popup(globalPos);
}

void TForm2::WStyleMenuPopup() {
    if (!m_menuLabel)
        return;
    const QVariant tag = m_menuLabel->property("Tag");
    if (!tag.isValid())
        return;
    QAction* items[] = {NKanji, NKana, NTrans};
    const int kind = tag.toInt();
    if (isWordKind(kind))
        items[kind]->setChecked(true);
}

void TForm2::pickLabelKind(TWordKind kind, TWordKind otherGivesWayTo) {
    TrainerModel& m = m_model;
    if (m_menuLabel == Lab1) {
        m.TopWordStyle = kind;
        if (m.BottomWordStyle == kind)
            m.BottomWordStyle = otherGivesWayTo;
    } else if (m_menuLabel == Lab2) {
        m.BottomWordStyle = kind;
        if (m.TopWordStyle == kind)
            m.TopWordStyle = otherGivesWayTo;
    }
    m.changed(TrainerModel::Change::Settings);
    ShowCard(false);
}

void TForm2::NKanjiClick() {
    pickLabelKind(wkKanji, wkKana);
}

void TForm2::NKanaClick() {
    pickLabelKind(wkKana, wkTranslation);
}

void TForm2::NTransClick() {
    pickLabelKind(wkTranslation, NKanji->isEnabled() ? wkKanji : wkKana);
}

void TForm2::TNKanjiClick() {
    m_model.TopWordStyle = wkKanji;
    m_model.changed(TrainerModel::Change::Settings);
    ShowCard(false);
}

void TForm2::TNKanaClick() {
    m_model.TopWordStyle = wkKana;
    m_model.changed(TrainerModel::Change::Settings);
    ShowCard(false);
}

void TForm2::TNTransClick() {
    m_model.TopWordStyle = wkTranslation;
    m_model.changed(TrainerModel::Change::Settings);
    ShowCard(false);
}

void TForm2::BNKanjiClick() {
    m_model.BottomWordStyle = wkKanji;
    m_model.changed(TrainerModel::Change::Settings);
    ShowCard(false);
}

void TForm2::BNKanaClick() {
    m_model.BottomWordStyle = wkKana;
    m_model.changed(TrainerModel::Change::Settings);
    ShowCard(false);
}

void TForm2::BNTransClick() {
    m_model.BottomWordStyle = wkTranslation;
    m_model.changed(TrainerModel::Change::Settings);
    ShowCard(false);
}
