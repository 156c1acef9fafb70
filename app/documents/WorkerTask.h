// SPDX-License-Identifier: GPL-3.0-or-later
// One piece of decoding at a time on a worker thread, its outcome handed back on the GUI thread or dropped.
#pragma once

#include "DecodeCancellation.h"

#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

namespace quorra {

// What a worker's work gave: its value, or the error that ended it, raised again where it is taken.
template <typename T>
struct WorkerOutcome {
    std::optional<T> value;
    std::exception_ptr error;

    T take()
    {
        if (error)
            std::rethrow_exception(error);
        return std::move(*value);
    }
};

class WorkerTask
{
public:
    WorkerTask() = default;
    // A task still running is given up: its thread ends on its own and its outcome goes nowhere.
    ~WorkerTask() { cancel(); }
    WorkerTask(const WorkerTask &) = delete;
    WorkerTask &operator=(const WorkerTask &) = delete;

    bool isRunning() const { return !m_watcher.isNull(); }

    // Runs Work on a worker thread (it must touch no widget and no pixmap) and then Done on Context's thread, unless
    // the task is cancelled or started anew first. Any earlier work is given up.
    template <typename T>
    void start(QObject *context, std::function<T()> work, std::function<void(WorkerOutcome<T>)> done)
    {
        cancel();
        auto flag = std::make_shared<std::atomic_bool>(false);
        m_flag = flag;
        auto *watcher = new QFutureWatcher<WorkerOutcome<T>>(context);
        m_watcher = watcher;
        QObject::connect(watcher, &QFutureWatcherBase::finished, context, [this, watcher, done = std::move(done)] {
            WorkerOutcome<T> outcome = watcher->result();
            watcher->deleteLater();
            m_watcher.clear();
            m_flag.reset();
            done(std::move(outcome));
        });
        watcher->setFuture(QtConcurrent::run([flag, work = std::move(work)] {
            const DecodeCancellation cancellation(flag);
            WorkerOutcome<T> outcome;
            try {
                outcome.value = work();
            } catch (...) {
                outcome.error = std::current_exception();
            }
            return outcome;
        }));
    }

    // Gives the running work up: its decode stops where the readers can stop it, and nothing comes of it.
    void cancel();

private:
    std::shared_ptr<std::atomic_bool> m_flag;
    QPointer<QFutureWatcherBase> m_watcher;
};

} // namespace quorra
