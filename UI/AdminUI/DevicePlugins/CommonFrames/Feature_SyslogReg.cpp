#include "Feature_SyslogReg.h"

#include "DPProxies.h"
#include "ui_Feature_SyslogReg.h"

TSyslogRegFeatureFrame::TSyslogRegFeatureFrame(QWidget *Parent)
    : TProfileFlagFeatureFrame(Parent, "UI\\AdminUI\\DevicePlugins\\CommonFrames\\Feature_SyslogReg", &TProfileProxy::SyslogIfNotRegistered) {
    Ui::TSyslogRegFeatureFrame layout;
    layout.setupUi(this);
    chbSyslogIfNotRegistered = layout.chbSyslogIfNotRegistered;
    BindCheckBox(chbSyslogIfNotRegistered);
}
