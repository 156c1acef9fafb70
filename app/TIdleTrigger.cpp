// The idle trigger: a zero-interval single-shot timer, restarted by any event except its own.
#include "TIdleTrigger.h"

#include <QCoreApplication>

TIdleTrigger::TIdleTrigger(std::function<void()> Handler, QObject *Parent)
    : QObject(Parent), FHandler(std::move(Handler))
{
    // A zero timer fires once the events already queued have been handled: the moment the program turns idle.
    // Its own expiry is not an event that restarts it, so with nothing happening the loop sleeps.
    FTimer.setSingleShot(true);
    FTimer.setInterval(0);
    connect(&FTimer, &QTimer::timeout, this, &TIdleTrigger::Run);
    QCoreApplication::instance()->installEventFilter(this);
    FTimer.start();
}

TIdleTrigger::~TIdleTrigger()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void TIdleTrigger::SetEnabled(bool Enabled)
{
    FEnabled = Enabled;
    if (!Enabled)
        FTimer.stop();
    else
        FTimer.start();
}

bool TIdleTrigger::eventFilter(QObject *Watched, QEvent *Event)
{
    Q_UNUSED(Event);
    if (FEnabled && Watched != &FTimer && Watched != this && !FTimer.isActive())
        FTimer.start();
    return false;
}

void TIdleTrigger::Run()
{
    if (!FEnabled)
        return;
    ++FRunCount;
    FHandler();
}
