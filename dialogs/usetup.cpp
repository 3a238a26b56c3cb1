#include "dialogs/usetup.h"

#include "app/model/trainermodel.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TSetupForm::TSetupForm(TrainerModel& model, QWidget* parent) : QDialog(parent), m_model(model) {
    setObjectName(QStringLiteral("SetupForm"));
    setWindowTitle(QStringLiteral("Настройки"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Файл словаря:"), this));
    FNameEdit = new QLineEdit(this);
    FNameEdit->setObjectName(QStringLiteral("FNameEdit"));
    FNameEdit->setMinimumWidth(300);
    layout->addWidget(FNameEdit);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    layout->addWidget(buttons);
    connect(ok, &QPushButton::clicked, this, &TSetupForm::OKBtnClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TSetupForm::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TSetupForm::FormShow() {
    FNameEdit->setText(m_model.Dictionary);
}

void TSetupForm::OKBtnClick() {
    m_model.setIntervals(m_model.ShowNewCard, m_model.ShowTranslation);
    m_model.rebuildActiveList();
    accept();
}
