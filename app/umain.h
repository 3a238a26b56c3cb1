#pragma once

#include "app/model/deckcodec.h"
#include "app/model/trainermodel.h"

#include "platform/frameplacement.h"
#include "platform/paths.h"

#include <QPointer>
#include <QRandomGenerator>
#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QDialog;
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
    // layout: where the settings file, bare deck names and the pictures live. A non-empty
    // deckPath replaces the stored deck right after the settings are read (made absolute against
    // the current folder).
    explicit TForm2(const platform::paths::Layout& layout, const QString& deckPath = QString(),
                    QWidget* parent = nullptr);
    // A program living in the folder appDir (ending in a delimiter), as an unpacked copy does.
    explicit TForm2(const QString& appDir, const QString& deckPath = QString(),
                    QWidget* parent = nullptr);
    ~TForm2() override;

    TrainerModel& model() { return m_model; }
    const TrainerModel& model() const { return m_model; }

    // The settings file, read at start; written within a second of every change made through the
    // dialogs and menus, and at every ending.
    void LoadSettings();
    // Throws platform::Error "Unable to write to <path>" when the file cannot be written. A file
    // that already holds these settings is left alone.
    void SaveSettings();

    bool LoadDeck(const QString& path);
    // False (after an "Ошибка" box) when the deck could not be written. Tells the user which copy
    // was kept when another program had changed the file.
    bool SaveDeck(const QString& path);

    // Writes what changed since the last write: the deck, then the settings. Runs one second
    // after the first change of a batch (TimerSave). A failure is reported once; the next change
    // tries again.
    void TimerSaveTimer();
    // Ends the run without the exit question (a termination signal, the end of the desktop
    // session): writes the deck and the settings without any box, failures to standard error.
    // False when something could not be written. The window accepts any close after it.
    bool endWithoutQuestion();
    // The desktop session is ending: the files are written without any box; the program goes on
    // until it is told to end.
    void commitSessionData();
    bool hasEnded() const { return m_ended; }
    // A second start of the program or a tray click: the window comes up from wherever it is,
    // with the keyboard.
    void bringUp();
    // A later start of the program handed over its arguments (program name first): the window
    // comes up, and a deck path among them (absolute) is opened by the same steps as choosing it
    // in the options, the old deck saved first. Waits while a dialog of this program is open.
    void openHandedOver(const QStringList& args);
    static constexpr int kHandOverRetryMs = 300;

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
    // One shot, one second after the first unsaved change.
    QTimer* TimerSave = nullptr;
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
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createLayout();
    void createMenus();
    TSetupForm& setupForm();
    // Choosing another deck: the old one saved (or given up when the user agrees), the new one
    // loaded and its first card shown.
    enum class DeckSwitch { Kept, Switched, Unreadable };
    DeckSwitch switchDeck(const QString& path);
    // Shows one of this window's dialogs modally.
    int execDialog(QDialog& dialog);
    TAboutForm& aboutForm();
    void FormCreate(const QString& deckPath);
    void setTrainingButtonsAfterLoad();
    bool cardOnShow() const;
    void onModelChanged(TrainerModel::Change what);
    // Writes the settings file; false with the reason in *error.
    bool writeSettings(QString* error);
    // Shows a box of the autosave: the run is paused meanwhile, and left as it was.
    void reportDuringRun(const std::function<void()>& show);
    QString keptCopyText(const DeckSaveResult& result) const;
    void tellKeptCopy(const DeckSaveResult& result);
    // Writes the deck and the settings with no box, failures to standard error; false when
    // something could not be written.
    bool saveWithoutBoxes();
    // Stops the clocks and takes the icon down: nothing more happens after an ending.
    void endRun();
    void grade(bool remembered);
    void showAndRaise();
    void showFromTray();
    void setTrainingButtonsEnabled(bool enabled);
    void setBar(TSpecialProgress* bar, qint32 attempts, qint32 misses);
    // The label menu's choice of kind for the label it was opened on.
    void pickLabelKind(TWordKind kind, TWordKind otherGivesWayTo);
    QToolButton* makeButton(QWidget* panel, const char* name, const QString& picture,
                            const QString& hint, int left, int top);

    platform::paths::Layout m_layout;
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
    // Changes not yet written, and failures of the autosave already reported.
    bool m_deckUnsaved = false;
    bool m_settingsUnsaved = false;
    bool m_deckFailureReported = false;
    bool m_settingsFailureReported = false;
    // The run has ended (exit flow or an ending without the question).
    bool m_ended = false;
};
