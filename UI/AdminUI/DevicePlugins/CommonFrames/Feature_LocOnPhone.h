#pragma once
// The profile setting "Allow location to be specified on the phone", a
// sub-frame that profile frames place in their layouts.

#include "DPFeatureFrame.h"

class TLocOnPhoneFeatureFrame : public TProfileFlagFeatureFrame {
    Q_OBJECT
public:
    explicit TLocOnPhoneFeatureFrame(QWidget *Parent = nullptr);

    TCheckBox *chbAllowLocationSpecOnPhone;
};
