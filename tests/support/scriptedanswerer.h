#pragma once

#include "platform/messagebox.h"

class QDialog;

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

// Answers the program's message boxes from a script. Each expected box is stated in advance with
// its answer; a box that was not expected, or one with other text, fails the test, and so does an
// expected box that never came. Without an answerer in scope, any box fails the test. Modal
// dialogs are answered the same way: each expected dialog (by object name) gets an action that
// fills it in and returns its result.
class ScriptedAnswerer {
public:
    ScriptedAnswerer();
    ~ScriptedAnswerer();
    ScriptedAnswerer(const ScriptedAnswerer&) = delete;
    ScriptedAnswerer& operator=(const ScriptedAnswerer&) = delete;

    void expectError(const QString& text);
    // An error whose text contains fragment (for texts that carry the system's own wording).
    void expectErrorContaining(const QString& fragment);
    // A question; with expectedDefault, also the button that Enter would press.
    void expectQuestion(const QString& text, platform::Answer answer,
                        std::optional<platform::Answer> expectedDefault = std::nullopt);
    void expectNotice(const QString& text);
    using DialogAction = std::function<int(QDialog&)>;
    void expectDialog(const QString& objectName, DialogAction action);

    // Every box shown while the answerer was installed, in order.
    const std::vector<platform::MessageRequest>& shown() const { return m_shown; }

    // Installs the handlers that fail the test on any box or dialog (the test main does this
    // once).
    static void installFailingDefault();

private:
    struct Expected {
        platform::MessageKind kind;
        QString text;
        platform::Answer answer;
        bool partial = false;
        std::optional<platform::Answer> defaultAnswer;
    };
    platform::Answer answer(const platform::MessageRequest& request);
    int answerDialog(QDialog& dialog);

    std::deque<Expected> m_expected;
    std::vector<platform::MessageRequest> m_shown;
    std::deque<std::pair<QString, DialogAction>> m_dialogs;
};
