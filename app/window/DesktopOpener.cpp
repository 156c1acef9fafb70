// SPDX-License-Identifier: GPL-3.0-or-later
// Opens a file or a web address with xdg-open, hearing how it ended.
#include "DesktopOpener.h"

#include <QDeadlineTimer>
#include <QProcess>

namespace quorra {

DesktopOpener::DesktopOpener(QObject *parent) : QObject(parent) {}

void DesktopOpener::open(const QUrl &url)
{
    auto *process = new QProcess(this);
    // Nothing of the opener's or the browser's output belongs in the program's.
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    const QDeadlineTimer reporting(ReportMs);
    connect(process, &QProcess::errorOccurred, this, [this, process, url](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            emit failed(url);
            process->deleteLater();
        }
    });
    connect(process, &QProcess::finished, this,
            [this, process, url, reporting](int exitCode, QProcess::ExitStatus status) {
                process->deleteLater();
                if (!reporting.hasExpired() && (status != QProcess::NormalExit || exitCode != 0))
                    emit failed(url);
            });
    process->start(m_program, {url.toString(QUrl::FullyEncoded)});
}

} // namespace quorra
