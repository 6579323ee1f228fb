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
