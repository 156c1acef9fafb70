// SPDX-License-Identifier: GPL-3.0-or-later
// The program's logging category, and the text of an error that is given up rather than shown.
#include "LogCategory.h"

#include "UserError.h"

#include <exception>

namespace quorra {

Q_LOGGING_CATEGORY(lcQuorra, "quorra")

QString handledErrorText()
{
    // Called with nothing being handled, a rethrow would end the program instead of naming an error.
    if (!std::current_exception())
        return QStringLiteral("no error");
    try {
        throw;
    } catch (const UserError &e) {
        // Its own text, not what() in UTF-8 read back as the locale's encoding.
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("an error that carries no text");
    }
}

} // namespace quorra
