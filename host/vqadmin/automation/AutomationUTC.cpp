// The automate commands that run automation commands, as a driver's would,
// on the wrappers of the host's windows.

#include "Automation.h"

#include "windows/DeviceDialog.h"
#include "windows/MainWindow.h"
#include "UTCCommands.h"
#include "WrapperManager.h"

QString TAutomation::FrameUTC(UTC2UICommand Kind, const QStringList &Arguments) {
    QWidget *frame = Dialog().Frame();
    return RunUTCText(Kind, Arguments, frame ? HostWrapperManager().CreateWrapper(frame) : nullptr);
}

QString TAutomation::DialogUTC(const QStringList &Arguments) {
    return RunUTCText(utc_command, Arguments, HostWrapperManager().CreateWrapper(&Dialog()));
}

QString TAutomation::WindowUTC(UTC2UICommand Kind, const QStringList &Arguments) {
    // The table commands take no name: the column and the text are P2 and P3.
    return RunUTCText(Kind, QStringList{QString()} + Arguments, HostWrapperManager().CreateWrapper(&FWindow));
}
