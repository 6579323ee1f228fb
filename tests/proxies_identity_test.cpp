// Device identity: the device ID, meta-device, MAC and LAN IP rules, and the
// MAC text forms.

#include "FakeHost.h"
#include "Lyn2_Proxies.h"
#include "SIP_DeviceFrame.h"

#include <gtest/gtest.h>

namespace {

template <class T, class Base>
std::unique_ptr<T> As(std::unique_ptr<Base> p) {
    return std::unique_ptr<T>(static_cast<T *>(p.release()));
}

class Identity : public ::testing::Test {
protected:
    void SetUp() override {
        device.UniqueID = TdpNameString::From(QStringLiteral("0001E1000001"));
        device.MacAddress = {{0x00, 0x01, 0xE1, 0x00, 0x00, 0x01}};
    }
    // A device proxy of the given level over `device`, with a LYN 2 profile
    // that uses DHCP or has static addresses.
    std::unique_ptr<TDeviceProxy> Build(const TDeviceProxyClass &cls, bool dhcp, TPluginFrameFlags flags = {}) {
        profile.CustomData = dhcp ? "IPComm{DHCP=true}" : "IPComm{DHCP=false}";
        auto proxy = As<TDeviceProxy>(cls.Create(&device, TLyn2ProfileProxy::Class().Create(&profile, &servant), &servant));
        proxy->Initialize(flags, true);
        return proxy;
    }
    std::pair<TDeviceConflictLevel, std::string> Validate(const TDeviceProxyClass &cls, bool dhcp,
                                                         TPluginFrameFlags flags = {}) {
        auto proxy = Build(cls, dhcp, flags);
        const TDeviceConflictLevel level = proxy->Validate();
        return {level, proxy->Conflict().Message};
    }
    std::string Message(const TDeviceProxyClass &cls, bool dhcp = true, TPluginFrameFlags flags = {}) {
        return Validate(cls, dhcp, flags).second;
    }

