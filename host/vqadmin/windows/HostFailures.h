#pragma once
// Nothing a plug-in raises takes the host down: calls into the plug-in run
// guarded, and what an event handler raises (plug-in code handles the events
// of its frames) is caught where the application delivers the event. Either
// way the user sees the message in a message box.

#include <QApplication>

#include <functional>

// The failure in a message box over Parent.
void ShowFailure(QWidget *Parent, const QString &Message);

// Runs Call; false, after showing the failure, when it raised.
bool RunGuarded(QWidget *Parent, const std::function<void()> &Call);

class TAdminApplication : public QApplication {
    Q_OBJECT
public:
    using QApplication::QApplication;
    bool notify(QObject *Receiver, QEvent *Event) override;
};
