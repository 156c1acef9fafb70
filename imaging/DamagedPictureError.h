// SPDX-License-Identifier: GPL-3.0-or-later
// The refusal of a picture whose data is well-formed enough to decode but damaged or hostile beyond use.
#pragma once

#include "UserError.h"

#include <QCoreApplication>

namespace quorra {

class DamagedPictureError : public UserError
{
public:
    // Why completes "... is damaged: it <Why>" or "its picture <Why>", so callers can name the file it came in.
    explicit DamagedPictureError(const QString &why)
        : UserError(QCoreApplication::translate("Pictures", "The picture is damaged: it %1").arg(why)), m_why(why)
    {
    }
    const QString &why() const noexcept { return m_why; }

private:
    QString m_why;
};

} // namespace quorra
