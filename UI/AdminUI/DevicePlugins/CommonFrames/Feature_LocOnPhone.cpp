#include "Feature_LocOnPhone.h"

#include "DPProxies.h"
#include "ui_Feature_LocOnPhone.h"

TLocOnPhoneFeatureFrame::TLocOnPhoneFeatureFrame(QWidget *Parent)
    : TProfileFlagFeatureFrame(Parent, "UI\\AdminUI\\DevicePlugins\\CommonFrames\\Feature_LocOnPhone", &TProfileProxy::AllowLocationSpecOnPhone) {
    Ui::TLocOnPhoneFeatureFrame layout;
    layout.setupUi(this);
    chbAllowLocationSpecOnPhone = layout.chbAllowLocationSpecOnPhone;
    BindCheckBox(chbAllowLocationSpecOnPhone);
}
