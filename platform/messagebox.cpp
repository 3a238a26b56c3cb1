#include "platform/messagebox.h"

#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {

MessageHandler& handler() {
    static MessageHandler h;
    return h;
}

Answer run(QWidget* parent, const MessageRequest& request) {
    if (handler())
        return handler()(request);
    QMessageBox box(QMessageBox::NoIcon, request.caption, request.text, QMessageBox::NoButton,
                    parent);
    if (request.kind != MessageKind::Question) {
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
        box.exec();
        return Answer::Ok;
    }
    QPushButton* yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
    box.setDefaultButton(request.defaultAnswer == Answer::No ? no : yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? Answer::Yes : Answer::No;
}

} // namespace

QString errorCaption() {
    return QStringLiteral("Ошибка");
}
QString questionCaption() {
    return QStringLiteral("Сообщение");
}

void showError(QWidget* parent, const QString& text) {
    run(parent, {MessageKind::Error, errorCaption(), text, Answer::Ok});
}

void showNotice(QWidget* parent, const QString& text) {
    run(parent, {MessageKind::Notice, questionCaption(), text, Answer::Ok});
}

bool askQuestion(QWidget* parent, const QString& text, Answer defaultAnswer) {
    return run(parent, {MessageKind::Question, questionCaption(), text, defaultAnswer}) ==
           Answer::Yes;
}

void setMessageHandler(MessageHandler h) {
    handler() = std::move(h);
}

} // namespace platform
