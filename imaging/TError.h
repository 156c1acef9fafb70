// The one exception type of the program: a failure whose text the user is shown as it stands.
#pragma once

#include <QString>
#include <exception>

class TError : public std::exception
{
public:
    explicit TError(const QString &Message) : FMessage(Message), FUtf8(Message.toUtf8()) {}
    const QString &Message() const noexcept { return FMessage; }
    const char *what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};
