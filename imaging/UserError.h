// SPDX-License-Identifier: GPL-3.0-or-later
// The one exception type of the program: a failure whose text the user is shown as it stands.
#pragma once

#include <QString>
#include <exception>

namespace quorra {

class UserError : public std::exception
{
public:
    explicit UserError(const QString &message) : m_message(message), m_utf8(message.toUtf8()) {}
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

} // namespace quorra
