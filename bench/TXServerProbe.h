// A private X server for the figures that need a real window: how long a program takes to show its first
// painted window, and how much processor time it uses afterwards.
#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

struct xcb_connection_t;

class TXServerProbe
{
public:
    // Starts Xvfb on a free display with a black root window; Ok() says whether that worked.
    TXServerProbe();
    ~TXServerProbe();
    TXServerProbe(const TXServerProbe &) = delete;
    TXServerProbe &operator=(const TXServerProbe &) = delete;

    bool Ok() const { return FConnection != nullptr; }
    QString Display() const { return FDisplay; }

    // Starts Program with Arguments on this server (the environment gets DISPLAY, QT_QPA_PLATFORM=xcb and the
    // extra Environment entries) and waits until it shows a painted window: a viewable top-level window of its
    // process whose pixels are nearly all drawn (not the black of the root) and, when WantTransparentCells,
    // whose centre shows the random white pixels of the Transparent effect. Returns the seconds from the start
    // to that moment, or a negative number after TimeoutSeconds. The process keeps running; see Stop.
    double StartAndWaitForPaint(const QString &Program, const QStringList &Arguments, const QStringList &Environment,
                                bool WantTransparentCells, double TimeoutSeconds);
    pid_t Child() const { return FChild; }
    // Ends the child started last and waits for it.
    void Stop();

    // Processor time (user + system, all threads) a process has used so far, in seconds.
    static double CpuSeconds(pid_t Process);

private:
    bool Painted(quint32 Window, bool WantTransparentCells);
    quint32 FindWindow(pid_t Process);

    pid_t FServer = -1;
    pid_t FChild = -1;
    QString FDisplay;
    xcb_connection_t *FConnection = nullptr;
    quint32 FRoot = 0;
    quint32 FPidAtom = 0;
};
