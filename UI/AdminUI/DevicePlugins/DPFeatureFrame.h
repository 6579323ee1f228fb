#pragma once
// TPluginFeatureFrame: a small self-contained sub-frame that a frame places in
// its layout. The owning frame binds it at every display, passes its own
// InitControls, EnDisableControls and DoneControls on to it, and unbinds it at
// every hide.

#include "VQControls.h"

class TPluginFrame;

class TPluginFeatureFrame : public TFrame {
    Q_OBJECT
public:
    explicit TPluginFeatureFrame(QWidget *Parent = nullptr);

    // The frame this one is placed in, from its first display on (not owned).
    TPluginFrame *PluginFrame() const { return FPluginFrame; }

    virtual void FrameInitialize(TPluginFrame *Frame) { FPluginFrame = Frame; }
    virtual void FrameFinalize() {}
    virtual void StartupControls() {}
    virtual void ShutdownControls() {}
    virtual void InitControls() {}
    virtual void DoneControls() {}
    virtual void EnDisableControls() {}

private:
    TPluginFrame *FPluginFrame = nullptr;
};

class TCheckBox;
class TProfileProxy;

// A feature sub-frame of a profile frame that is one check box standing for
// one flag of the profile proxy.
class TProfileFlagFeatureFrame : public TPluginFeatureFrame {
    Q_OBJECT
public:
    // The check box shows the flag; the owning frame must be a profile frame.
    void InitControls() override;

protected:
    using TFlagField = bool TProfileProxy::*;
    // UnitPath names the subclass's unit in its assertion failures.
    TProfileFlagFeatureFrame(QWidget *Parent, const char *UnitPath, TFlagField Field);
    // The subclass's layout has made the check box.
    void BindCheckBox(TCheckBox *CheckBox);

private:
    void CheckBoxClick(QObject *Sender);

    const char *FUnitPath;
    TFlagField FField;
    TCheckBox *FCheckBox = nullptr;
};
