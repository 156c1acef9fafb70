// SPDX-License-Identifier: GPL-3.0-or-later
// One piece of decoding at a time on a worker thread, its outcome handed back on the GUI thread or dropped.
#include "WorkerTask.h"

namespace quorra {

void WorkerTask::cancel()
{
    if (m_flag)
        m_flag->store(true, std::memory_order_relaxed);
    m_flag.reset();
    if (QFutureWatcherBase *watcher = m_watcher.data()) {
        // The watcher's future keeps its own copy of the outcome until the worker is done with it.
        watcher->disconnect();
        watcher->deleteLater();
    }
    m_watcher.clear();
}

} // namespace quorra
