#include "tests/support/scriptedanswerer.h"

#include "tests/support/printers.h"

#include <gtest/gtest.h>

using platform::Answer;
using platform::MessageKind;
using platform::MessageRequest;

ScriptedAnswerer::ScriptedAnswerer() {
    platform::setMessageHandler([this](const MessageRequest& r) { return answer(r); });
}

ScriptedAnswerer::~ScriptedAnswerer() {
    installFailingDefault();
    for (const Expected& e : m_expected)
        ADD_FAILURE() << "expected message box never shown: " << e.text.toStdString();
}

void ScriptedAnswerer::expectError(const QString& text) {
    m_expected.push_back({MessageKind::Error, text, Answer::Ok});
}

void ScriptedAnswerer::expectErrorContaining(const QString& fragment) {
    m_expected.push_back({MessageKind::Error, fragment, Answer::Ok, true});
}

void ScriptedAnswerer::expectQuestion(const QString& text, Answer answer) {
    m_expected.push_back({MessageKind::Question, text, answer});
}

Answer ScriptedAnswerer::answer(const MessageRequest& request) {
    m_shown.push_back(request);
    const QString expectedCaption =
        request.kind == MessageKind::Error ? platform::errorCaption() : platform::questionCaption();
    EXPECT_EQ(request.caption, expectedCaption);
    if (m_expected.empty()) {
        ADD_FAILURE() << "unexpected message box: " << request.text.toStdString();
        return request.kind == MessageKind::Error ? Answer::Ok : Answer::No;
    }
    const Expected next = m_expected.front();
    m_expected.pop_front();
    EXPECT_EQ(request.kind, next.kind) << request.text.toStdString();
    if (next.partial)
        EXPECT_TRUE(request.text.contains(next.text)) << request.text.toStdString();
    else
        EXPECT_EQ(request.text, next.text);
    return next.answer;
}

void ScriptedAnswerer::installFailingDefault() {
    platform::setMessageHandler([](const MessageRequest& r) {
        ADD_FAILURE() << "unexpected message box \"" << r.caption.toStdString()
                      << "\": " << r.text.toStdString();
        return r.kind == MessageKind::Error ? Answer::Ok : Answer::No;
    });
}
