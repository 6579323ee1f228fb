// Device identity: the device ID, meta-device, MAC and LAN IP rules, and the
// MAC text forms.

#include "FakeHost.h"
#include "Lyn2_Proxies.h"
#include "SIP_DeviceFrame.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

class Identity : public ::testing::Test {
protected:
    void SetUp() override {
        device.UniqueID = TdpNameString::From(QStringLiteral("0001E1000001"));
        device.MacAddress = {{0x00, 0x01, 0xE1, 0x00, 0x00, 0x01}};
    }
    // A device proxy of the given level over `device`, with a LYN 2 profile
    // that uses DHCP or has static addresses.
    std::unique_ptr<TProfiledBasicDeviceProxy> Build(const TDeviceProxyClass &cls, bool dhcp,
                                                     TPluginFrameFlags flags = {}) {
        profile.CustomData = dhcp ? "IPComm{DHCP=true}" : "IPComm{DHCP=false}";
        auto proxy = cls.Create(&device, TLyn2ProfileProxy::Class().Create(&profile, &servant), &servant);
        proxy->Initialize(flags, true);
        return proxy;
    }

    TFakeDevice device;
    TFakeProfile profile;
    TFakeServant servant;
};

TEST_F(Identity, DeviceIDMACAndLANAddressRules) {
    const TDeviceProxyClass &base = TBaseDeviceProxy::Class(), &profiled = TProfiledDeviceProxy::Class(),
                            &sip = TSIPDeviceProxy::Class();
    const TdpMACAddress mac = device.MacAddress;
    const TIPAddressRec none{};
    const char *const meta = "Device ID equals to one of meta devices";
    const char *const noLANIP = "Invalid LAN IP address";
    const struct {
        const TDeviceProxyClass &cls;
        const char *id;
        bool hasMAC, dhcp, range;
        TIPAddressRec ip;
        const char *message;
    } rows[] = {
        {base, "bound", true, true, false, none, meta},
        {base, "home", true, true, false, none, meta},
        {base, "cell", true, true, false, none, meta},
        {base, "assigned", true, true, false, none, meta},
        {base, "virtual", true, true, false, none, meta},
        {base, "Home", true, true, false, none, ""},
        {base, "home", true, true, true, none, ""}, // a prefix may be anything the characters allow
        {base, "A-z_0.9~!'()*", true, true, false, none, ""},
        {base, "desk 12", true, true, false, none, "Invalid character \" \" in Device ID"},
        {base, "desk 12", true, true, true, none, "Invalid character \" \" in Device Prefix"},
        {base, "100@pbx", true, true, false, none, "Invalid character \"@\" in Device ID"},
        {base, "caf\u00E9", true, true, false, none, "Invalid character \"\xE9\" in Device ID"},
        {base, "", true, true, false, none, "Device ID is empty"},
        {base, "", true, true, true, none, ""},
        {sip, "", false, true, false, none, "Device ID is empty"}, // the ID comes before the MAC address
        {sip, "d1", false, true, false, none, "Invalid MAC address"},
        {sip, "d1", false, true, true, none, "Invalid MAC address"},
        {profiled, "d1", false, true, false, none, ""}, // the levels below know nothing of MAC addresses
        {sip, "d1", true, true, false, none, ""},
        {sip, "d1", true, false, false, none, noLANIP},
        {sip, "d1", true, false, true, none, ""},
        {sip, "d1", true, false, false, TIPAddressRec{4, {}}, noLANIP}, // all zero counts as empty
        {sip, "d1", true, false, false, IPv4Rec("10.0.0.20"), ""},
        {sip, "d1", true, false, false, IPv4Rec("224.0.0.1"),
         "Invalid LAN IP address: IP address 224.0.0.1 belongs to the 224.0.0.0/4 block, which is reserved for "
         "multicast and cannot be used as a host IP."},
    };
    for (const auto &row : rows) {
        device.UniqueID = TdpNameString::From(QString::fromUtf8(row.id));
        device.MacAddress = row.hasMAC ? mac : EmptyMACAddress;
        device.AssignedIP = row.ip;
        auto proxy = Build(row.cls, row.dhcp, row.range ? TPluginFrameFlags{pffRange} : TPluginFrameFlags{});
        const TDeviceConflictLevel level = proxy->Validate();
        EXPECT_EQ(std::pair(level, proxy->Conflict().Message),
                  std::pair(*row.message ? dclError : dclNone, std::string(row.message)))
            << row.cls.ClassName().toStdString() << " " << row.id << (row.range ? " (range)" : "");
    }
}

TEST_F(Identity, AnIPv6LANAddressIsNotSupported) {
    device.AssignedIP = TIPAddressRec{6, {}};
    device.AssignedIP.ip6[15] = 1;
    EXPECT_THROW(Build(TSIPDeviceProxy::Class(), false)->Validate(), EIP6NotSupported);
    EXPECT_EQ(Build(TSIPDeviceProxy::Class(), true)->Validate(), dclNone);
}

TEST_F(Identity, ASIPDeviceWithoutItsProfileIsAProgrammingError) {
    auto proxy = TSIPDeviceProxy::Class().Create(&device, nullptr, &servant);
    proxy->Initialize({}, true);
    EXPECT_THAT(
        AssertionOf([&] { proxy->Validate(); }),
        ::testing::StartsWith("Assertion failure (UI\\AdminUI\\DevicePlugins\\CommonFrames\\SIP_DeviceFrame, line "));
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
