#pragma once

#include "app/model/deckcodec.h"
#include "app/model/trainermodel.h"

#include "platform/frameplacement.h"

#include <QPointer>
#include <QRandomGenerator>
#include <QWidget>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;
class TAboutForm;
class TEditForm;
class TFormMagnet;
class TLinkLabel;
class THintForm;
class TSetupForm;
class TSpecialProgress;
class TStatusBar;
class TTrayIcon;

// The main window: the card, the training buttons, the status bar with the two percentage bars,
// the tray icon with its menu, and the run.
class TForm2 : public QWidget {
    Q_OBJECT

public:
    // appDir is the folder of the settings file, of bare deck names and of "pics", ending in a
    // path delimiter. A non-empty deckPath replaces the stored deck right after the settings are
    // read (made absolute against the current folder).
    explicit TForm2(const QString& appDir, const QString& deckPath = QString(),
                    QWidget* parent = nullptr);
    ~TForm2() override;

    TrainerModel& model() { return m_model; }
    const TrainerModel& model() const { return m_model; }

    // The settings file, read once at start and written once at exit.
    void LoadSettings();
    // Throws platform::Error "Unable to write to <path>" when the file cannot be written.
    void SaveSettings();

    bool LoadDeck(const QString& path);
    // False (after an "Ошибка" box) when the deck could not be written.
    bool SaveDeck(const QString& path);

    void SetIntervals(qint32 newCardMinutes, qint32 translationSeconds);
    void NextCard();
    void PrevCard();
    void ShowCard(bool newCard);
    void FillLabel(QLabel* lab, TWordKind kind, bool hide);
    void PauseTraining();
    void ResumeTraining();

    QString titleBase() const;

    // Handlers.
    void TimerGlobalTimer();
    void NextBtnClick();
    void PrevBtnClick();
    void RBtnClick();
    void FBtnClick();
    void N1Click(bool checked);
    void N8Click();
    void N9Click();
    void SetupBtnClick();
    void N11Click() { SetupBtnClick(); }
    void LinkLabel1Click();
    void N3Click();
    void TrayClick(Qt::MouseButton button);
    // Hides the window instead of leaving it minimised, when there is a notification area to
    // bring it back from.
    void HideOnMinimize();
    // Opens WStyleMenu for a card label at a screen position.
    void openWStyleMenu(QLabel* lab, QPoint globalPos);
    void WStyleMenuPopup();
    void NKanjiClick();
    void NKanaClick();
    void NTransClick();
    void TNKanjiClick();
    void TNKanaClick();
    void TNTransClick();
    void BNKanjiClick();
    void BNKanaClick();
    void BNTransClick();

    // Controls, named as in the layout.
    QWidget* Panel3 = nullptr;
    QLabel* TimeLab = nullptr;
    TLinkLabel* LinkLabel1 = nullptr;
    QLabel* Lab1 = nullptr;
    QLabel* Lab2 = nullptr;
    QLabel* Lab3 = nullptr;
    QWidget* Panel5 = nullptr;
    QPushButton* SetupBtn = nullptr;
    QToolButton* StartBtn = nullptr;
    QToolButton* PauseBtn = nullptr;
    QToolButton* PrevBtn = nullptr;
    QToolButton* NextBtn = nullptr;
    QToolButton* RBtn = nullptr;
    QToolButton* FBtn = nullptr;
    TStatusBar* SBar = nullptr;
    TSpecialProgress* ProgCurr = nullptr;
    TSpecialProgress* ProgAll = nullptr;
    QTimer* TimerGlobal = nullptr;
    TTrayIcon* Tray = nullptr;
    TFormMagnet* FormMagnet1 = nullptr;

    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;
    QMenu* Cdthe1 = nullptr;
    QAction* TNKanji = nullptr;
    QAction* TNKana = nullptr;
    QAction* TNTrans = nullptr;
    QMenu* N5 = nullptr;
    QAction* BNKanji = nullptr;
    QAction* BNKana = nullptr;
    QAction* BNTrans = nullptr;
    QAction* N8 = nullptr;
    QAction* N9 = nullptr;
    QAction* N11 = nullptr;
    QAction* N3 = nullptr;

    QMenu* WStyleMenu = nullptr;
    QAction* NKanji = nullptr;
    QAction* NKana = nullptr;
    QAction* NTrans = nullptr;

    // The other windows: the hint window is created with this one, the dialogs on first use.
    THintForm* HintForm = nullptr;
    TSetupForm* SetupForm = nullptr;
    TEditForm* EditForm = nullptr;
    TAboutForm* AboutForm = nullptr;

    // The panel of the status bar with the position counter.
    static constexpr int kCounterPanel = 2;

signals:
    // The window closed after Yes to the exit question: the program ends.
    void FormClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createLayout();
    void createMenus();
    TSetupForm& setupForm();
    TAboutForm& aboutForm();
    void FormCreate(const QString& deckPath);
    void setTrainingButtonsAfterLoad();
    bool cardOnShow() const;
    void grade(bool remembered);
    void showAndRaise();
    void showFromTray();
    void setTrainingButtonsEnabled(bool enabled);
    void setBar(TSpecialProgress* bar, qint32 attempts, qint32 misses);
    // The label menu's choice of kind for the label it was opened on.
    void pickLabelKind(TWordKind kind, TWordKind otherGivesWayTo);
    QToolButton* makeButton(QWidget* panel, const char* name, const QString& picture,
                            const QString& hint, int left, int top);

    TrainerModel m_model;
    QRandomGenerator m_random;
    // The kinds not yet put on a label while a card is drawn, one bit per kind.
    quint8 ShownKinds = 0;
    // The card label WStyleMenu was opened on.
    QPointer<QLabel> m_menuLabel;
    std::unique_ptr<THintForm> m_hintForm;
    // Puts the window's frame, not its client area, at the stored or default place.
    platform::FramePlacement* m_placement = nullptr;
    // The tooltip delay the program had before this window lowered it; put back when it goes.
    int m_savedToolTipDelay = 0;
};
