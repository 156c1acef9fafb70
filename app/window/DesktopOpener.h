// SPDX-License-Identifier: GPL-3.0-or-later
// Opens a file or a web address with the desktop's opener, and tells when it could not.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

namespace quorra {

// QDesktopServices reports success as soon as xdg-open has started, and xdg-open fails on its own later when no
// browser is installed. Running xdg-open as a process of ours lets its exit status be heard.
class DesktopOpener : public QObject
{
    Q_OBJECT

public:
    explicit DesktopOpener(QObject *parent = nullptr);

    // Starts the opener on Url and returns at once; failed follows if it cannot be started or ends in an error
    // while it is still handing the address over (ReportMs).
    void open(const QUrl &url);

    // The program that is started; tests point it elsewhere.
    void setProgram(const QString &program) { m_program = program; }
    QString program() const { return m_program; }

    // xdg-open may wait for a browser it started until that browser quits; an error that late is the browser's.
    static constexpr int ReportMs = 30000;

signals:
    void failed(const QUrl &url);

private:
    QString m_program = QStringLiteral("xdg-open");
};

} // namespace quorra
