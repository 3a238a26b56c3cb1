#pragma once

#include <QString>
#include <exception>

namespace platform {

// An error the program does not foresee (a file that cannot be read or written). It travels up to
// the handler that started the operation, which shows its text in an "Ошибка" message box.
class Error : public std::exception {
public:
    explicit Error(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}
    const QString& text() const { return m_text; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};

} // namespace platform
