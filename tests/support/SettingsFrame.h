#pragma once
// Frames for the framework's tests and fuzzing. TSettingsFrame edits a LYN 2
// profile's network settings (laid out in Designer): the domain edit and the
// DHCP box follow the edit-handler pattern, and the mask, gateway and NTP
// editors go through the address helper; it holds one feature sub-frame,
// ftfLog. TBareDeviceFrame shows LYN 2 devices without controls. The frames
// log their lifecycle calls, and those of the sub-frame, in FrameEvents.

#include "DPDeviceFrame.h"
#include "DPFrameHelper.h"
#include "DPProfileFrame.h"
#include "Lyn2_Proxies.h"

#include <memory>
#include <string>
#include <vector>

namespace Ui {
class TSettingsFrame;
}

extern std::vector<std::string> FrameEvents;

class TSettingsFrame : public TPluginProfileFrame {
public:
    static const TPluginProfileFrameClass &Class();
    static const TProfileProxyClass *GetProfileProxyClass() { return &TLyn2ProfileProxy::Class(); }
    static const TBasicFrameHelperClass &GetHelperClass() { return TFrameHelper::Class(); }

    ~TSettingsFrame() override;

    TLyn2ProfileProxy &ProfileProxy() const;
    TFrameHelper &Helper() const;

    // The control of that name.
    template <class T>
    T *Control(const char *Name) const {
        T *control = findChild<T *>(QString::fromLatin1(Name));
        Assert(control != nullptr, "tests\\SettingsFrame", __LINE__, QString::fromLatin1(Name));
        return control;
    }

protected:
    TSettingsFrame(QWidget *AOwner, IPluginFrameContainer *Container, IDevicePluginModule *ModuleLink);

    void StartupControls() override;
    void ShutdownControls() override;
    void InitControls() override;
    void DoneControls() override;
    void EnDisableControls() override;

private:
    void edDomainChange(QObject *Sender);
    void chbDHCPClick(QObject *Sender);
    void vqimMaskChange(QObject *Sender);
    void vqipGatewayChange(QObject *Sender);
    void vqipNTPChange(QObject *Sender);

    std::unique_ptr<Ui::TSettingsFrame> ui;
};

class TBareDeviceFrame : public TPluginDeviceFrame {
public:
    static const TPluginDeviceFrameClass &Class();
    static const TDeviceProxyClass *GetDeviceProxyClass() { return &TLyn2DeviceProxy::Class(); }

protected:
    using TPluginDeviceFrame::TPluginDeviceFrame;
};
