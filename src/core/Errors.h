#pragma once

#include <QString>
#include <QByteArray>
#include <exception>

// A failure a command reports to the user and stops at. Thrown by the file layer
// ("Cannot open file ...", "Cannot create file ...", "Unable to write to ...", "Invalid UTF7");
// the window's error handler or the command-line tool shows message().
class SonaloError : public std::exception
{
public:
    explicit SonaloError(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
