#pragma once
// Helpers for the widget tests of the input controls: a shown, active window
// to type into, and the message box and beep seams answered and counted.

#include "SysUtils.h"
#include "VQControls.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &Text, std::ostream *Out) { *Out << '"' << Text.toStdString() << '"'; }

// A window that records the keys its controls pass on to it.
class TKeyCatcher : public QWidget {
public:
    QList<int> Keys;

protected:
    void keyPressEvent(QKeyEvent *Event) override { Keys.append(Event->key()); }
};

// A top-level window that has the keyboard focus, so focus moves and their
// enter and exit events happen as they do for a user.
class TActiveWindow : public ::testing::Test {
protected:
    template <class T, class... Args>
    T *Add(Args &&...args) {
        auto *control = new T(&Window, std::forward<Args>(args)...);
        Layout->addWidget(control);
        return control;
    }

    // Shows the window, waits until it is the active one and focuses Focus.
    void Show(QWidget *Focus = nullptr) {
        Window.show();
        Window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
        if (Focus)
            Focus->setFocus();
    }

    // Where the focus is: the focused widget's name and, in an edit, "@" and the caret.
    static QString Focus() {
        QWidget *focus = QApplication::focusWidget();
        if (auto *edit = qobject_cast<QLineEdit *>(focus))
            return QString("%1@%2").arg(edit->objectName()).arg(edit->cursorPosition());
        return focus ? focus->objectName() : QString();
    }
    // Presses Key where the focus is; tells where it is then.
    static QString Press(Qt::Key Key, Qt::KeyboardModifiers Modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), Key, Modifiers);
        return Focus();
    }
    // Types each character where the focus is at that moment; tells where it is then.
    static QString Type(const QString &Text) {
        for (QChar c : Text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        return Focus();
    }

    static void SetClipboard(const QString &Text) { QGuiApplication::clipboard()->setText(Text); }
    static QString Clipboard() { return QGuiApplication::clipboard()->text(); }

    // An input method commits Text where the focus is; tells where it is then.
    static QString Commit(const QString &Text) {
        QInputMethodEvent event;
        event.setCommitString(Text);
        if (QWidget *focus = QApplication::focusWidget())
            QApplication::sendEvent(focus, &event);
        else
            ADD_FAILURE() << "no focus to commit to";
        return Focus();
    }

    TKeyCatcher Window;
    QVBoxLayout *Layout = new QVBoxLayout(&Window);
};

// A counter's changing check as "<value> <direction>".
inline QString Changing(int Value, TUpDownDirection Direction) {
    return QString("%1 %2").arg(Value).arg(QStringList({"none", "up", "down"})[Direction]);
}

// Clicks the counter's button that steps the Button way.
inline void ClickButton(TUpDown *Counter, TUDBtnType Button) {
    const bool next = Button == btNext;
    const QPoint at = Counter->Orientation() == udVertical
                          ? QPoint(Counter->width() / 2, next ? 2 : Counter->height() - 3)
                          : QPoint(next ? Counter->width() - 3 : 2, Counter->height() / 2);
    QTest::mouseClick(Counter->childAt(at), Qt::LeftButton);
}

// The message of the exception of class E that Run raises; empty when it raises none.
template <class E = Exception, class Action>
QString RaisedMessage(Action &&Run) {
    try {
        Run();
    } catch (const E &e) {
        return e.Message();
    }
    return {};
}

// Counts beeps while it lives.
struct TBeepCounter {
    int Count = 0;
    std::function<void()> Previous = SetBeepHandler([this] { ++Count; });
    ~TBeepCounter() { SetBeepHandler(Previous); }
};

// Records message boxes and answers them with Answer while it lives.
struct TMessageBoxRecorder {
    QList<TMessageBoxRequest> Requests;
    QMessageBox::StandardButton Answer = QMessageBox::Ok;
    TMessageBoxHandler Previous = SetMessageBoxHandler([this](const TMessageBoxRequest &Request) {
        Requests.append(Request);
        return Answer;
    });
    ~TMessageBoxRecorder() { SetMessageBoxHandler(Previous); }
};
