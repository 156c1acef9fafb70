// Runs a handler once the event loop has nothing left to do after handling events, and never while it sleeps.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class IdleTrigger : public QObject
{
    Q_OBJECT

public:
    // Watches every event of the application; Handler runs after the queue has drained.
    IdleTrigger(std::function<void()> handler, QObject *parent = nullptr);
    ~IdleTrigger() override;

    // While disabled, events schedule nothing.
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    bool isPending() const { return m_timer.isActive(); }
    // How many times the handler has run; lets tests see that an idle program stays idle.
    quint64 runCount() const { return m_runCount; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void run();

    std::function<void()> m_handler;
    QTimer m_timer;
    bool m_enabled = true;
    quint64 m_runCount = 0;
};
