#include "hint/uhint.h"

THintForm::THintForm(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("HintForm"));
    setWindowTitle(QStringLiteral("Написание"));
}

void THintForm::ShowKanji(const QString& text) {
    Q_UNUSED(text);
}
