#pragma once
// The profile setting "Send Syslog event when device is not registered with the VQ", a
// sub-frame that profile frames place in their layouts.

#include "DPFeatureFrame.h"

class TSyslogRegFeatureFrame : public TProfileFlagFeatureFrame {
    Q_OBJECT
public:
    explicit TSyslogRegFeatureFrame(QWidget *Parent = nullptr);

    TCheckBox *chbSyslogIfNotRegistered;
};