    TFakeDevice device;
    TFakeProfile profile;
    TFakeServant servant;
};

TEST_F(Identity, MetaDeviceNamesAreReservedExactly) {
    for (const char *name : MetaDeviceNames) {
        device.UniqueID = TdpNameString::From(QLatin1String(name));
        EXPECT_EQ(Validate(TBaseDeviceProxy::Class(), true),
                  std::make_pair(dclError, std::string("Device ID equals to one of meta devices")))
            << name;
    }
    device.UniqueID = TdpNameString::From(QStringLiteral("Home"));
    EXPECT_EQ(Validate(TBaseDeviceProxy::Class(), true).first, dclNone);
    // A prefix may be anything the characters allow.
    device.UniqueID = TdpNameString::From(QStringLiteral("home"));
    EXPECT_EQ(Validate(TBaseDeviceProxy::Class(), true, {pffRange}).first, dclNone);
}

TEST_F(Identity, DeviceIDCharacters) {
    device.UniqueID = TdpNameString::From(QStringLiteral("A-z_0.9~!'()*"));
    EXPECT_EQ(Validate(TBaseDeviceProxy::Class(), true).first, dclNone);
    device.UniqueID = TdpNameString::From(QStringLiteral("desk 12"));
    EXPECT_EQ(Message(TBaseDeviceProxy::Class()), "Invalid character \" \" in Device ID");
    EXPECT_EQ(Message(TBaseDeviceProxy::Class(), true, {pffRange}), "Invalid character \" \" in Device Prefix");
    device.UniqueID = TdpNameString::From(QStringLiteral("100@pbx"));
    EXPECT_EQ(Message(TBaseDeviceProxy::Class()), "Invalid character \"@\" in Device ID");
    device.UniqueID = TdpNameString::From(QStringLiteral("caf\u00E9"));
    EXPECT_EQ(Message(TBaseDeviceProxy::Class()), "Invalid character \"\xE9\" in Device ID");
}

TEST_F(Identity, AnEmptyIDIsRefusedButAnEmptyPrefixPasses) {
    device.UniqueID = {};
    EXPECT_EQ(Validate(TBaseDeviceProxy::Class(), true), std::make_pair(dclError, std::string("Device ID is empty")));
    EXPECT_EQ(Validate(TBaseDeviceProxy::Class(), true, {pffRange}).first, dclNone);
    // The ID comes before the MAC address.
    device.MacAddress = {};
    EXPECT_EQ(Message(TSIPDeviceProxy::Class()), "Device ID is empty");
}

TEST_F(Identity, ASIPDeviceNeedsAMACAddress) {
    device.MacAddress = {};
    EXPECT_EQ(Validate(TSIPDeviceProxy::Class(), true), std::make_pair(dclError, std::string("Invalid MAC address")));
    EXPECT_EQ(Validate(TSIPDeviceProxy::Class(), true, {pffRange}).second, "Invalid MAC address");
    // The base levels know nothing of MAC addresses.
    EXPECT_EQ(Validate(TProfiledDeviceProxy::Class(), true).first, dclNone);
}

TEST_F(Identity, TheLANAddressCountsOnlyForStaticAddresses) {
    EXPECT_EQ(Validate(TSIPDeviceProxy::Class(), true).first, dclNone);
    EXPECT_EQ(Message(TSIPDeviceProxy::Class(), false), "Invalid LAN IP address");
    EXPECT_EQ(Validate(TSIPDeviceProxy::Class(), false, {pffRange}).first, dclNone);

    device.AssignedIP = IPv4Rec("224.0.0.1");
    EXPECT_EQ(Message(TSIPDeviceProxy::Class(), false),
              "Invalid LAN IP address: IP address 224.0.0.1 belongs to the 224.0.0.0/4 block, which is reserved for "
              "multicast and cannot be used as a host IP.");
    device.AssignedIP = IPv4Rec("127.0.0.1");
    EXPECT_EQ(Message(TSIPDeviceProxy::Class(), false),
              "Invalid LAN IP address: IP address 127.0.0.1 belongs to the 127.0.0.0/8 block, which is reserved for "
              "loopback and cannot be used as a host IP.");
    device.AssignedIP = IPv4Rec("10.0.0.20");
    EXPECT_EQ(Validate(TSIPDeviceProxy::Class(), false).first, dclNone);
    device.AssignedIP = TIPAddressRec{4, {}}; // all zero counts as empty
    EXPECT_EQ(Message(TSIPDeviceProxy::Class(), false), "Invalid LAN IP address");
}

TEST_F(Identity, AnIPv6LANAddressIsNotSupported) {
    device.AssignedIP = TIPAddressRec{6, {}};
    device.AssignedIP.ip6[15] = 1;
    auto proxy = Build(TSIPDeviceProxy::Class(), false);
    EXPECT_THROW(proxy->Validate(), EIP6NotSupported);
    EXPECT_EQ(Build(TSIPDeviceProxy::Class(), true)->Validate(), dclNone);
}

TEST_F(Identity, ASIPDeviceWithoutItsProfileIsAProgrammingError) {
    auto proxy = TSIPDeviceProxy::Class().Create(&device, nullptr, &servant);
    proxy->Initialize({}, true);
    try {
        proxy->Validate();
        FAIL();
    } catch (const EAssertionFailed &e) {
        EXPECT_TRUE(
            e.Message().startsWith("Assertion failure (UI\\AdminUI\\DevicePlugins\\CommonFrames\\SIP_DeviceFrame, line "))
            << e.Message().toStdString();
    }
}

TEST_F(Identity, ProtocolIsFixedBySIPDevices) {
    device.Protocol = ptAnalog;
    EXPECT_EQ(Build(TSIPDeviceProxy::Class(), true)->Protocol, ptSIP);
    EXPECT_EQ(Build(TBaseDeviceProxy::Class(), true)->Protocol, ptNotSet);
}

TEST(MACText, Forms) {
    const TdpMACAddress mac{{0x00, 0x0A, 0xFF, 0x12, 0x34, 0x56}};
    EXPECT_EQ(MACToText(mac), "00-0A-FF-12-34-56");
    EXPECT_EQ(MACToHex(mac), "000AFF123456");
    EXPECT_EQ(MACToText(EmptyMACAddress), "00-00-00-00-00-00");
    EXPECT_EQ(TextToMAC(QStringLiteral("00-0a-ff-12-34-56")), mac);
    EXPECT_EQ(TextToMAC(QStringLiteral("00:0A:FF:12:34:56")), mac); // separators are not looked at
    // Pairs are read at fixed places, so compact text must be normalised first.
    EXPECT_EQ(TextToMAC(QStringLiteral("000AFF123456")), (TdpMACAddress{{0x00, 0xAF, 0x12, 0x45, 0x00, 0x00}}));
    EXPECT_EQ(TextToMAC(QStringLiteral("00-0A-F")), (TdpMACAddress{{0x00, 0x0A, 0x0F, 0, 0, 0}}));
    EXPECT_EQ(TextToMAC(QStringLiteral("00-ZZ-FF")), (TdpMACAddress{{0x00, 0x00, 0xFF, 0, 0, 0}}));
    EXPECT_EQ(TextToMAC(QString()), EmptyMACAddress);
    EXPECT_EQ(NormalizeMACText(QStringLiteral("00-0a-ff-12-34-56")), "000AFF123456");
    EXPECT_TRUE(SameMAC(mac, TextToMAC(MACToText(mac))));
    EXPECT_FALSE(SameMAC(mac, EmptyMACAddress));
}

} // namespace
