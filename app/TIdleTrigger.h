// Runs a handler once the event loop has nothing left to do after handling events, and never while it sleeps.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class TIdleTrigger : public QObject
{
    Q_OBJECT

public:
    // Watches every event of the application; Handler runs after the queue has drained.
    TIdleTrigger(std::function<void()> Handler, QObject *Parent = nullptr);
    ~TIdleTrigger() override;

    // While disabled, events schedule nothing.
    void SetEnabled(bool Enabled);
    bool IsEnabled() const { return FEnabled; }
    bool IsPending() const { return FTimer.isActive(); }
    // How many times the handler has run; lets tests see that an idle program stays idle.
    quint64 RunCount() const { return FRunCount; }

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void Run();

    std::function<void()> FHandler;
    QTimer FTimer;
    bool FEnabled = true;
    quint64 FRunCount = 0;
};
