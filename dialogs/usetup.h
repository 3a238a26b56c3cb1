#pragma once

#include <QDialog>

class QLineEdit;
class TrainerModel;

// The options dialog. For now it offers the deck file only; closing it with OK keeps the run's
// intervals and the active list in step with the model, as the full dialog will.
class TSetupForm : public QDialog {
    Q_OBJECT

public:
    explicit TSetupForm(TrainerModel& model, QWidget* parent = nullptr);

    QLineEdit* FNameEdit = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OKBtnClick();

    TrainerModel& m_model;
};
