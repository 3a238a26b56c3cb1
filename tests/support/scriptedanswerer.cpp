#include "tests/support/scriptedanswerer.h"

#include "tests/support/printers.h"

#include "platform/modal.h"

#include <QDialog>
#include <gtest/gtest.h>

using platform::Answer;
using platform::MessageKind;
using platform::MessageRequest;

ScriptedAnswerer::ScriptedAnswerer() {
    platform::setMessageHandler([this](const MessageRequest& r) { return answer(r); });
    platform::setDialogHandler([this](QDialog& d) { return answerDialog(d); });
}

ScriptedAnswerer::~ScriptedAnswerer() {
    installFailingDefault();
    for (const Expected& e : m_expected)
        ADD_FAILURE() << "expected message box never shown: " << e.text.toStdString();
    for (const auto& d : m_dialogs)
        ADD_FAILURE() << "expected dialog never shown: " << d.first.toStdString();
}

void ScriptedAnswerer::expectDialog(const QString& objectName, DialogAction action) {
    m_dialogs.emplace_back(objectName, std::move(action));
}

int ScriptedAnswerer::answerDialog(QDialog& dialog) {
    if (m_dialogs.empty()) {
        ADD_FAILURE() << "unexpected dialog: " << dialog.objectName().toStdString();
        return QDialog::Rejected;
    }
    auto next = std::move(m_dialogs.front());
    m_dialogs.pop_front();
    EXPECT_EQ(dialog.objectName(), next.first);
    return next.second(dialog);
}

void ScriptedAnswerer::expectError(const QString& text) {
    m_expected.push_back({MessageKind::Error, text, Answer::Ok, false, std::nullopt});
}

void ScriptedAnswerer::expectErrorContaining(const QString& fragment) {
    m_expected.push_back({MessageKind::Error, fragment, Answer::Ok, true, std::nullopt});
}

void ScriptedAnswerer::expectQuestion(const QString& text, Answer answer,
                                      std::optional<Answer> expectedDefault) {
    m_expected.push_back({MessageKind::Question, text, answer, false, expectedDefault});
}

void ScriptedAnswerer::expectNotice(const QString& text) {
    m_expected.push_back({MessageKind::Notice, text, Answer::Ok, false, std::nullopt});
}

Answer ScriptedAnswerer::answer(const MessageRequest& request) {
    m_shown.push_back(request);
    const QString expectedCaption =
        request.kind == MessageKind::Error ? platform::errorCaption() : platform::questionCaption();
    EXPECT_EQ(request.caption, expectedCaption);
    if (m_expected.empty()) {
        ADD_FAILURE() << "unexpected message box: " << request.text.toStdString();
        return request.kind == MessageKind::Question ? Answer::No : Answer::Ok;
    }
    const Expected next = m_expected.front();
    m_expected.pop_front();
    EXPECT_EQ(request.kind, next.kind) << request.text.toStdString();
    if (next.partial) {
        EXPECT_TRUE(request.text.contains(next.text)) << request.text.toStdString();
    } else {
        EXPECT_EQ(request.text, next.text);
    }
    if (next.defaultAnswer) {
        EXPECT_EQ(request.defaultAnswer, *next.defaultAnswer) << request.text.toStdString();
    }
    return next.answer;
}

void ScriptedAnswerer::installFailingDefault() {
    platform::setDialogHandler([](QDialog& d) {
        ADD_FAILURE() << "unexpected dialog: " << d.objectName().toStdString();
        return int(QDialog::Rejected);
    });
    platform::setMessageHandler([](const MessageRequest& r) {
        ADD_FAILURE() << "unexpected message box \"" << r.caption.toStdString()
                      << "\": " << r.text.toStdString();
        return r.kind == MessageKind::Question ? Answer::No : Answer::Ok;
    });
}
