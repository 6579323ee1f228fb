#pragma once
// Helpers for the widget tests of the input controls: a shown, active window
// to type into, and the message box and beep seams answered and counted.

#include "VQControls.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString &Text, std::ostream *Out) { *Out << '"' << Text.toStdString() << '"'; }

// A top-level window that has the keyboard focus, so focus moves and their
// enter and exit events happen as they do for a user.
class TActiveWindow : public ::testing::Test {
protected:
    void SetUp() override {
        Window = std::make_unique<QWidget>();
        Layout = new QVBoxLayout(Window.get());
    }
    void TearDown() override { Window.reset(); }

    template <class T, class... Args>
    T *Add(Args &&...args) {
        auto *control = new T(Window.get(), std::forward<Args>(args)...);
        Layout->addWidget(control);
        return control;
    }

    // Shows the window and waits until it is the active one.
    void Show() {
        Window->show();
        Window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    }

    // Types each character into whichever widget has the focus at that moment.
    static void Type(const QString &Text) {
        for (QChar c : Text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }

    static void SetClipboard(const QString &Text) { QGuiApplication::clipboard()->setText(Text); }
    static QString Clipboard() { return QGuiApplication::clipboard()->text(); }

    std::unique_ptr<QWidget> Window;
    QVBoxLayout *Layout = nullptr;
};

// Counts beeps while it lives.
class TBeepCounter {
public:
    TBeepCounter() : FPrevious(SetBeepHandler([this] { ++Count; })) {}
    ~TBeepCounter() { SetBeepHandler(FPrevious); }
    int Count = 0;

private:
    std::function<void()> FPrevious;
};

// Records message boxes and answers them with Answer while it lives.
class TMessageBoxRecorder {
public:
    explicit TMessageBoxRecorder(QMessageBox::StandardButton Answer = QMessageBox::Ok)
        : FPrevious(SetMessageBoxHandler([this, Answer](const TMessageBoxRequest &request) {
              Requests.append(request);
              return Answer;
          })) {}
    ~TMessageBoxRecorder() { SetMessageBoxHandler(FPrevious); }
    QList<TMessageBoxRequest> Requests;

private:
    TMessageBoxHandler FPrevious;
};
