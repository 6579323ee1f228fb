#pragma once
// Helpers for the context-help tests: what the host's help system received,
// and clicks that go through the window as the platform's would, so that a
// right click brings its context-menu request.

#include "HelpCommands.h"

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QWidget>

// Answers the help commands sent while it lives and keeps them as "COMMAND ARGUMENT".
class THelpRecorder : public QObject {
public:
    THelpRecorder() { qApp->installEventFilter(this); }
    ~THelpRecorder() override { qApp->removeEventFilter(this); }

    // The commands received since the last call, once the posted events have run.
    QStringList Take() {
        QCoreApplication::sendPostedEvents();
        return std::exchange(FLog, {});
    }

protected:
    bool eventFilter(QObject *, QEvent *Event) override {
        if (Event->type() != THelpCommandEvent::HelpCommandEventType)
            return false;
        auto *help = static_cast<THelpCommandEvent *>(Event);
        FLog.append(QStringLiteral("%1 %2").arg(help->Command()).arg(help->Data()));
        help->accept();
        return true;
    }

private:
    QStringList FLog;
};

// The command that sets the popup at the screen position of Widget's point At.
inline QString PopupAt(const QWidget *Widget, QPoint At) {
    return QStringLiteral("13 %1").arg(PackPopupPos(Widget->mapToGlobal(At)));
}

// A click at At (the centre when null) of Widget, delivered through its window.
inline void ClickAt(QWidget *Widget, Qt::MouseButton Button = Qt::LeftButton, QPoint At = {},
                    Qt::KeyboardModifiers Modifiers = {}) {
    QWidget *window = Widget->window();
    const QPoint local = At.isNull() ? Widget->rect().center() : At;
    QTest::mouseClick(window->windowHandle(), Button, Modifiers, Widget->mapTo(window, local));
}
