#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// An error that ends the operation that raised it. Handlers of the windows
// catch it and show its message in the standard error box; the program then
// goes on in the state reached.
class Error : public std::exception
{
public:
    explicit Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) { }

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
