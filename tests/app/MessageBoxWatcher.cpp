#include "MessageBoxWatcher.h"

#include <QAbstractButton>
#include <QApplication>

MessageBoxWatcher::MessageBoxWatcher()
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxWatcher::Poll);
    m_timer.start();
}

void MessageBoxWatcher::Poll()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (!box || !box->isVisible() || box->property("answered").toBool())
            continue;
        box->setProperty("answered", true);
        const QAbstractButton* ok = box->button(QMessageBox::Ok);
        m_seen.push_back({box->windowTitle(), box->text(), box->icon(),
                          box->windowFlags().testFlag(Qt::WindowStaysOnTopHint), box->parentWidget(),
                          ok ? ok->text() : QString(), box->informativeText()});
        box->done(QMessageBox::Ok);
    }
}
