#pragma once
// Waiting in a test that needs the event loop (timers, queued signals, the serial I/O
// thread's deliveries): events are processed until the condition holds or time is up.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

template <typename Ready>
bool WaitFor(Ready ready, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!ready() && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return ready();
}
