#pragma once

#include "app/model/deckcodec.h"
#include "app/model/trainermodel.h"

#include <QRandomGenerator>
#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;
class QToolButton;

// The main window: the card, the training buttons and the run.
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

    // Controls, named as in the layout.
    QLabel* TimeLab = nullptr;
    QLabel* Lab1 = nullptr;
    QLabel* Lab2 = nullptr;
    QLabel* Lab3 = nullptr;
    QPushButton* SetupBtn = nullptr;
    QToolButton* StartBtn = nullptr;
    QToolButton* PauseBtn = nullptr;
    QToolButton* PrevBtn = nullptr;
    QToolButton* NextBtn = nullptr;
    QToolButton* RBtn = nullptr;
    QToolButton* FBtn = nullptr;
    QTimer* TimerGlobal = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate(const QString& deckPath);
    void setTrainingButtonsAfterLoad();
    bool cardOnShow() const;
    void grade(bool remembered);
    void showAndRaise();
    void setTrainingButtonsEnabled(bool enabled);
    QToolButton* makeButton(QWidget* panel, const char* name, const QString& hint, int left,
                            int top);

    TrainerModel m_model;
    QRandomGenerator m_random;
    // The kinds not yet put on a label while a card is drawn, one bit per kind.
    quint8 ShownKinds = 0;
    QWidget* Panel3 = nullptr;
    QWidget* Panel5 = nullptr;
};
