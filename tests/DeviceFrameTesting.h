#pragma once
// The LYN 2 device frame as the host embeds it, through the loaded plug-in: a
// frame over a device of profile "Static", with a second profile "Dhcp", and a
// fake container that records what it hears.

#include "ControlTesting.h"
#include "FakeHost.h"
#include "plugin/PluginLibrary.h"

#include <QLineEdit>

using Lines = std::vector<std::string>;

inline constexpr const char *StaticProfile = "IPComm{DHCP=false}";
inline constexpr const char *DHCPProfile = "IPComm{DHCP=true}";

class TDeviceFrameTest : public TActiveWindow {
protected:
    void SetUp() override {
        staticProfile.ProfileID = 4;
        staticProfile.Name = TdpNameString::From(QStringLiteral("Static"));
        staticProfile.CustomData = StaticProfile;
        dhcpProfile.ProfileID = 5;
        dhcpProfile.Name = TdpNameString::From(QStringLiteral("Dhcp"));
        dhcpProfile.CustomData = DHCPProfile;
        profiles.Items = {&staticProfile, &dhcpProfile};
        device.ProfileID = 4;
        device.UniqueID = TdpNameString::From(QStringLiteral("desk1"));
        device.MacAddress = {{0x00, 0x01, 0xE1, 0x00, 0x00, 0x01}};
        device.AssignedIP = IPv4Rec("192.168.1.20");
        widget = module->CreateDeviceFrame(&servant);
        Layout->addWidget(widget);
        frame = FrameInterface<IPluginDeviceFrame>(widget);
    }
    void TearDown() override {
        frame->HideDevice();
        module->FreeFrame(widget);
        EXPECT_EQ(widget, nullptr);
        EXPECT_EQ(device.Refs + servant.Refs + staticProfile.Refs + dhcpProfile.Refs, 0);
    }

    void ShowDevice(TPluginFrameFlags Flags) {
        ASSERT_TRUE(frame->ShowDevice(&device, &profiles, Flags));
        Show();
        Heard();
    }
    // What the container heard since the last call.
    Lines Heard() { return std::exchange(servant.Heard, {}); }

    template <class T = QWidget>
    T *Control(const char *Name) const {
        T *control = widget->findChild<T *>(QString::fromLatin1(Name));
        EXPECT_NE(control, nullptr) << Name;
        return control;
    }
    QString Text(const char *Name) const { return Control<QLineEdit>(Name)->text(); }
    const TPluginLibrary lib{DefaultPluginPath()};
    IDevicePluginModule *module = lib.Module();
    TFakeProfile staticProfile, dhcpProfile;
    TFakeProfileList profiles;
    TFakeDevice device;
    TFakeServant servant;
    QWidget *widget = nullptr;
    IPluginDeviceFrame *frame = nullptr;
};
