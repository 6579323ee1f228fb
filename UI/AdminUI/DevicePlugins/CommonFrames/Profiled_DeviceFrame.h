#pragma once
// The device frame level that lets the user pick the device's profile, and its
// proxy, which adds no rules of its own.

#include "Base_DeviceFrame.h"

class TProfiledDeviceProxy : public TBaseDeviceProxy {
public:
    static const TDeviceProxyClass &Class();
    const TDeviceProxyClass &ClassType() const override { return Class(); }

protected:
    using TBaseDeviceProxy::TBaseDeviceProxy;
};

// Adds the profile row above the device ID.
class TProfiledDeviceFrame : public TBaseDeviceFrame {
    Q_OBJECT
public:
    static const TPluginDeviceFrameClass &Class();
    static const TDeviceProxyClass *GetDeviceProxyClass() { return &TProfiledDeviceProxy::Class(); }

    // The proxy as a TProfiledDeviceProxy; an assertion failure when it is of another class.
    TProfiledDeviceProxy &DeviceProxy() const;

protected:
    TProfiledDeviceFrame(QWidget *AOwner, IPluginFrameContainer *Container, IDevicePluginModule *ModuleLink,
                         TFrameLayout Layout = LayOut);
    void StartupControls() override;
    void InitControls() override;

    TLabel *stProfile;
    TComboBox *cbProfile;

private:
    static void LayOut(TFrame *Frame);
    // The chosen profile becomes the device's: its profile proxy follows, and
    // so do the enabled states. Stores on every choice, even of the same profile.
    void cbProfileChange(QObject *Sender);
};
