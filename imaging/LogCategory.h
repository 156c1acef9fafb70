// SPDX-License-Identifier: GPL-3.0-or-later
// The program's logging category, and the text of an error that is given up rather than shown.
#pragma once

#include <QLoggingCategory>
#include <QString>

namespace quorra {

// "quorra": a failure the program goes on past (a silent sound, a missing preview) is told here, so that one
// can be traced with QT_LOGGING_RULES even though nobody sees a message box for it.
Q_DECLARE_LOGGING_CATEGORY(lcQuorra)

// Only inside a catch block: what the exception being handled says, or that it says nothing.
QString handledErrorText();

} // namespace quorra
