#pragma once
// TehsBase: the root of the context-help components. Each owns a private
// message window (on Qt its own event target) through which it posts itself
// messages that are handled once the current input event is over. The unit
// also holds the one place where the components reach the host's help
// system, and the help context of a widget or a menu item.

#include "HelpCommands.h"
#include "SysUtils.h"

#include <QObject>

class EEHSBase : public Exception {
public:
    using Exception::Exception;
};

class TehsBase : public QObject {
    Q_OBJECT
public:
    // Raises EEHSBase when the message window cannot be made: without an
    // application, or outside the application's thread, posted messages
    // would never arrive.
    explicit TehsBase(QObject *Owner = nullptr);
    ~TehsBase() override;

    QString Name() const { return objectName(); }
    void SetName(const QString &Value) { setObjectName(Value); }

    // Runs once the stored properties are set, as after streaming the owner's form data.
    virtual void Loaded() {}

protected:
    // Queues Msg for WndProc.
    void PostMessage(int Msg);
    virtual void WndProc(int Msg) { (void)Msg; }

private:
    class TMessageWindow;
    TMessageWindow *FWindow;
};

// Asks the host's help system; true when it answered.
bool HelpCommand(THelpCommand Command, uint32_t Data);

// The help context number a widget or a menu item carries; 0 when none.
int HelpContextOf(const QObject *Object);
void SetHelpContext(QObject *Object, int Context);
