// SPDX-License-Identifier: GPL-3.0-or-later
// The guarded command handler and the reporting of the errors that end a command.
#include "CommandGuard.h"

#include "Dialogs.h"
#include "UserError.h"
#include "WindowTexts.h"

#include <QScopeGuard>
#include <QString>
#include <exception>
#include <new>

namespace quorra {

CommandGuard::CommandGuard(Dialogs &dialogs, std::function<void()> beforeReport)
    : m_dialogs(dialogs), m_beforeReport(std::move(beforeReport))
{
}

void CommandGuard::run(const std::function<void()> &handler)
{
    ++m_depth;
    const auto done = qScopeGuard([this] {
        if (--m_depth == 0 && m_allEnded)
            m_allEnded();
    });
    reported(handler);
}

bool CommandGuard::reported(const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const UserError &e) {
        report(e.message());
    } catch (const std::bad_alloc &) {
        report(WindowTexts::text(WindowTexts::NoMemoryForCommand));
    } catch (const std::exception &e) {
        report(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void CommandGuard::report(const QString &text)
{
    if (m_beforeReport)
        m_beforeReport();
    m_dialogs.error(text);
}

} // namespace quorra
