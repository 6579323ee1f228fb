#include "ehsbase.h"

#include <QCoreApplication>
#include <QThread>
#include <QVariant>

namespace {

class TEHSMessage : public QEvent {
public:
    static inline const QEvent::Type MessageType = QEvent::Type(QEvent::registerEventType());
    explicit TEHSMessage(int Msg) : QEvent(MessageType), Msg(Msg) {}
    const int Msg;
};

} // namespace

class TehsBase::TMessageWindow : public QObject {
public:
    explicit TMessageWindow(TehsBase *Owner) : FOwner(Owner) {}

protected:
    bool event(QEvent *Event) override {
        if (Event->type() != TEHSMessage::MessageType)
            return QObject::event(Event);
        FOwner->WndProc(static_cast<TEHSMessage *>(Event)->Msg);
        return true;
    }

private:
    TehsBase *FOwner;
};

TehsBase::TehsBase(QObject *Owner) : QObject(Owner) {
    const QCoreApplication *app = QCoreApplication::instance();
    if (!app || app->thread() != QThread::currentThread())
        throw EEHSBase(QStringLiteral("EHSBase component cannot create window handle."));
    FWindow = new TMessageWindow(this);
}

// The window goes first, and with it the messages still queued for it.
TehsBase::~TehsBase() { delete FWindow; }

void TehsBase::PostMessage(int Msg) { QCoreApplication::postEvent(FWindow, new TEHSMessage(Msg)); }

bool HelpCommand(THelpCommand Command, uint32_t Data) {
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return false;
    THelpCommandEvent event(Command, Data);
    QCoreApplication::sendEvent(app, &event);
    return event.isAccepted();
}

int HelpContextOf(const QObject *Object) { return Object ? Object->property(HelpContextProperty).toInt() : 0; }

void SetHelpContext(QObject *Object, int Context) { Object->setProperty(HelpContextProperty, Context); }
