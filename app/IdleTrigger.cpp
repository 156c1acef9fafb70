// The idle trigger: a zero-interval single-shot timer, restarted by any event except its own.
#include "IdleTrigger.h"

#include <QCoreApplication>

IdleTrigger::IdleTrigger(std::function<void()> handler, QObject *parent)
    : QObject(parent), m_handler(std::move(handler))
{
    // A zero timer fires once the events already queued have been handled: the moment the program turns idle.
    // Its own expiry is not an event that restarts it, so with nothing happening the loop sleeps.
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &IdleTrigger::run);
    QCoreApplication::instance()->installEventFilter(this);
    m_timer.start();
}

IdleTrigger::~IdleTrigger()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void IdleTrigger::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled)
        m_timer.stop();
    else
        m_timer.start();
}

bool IdleTrigger::eventFilter(QObject *watched, QEvent *event)
{
    Q_UNUSED(event);
    if (m_enabled && watched != &m_timer && watched != this && !m_timer.isActive())
        m_timer.start();
    return false;
}

void IdleTrigger::run()
{
    if (!m_enabled)
        return;
    ++m_runCount;
    m_handler();
}
