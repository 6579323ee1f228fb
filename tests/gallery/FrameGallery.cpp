// Renders the LYN 2 device frame and every page of the profile frame over fake
// host objects to PNG files, so that a person can look at them:
// frame_gallery [output folder].
#include "FakeHost.h"
#include "Lyn2_DeviceFrame.h"
#include "Lyn2_ProfileFrame.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>

#include <cstdio>
#include <functional>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery"));
    folder.mkpath(QStringLiteral("."));
    RegisterColoredControlClasses();

    TFakeProfile profile;
    profile.ProfileID = 4;
    profile.Name = TdpNameString::From(QStringLiteral("Front desk phones"));
    profile.CustomData = "IPComm{DHCP=false}";
    TFakeProfileList profiles;
    profiles.Items = {&profile};
    TFakeServant servant;
    servant.StartNumbers = {{u"desk", 12}};

    const struct {
        const char *name;
        TPluginFrameFlags flags;
        std::function<void(TFakeDevice &)> device;
        std::function<void(QWidget *)> edit;
    } shots[] = {
        {"device-frame-new", {pffCreating}, {}, {}},
        {"device-frame-existing-unlinked", {},
         [](TFakeDevice &d) {
             d.UniqueID = TdpNameString::From(QStringLiteral("reception-desk-phone-number-001"));
             d.MacAddress = {{0x00, 0x0A, 0xFF, 0x12, 0x34, 0x56}};
             d.AssignedIP = IPv4Rec("192.168.100.200");
             d.ProxyPassword = TdpNameString::From(QStringLiteral("s3cret!"));
         },
         {}},
        {"device-frame-range", {pffCreating, pffRange}, [](TFakeDevice &d) { d.UniqueID = TdpNameString::From(QStringLiteral("desk")); }, {}},
        {"device-frame-error", {},
         [](TFakeDevice &d) {
             d.UniqueID = TdpNameString::From(QStringLiteral("desk7"));
             d.MacAddress = {{0x00, 0x0A, 0xFF, 0x12, 0x34, 0x56}};
             d.AssignedIP = IPv4Rec("192.168.1.7");
         },
         [](QWidget *frame) { frame->findChild<QLineEdit *>(QStringLiteral("edMACAddress"))->setText("00-0A-FF-12-3"); }},
    };
    for (const auto &shot : shots) {
        TFakeDevice device;
        device.ProfileID = 4;
        if (shot.device)
            shot.device(device);
        const auto frame = TLyn2DeviceFrame::Class().Create(nullptr, &servant, nullptr);
        auto *shown = static_cast<TPluginDeviceFrame *>(frame.get());
        shown->ShowDevice(&device, &profiles, shot.flags);
        frame->show();
        frame->adjustSize();
        if (shot.edit)
            shot.edit(frame.get());
        const QString path = folder.filePath(QString::fromLatin1(shot.name) + ".png");
        frame->grab().save(path);
        std::printf("%s\n", qPrintable(path));
        shown->HideDevice();
    }

    // The profile frame: each shot renders its four pages.
    servant.Values = {{svEditRights, 1}, {svSIPAddress, 0xC0A80105}, {svSIPPort, 5060}};
    servant.Texts = {{svDomainName, "phones.example.com"}};
    const struct {
        const char *name;
        TPluginFrameFlags flags;
        const char *customData;
        bool isDefault;
    } profileShots[] = {
        {"profile-frame-new", {pffCreating}, "", false},
        {"profile-frame-read-only", {},
         R"(General{SoftwareVersion="2.3.1" Regional{Country="GERMANY" Timezone=60}} IPComm{DHCP=true} VLAN{VLANtag=12})",
         true},
        {"profile-frame-fixed-tftp", {},
         "IPComm{DHCP=false} IPSettings{SubnetMask=4294967040u Gateway=3232235777u DNS=\"192.168.1.2\" "
         "Domain=\"lobby.example.com\" NTP=\"192.168.1.3\" TFTPFixed=1 TFTPAddress=\"192.168.1.4\"}",
         false},
        {"profile-frame-domain", {},
         "SIP{TransportProtocol=3 Proxies{MainProxySource=2 UseBackupProxy=true "
         "BackupProxy{Addr=\"backup-proxy.phones.example.com\" Port=5062}}} IPComm{DHCP=true}",
         false},
        {"profile-frame-vlan-off", {}, "IPComm{DHCP=true} VLAN{VLANtag=-101 PriorityTag=5}", false},
    };
    for (const auto &shot : profileShots) {
        TFakeProfile shown;
        shown.Name = TdpNameString::From(QStringLiteral("Lobby phones"));
        shown.CustomData = shot.customData;
        shown.IsDefault = shot.isDefault;
        const auto frame = TLyn2ProfileFrame::Class().Create(nullptr, &servant, nullptr);
        auto *profileFrame = static_cast<TPluginProfileFrame *>(frame.get());
        profileFrame->ShowProfile(&shown, shot.flags);
        frame->show();
        auto *pages = frame->findChild<QTabWidget *>(QStringLiteral("pcSettings"));
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            const QString path = folder.filePath(
                QStringLiteral("%1-%2.png").arg(QString::fromLatin1(shot.name), pages->widget(i)->objectName()));
            frame->grab().save(path);
            std::printf("%s\n", qPrintable(path));
        }
        profileFrame->HideProfile();
    }
    return 0;
}
