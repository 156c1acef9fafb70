// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the window's command handlers so that an error ends the command, is reported, and the program goes on.
#pragma once

#include <functional>

class QString;

namespace quorra {

class Dialogs;

class CommandGuard
{
public:
    // BeforeReport runs before any error is shown: a pointer held on the picture must be free for the message.
    CommandGuard(Dialogs &dialogs, std::function<void()> beforeReport);

    // Every command handler runs inside this; handlers may run one inside another.
    void run(const std::function<void()> &handler);
    // Runs Work and reports an error that ends it, an allocation that failed included; false when one did.
    bool reported(const std::function<void()> &work);
    // A handler is running now.
    bool isRunning() const { return m_depth > 0; }
    // Runs each time the outermost handler has returned, failed or not: what waits for no command to be under
    // way learns it there.
    void setAllEnded(std::function<void()> allEnded) { m_allEnded = std::move(allEnded); }

private:
    void report(const QString &text);

    Dialogs &m_dialogs;
    std::function<void()> m_beforeReport;
    std::function<void()> m_allEnded;
    int m_depth = 0;
};

} // namespace quorra
