// SPDX-License-Identifier: GPL-3.0-or-later
// A private X server for the figures that need a real window: how long a program takes to show its first
// painted window, and how much processor time it uses afterwards.
#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

struct xcb_connection_t;

namespace quorra {

class XServerProbe
{
public:
    // Starts Xvfb on a free display with a black root window; Ok() says whether that worked.
    XServerProbe();
    ~XServerProbe();
    XServerProbe(const XServerProbe &) = delete;
    XServerProbe &operator=(const XServerProbe &) = delete;

    bool ok() const { return m_connection != nullptr; }
    QString display() const { return m_display; }

    // Starts Program with Arguments on this server (the environment gets DISPLAY, QT_QPA_PLATFORM=xcb and the
    // extra Environment entries) and waits until it shows a painted window: a viewable top-level window of its
    // process whose pixels are nearly all drawn (not the black of the root) and, when WantTransparentCells,
    // whose centre shows the random white pixels of the Transparent effect. Returns the seconds from the start
    // to that moment, or a negative number after TimeoutSeconds. The process keeps running; see Stop.
    double startAndWaitForPaint(const QString &program, const QStringList &arguments, const QStringList &environment,
                                bool wantTransparentCells, double timeoutSeconds);
    pid_t child() const { return m_child; }
    // Ends the child started last and waits for it.
    void stop();

    // Processor time (user + system, all threads) a process has used so far, in seconds.
    static double cpuSeconds(pid_t process);

private:
    bool painted(quint32 window, bool wantTransparentCells);
    quint32 findWindow(pid_t process);

    pid_t m_server = -1;
    pid_t m_child = -1;
    QString m_display;
    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
    quint32 m_pidAtom = 0;
};

} // namespace quorra
