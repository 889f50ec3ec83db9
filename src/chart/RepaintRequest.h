#pragma once
#include <QMetaObject>
#include <QWidget>

#include <atomic>
#include <functional>

// A repaint that any thread may ask a widget for, queued at most once until the next
// paint, so that a burst of reports costs one repaint; the owner may hold granted
// requests (a fast replay paints its parts together, once a frame).
//
// Threads: Request from any thread; everything else on the widget's (user-interface)
// thread. The owner calls Painted at the start of each paint, before it reads its data,
// so that a request during the paint queues the next one.
class CRepaintRequest {
public:
    // repaint: what a granted request does on the widget's thread (update(), or update
    // of the part that changes).
    CRepaintRequest(QWidget& widget, std::function<void()> repaint)
        : m_widget(widget), m_repaint(std::move(repaint))
    {
    }

    void Request()
    {
        // Only the caller that sets the flag queues the call.
        if (m_pending.exchange(true, std::memory_order_acq_rel))
            return;
        QMetaObject::invokeMethod(
            &m_widget,
            [this] {
                if (!m_held)
                    m_repaint();
            },
            Qt::QueuedConnection);
    }
    // While held, a request waits for Release.
    void Hold(bool held)
    {
        m_held = held;
        if (!held)
            Release();
    }
    // Repaints now if a request came since the last paint.
    void Release()
    {
        if (m_pending.load(std::memory_order_acquire))
            m_repaint();
    }
    void Painted() { m_pending.store(false, std::memory_order_release); }

private:
    QWidget& m_widget;
    std::function<void()> m_repaint;
    std::atomic<bool> m_pending{false};
    bool m_held = false;  // the widget's thread only
};
