#include "HostFailures.h"

#include "SysUtils.h"
#include "VQControls.h"

void ShowFailure(QWidget *Parent, const QString &Message) {
    MessageBox(Parent, Message, QStringLiteral("vqadmin"), QMessageBox::Critical);
}

bool RunGuarded(QWidget *Parent, const std::function<void()> &Call) {
    try {
        Call();
        return true;
    } catch (const Exception &e) {
        ShowFailure(Parent, e.Message());
    } catch (const std::exception &e) {
        ShowFailure(Parent, QString::fromLocal8Bit(e.what()));
    }
    return false;
}

bool TAdminApplication::notify(QObject *Receiver, QEvent *Event) {
    bool result = false;
    QWidget *parent = Receiver->isWidgetType() ? static_cast<QWidget *>(Receiver)->window() : activeWindow();
    RunGuarded(parent, [&] { result = QApplication::notify(Receiver, Event); });
    return result;
}
