#pragma once
// A generated site of LYN 2 phones for the benchmarks of the host, with its
// database and site file made once in a temporary folder.

#include "database/ConfigDatabase.h"
#include "sitefile/SiteFile.h"

#include <QFile>
#include <QTemporaryDir>

// Half the profiles give their phones static addresses, so device checks
// include the LAN IP; one phone in a hundred repeats another's MAC address.
inline TSite LargeSite(int Profiles, int DevicesPerProfile) {
    TSite site;
    site.System.SIPAddress = 0x0A000005;
    site.System.SIPPort = 5060;
    for (int p = 0; p < Profiles; ++p) {
        TProfileRecord profile;
        profile.ProfileID = p + 1;
        profile.Name = QStringLiteral("Profile %1").arg(p + 1);
        profile.DeviceType = QStringLiteral("LYN 2");
        const bool dhcp = p % 2 == 0;
        profile.GetsStaticIP = !dhcp;
        profile.CustomData =
            QStringLiteral("General{InterdigitTO=2200 Regional{Country=\"USA\" Timezone=-480 DaylightSavings=true}} "
                           "SIP{RetransInvite=4 RetransRequest=4 TransportProtocol=2 ReceivePort=5060 "
                           "Proxies{MainProxySource=0 MainProxy{Port=5060} BackupProxy{Port=5060}}} VLAN{VLANtag=-1} "
                           "IPComm{CallSignDSCP=4 RTP_DSCP=10 DHCP=%1} IPSettings{Gateway=%2u SubnetMask=4294901760u "
                           "TFTPFixed=1 TFTPAddress=\"10.%3.0.5\"}")
                .arg(dhcp ? QLatin1String("true") : QLatin1String("false"))
                .arg((10u << 24) | (uint32_t(p) << 16) | 1u)
                .arg(p);
        site.Profiles.push_back(profile);
        for (int d = 0; d < DevicesPerProfile; ++d) {
            TDeviceRecord device;
            const int n = p * DevicesPerProfile + d + 1;
            device.DeviceID = n;
            device.ProfileID = profile.ProfileID;
            device.Protocol = ptSIP;
            device.MacAddress = {{0x00, 0x01, 0xE1, uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n % 100 == 0 ? n - 1 : n)}};
            device.UniqueID = MACToText(device.MacAddress).remove(QLatin1Char('-')) + QString::number(n % 100 == 0);
            device.AssignedIP = IPRecFromIPv4((10u << 24) | (uint32_t(p) << 16) | uint32_t(d + 10));
            device.ProxyPassword = QStringLiteral("secret");
            site.Devices.push_back(device);
        }
    }
    return site;
}

// The site of the million: one profile of DHCP phones, and its phones
// numbered from 1, made one at a time so that memory stays flat.
inline TProfileRecord PhonesProfile() {
    TProfileRecord profile;
    profile.ProfileID = 1;
    profile.Name = QStringLiteral("Phones");
    profile.DeviceType = QStringLiteral("LYN 2");
    profile.CustomData = QStringLiteral("IPComm{DHCP=true}");
    return profile;
}

inline TDeviceRecord Phone(int DeviceID) {
    TDeviceRecord device;
    device.DeviceID = DeviceID;
    device.Protocol = ptSIP;
    device.ProfileID = 1;
    device.MacAddress = {{0x00, 0x01, 0xE1, uint8_t(DeviceID >> 16), uint8_t(DeviceID >> 8), uint8_t(DeviceID)}};
    device.UniqueID = MACToText(device.MacAddress).remove(QLatin1Char('-'));
    device.ProxyPassword = QStringLiteral("secret");
    return device;
}

// The site's database and file, made on first use and kept for every run.
template <int Profiles, int DevicesPerProfile>
struct TLargeSite {
    static constexpr int Devices = Profiles * DevicesPerProfile;
    QTemporaryDir Dir;
    QString Database = Dir.filePath(QStringLiteral("large.db"));
    QString File = Dir.filePath(QStringLiteral("large.json"));

    TLargeSite() {
        const TSite site = LargeSite(Profiles, DevicesPerProfile);
        TConfigDatabase(Database).ReplaceSite(site);
        QFile f(File);
        f.open(QIODevice::WriteOnly);
        f.write(WriteSiteFile(site));
    }
    static TLargeSite &Get() {
        static TLargeSite site;
        return site;
    }
};
