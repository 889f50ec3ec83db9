#pragma once
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

// Answers every message box the code under test opens, as an operator would click OK,
// and keeps what each one showed. Boxes run their own event loop; the watcher's timer
// runs inside it.
class MessageBoxWatcher : public QObject {
public:
    struct Seen {
        QString caption;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool onTop = false;
        QWidget* owner = nullptr;
        QString okText;  // the text of its OK button
        QString detail;  // the line below the text, if any
    };

    MessageBoxWatcher();

    const std::vector<Seen>& Boxes() const { return m_seen; }
    void Clear() { m_seen.clear(); }

private:
    void Poll();

    QTimer m_timer;
    std::vector<Seen> m_seen;
};
