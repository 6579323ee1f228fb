#include "DPFeatureFrame.h"

#include "DPProfileFrame.h"

TPluginFeatureFrame::TPluginFeatureFrame(QWidget *Parent) : TFrame(Parent) {}

TProfileFlagFeatureFrame::TProfileFlagFeatureFrame(QWidget *Parent, const char *UnitPath, TFlagField Field)
    : TPluginFeatureFrame(Parent), FUnitPath(UnitPath), FField(Field) {}

void TProfileFlagFeatureFrame::BindCheckBox(TCheckBox *CheckBox) {
    FCheckBox = CheckBox;
    FCheckBox->OnClick = std::bind_front(&TProfileFlagFeatureFrame::CheckBoxClick, this);
}

void TProfileFlagFeatureFrame::InitControls() {
    TPluginFeatureFrame::InitControls();
    Assert(PluginFrame() != nullptr, FUnitPath, 50);
    auto *frame = qobject_cast<TPluginProfileFrame *>(PluginFrame());
    Assert(frame != nullptr, FUnitPath, 40);
    FCheckBox->SetChecked(frame->ProfileProxy().*FField);
}

void TProfileFlagFeatureFrame::CheckBoxClick(QObject *) {
    auto *frame = qobject_cast<TPluginProfileFrame *>(PluginFrame());
    if (!frame || frame->SilentMode() || !frame->Displaying())
        return;
    bool &flag = frame->ProfileProxy().*FField;
    if (FCheckBox->Checked() == flag)
        return;
    flag = FCheckBox->Checked();
    frame->ValidateSetModified();
}
