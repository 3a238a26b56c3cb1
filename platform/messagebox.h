#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace platform {

// The program's message boxes: modal, without an icon. Errors carry the caption "Ошибка" and a
// single OK button, questions the caption "Сообщение" with the buttons "Да" and "Нет", notices the
// caption "Сообщение" with a single OK button.
enum class MessageKind { Error, Question, Notice };
enum class Answer { Ok, Yes, No };

struct MessageRequest {
    MessageKind kind;
    QString caption;
    QString text;
    Answer defaultAnswer;
};

QString errorCaption();
QString questionCaption();

void showError(QWidget* parent, const QString& text);
void showNotice(QWidget* parent, const QString& text);
// True when the user answered Yes. defaultAnswer is the button that Enter presses.
bool askQuestion(QWidget* parent, const QString& text, Answer defaultAnswer = Answer::Yes);

// Replaces the real boxes (tests answer them from a script). An empty handler restores the real
// boxes.
using MessageHandler = std::function<Answer(const MessageRequest&)>;
void setMessageHandler(MessageHandler handler);

} // namespace platform
