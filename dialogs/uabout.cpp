#include "dialogs/uabout.h"

#include "platform/fonts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("О программе..."));
    setFont(platform::windowFont());
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("Sorabi v.0.9.2"), this);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    layout->addWidget(buttons);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}
