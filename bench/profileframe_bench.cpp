// The LYN 2 profile frame over fake host objects: showing a profile with
// every control filled, and one edit of a user with its validation.
#include "FakeHost.h"
#include "Lyn2_ProfileFrame.h"

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

namespace {

// Every setting away from the defaults, DHCP off so that the network checks run.
constexpr const char *FullProfile =
    R"(General{SoftwareVersion="2.3.1" InterdigitTO=3000 Regional{Country="GERMANY" Timezone=60 DaylightSavings=true} )"
    R"(Audio{AllowG729=true G729SilenceSuppress=true RingTone=5} Paging{EnablePaging=true}} )"
    R"(SIP{RetransInvite=6 RetransRequest=7 TransportProtocol=3 ReceivePort=5062 Proxies{MainProxySource=1 )"
    R"(UseBackupProxy=true MainProxy{Addr="pbx.example.com" Port=5080} BackupProxy{Addr="backup.example.com" Port=5082}}} )"
    R"(VLAN{VLANtag=12 PriorityTag=3 CallSignVLANtag=13 CallSignPriorityTag=4 RTPVLANtag=14 RTPPriorityTag=5} )"
    R"(IPComm{CallSignDSCP=24 RTP_DSCP=46 DHCP=false} IPSettings{Gateway=3232235777u SubnetMask=4294967040u )"
    R"(DNS="192.168.1.2" SecondaryDNS="" NTP="192.168.1.3" Domain="lobby.example.com" TFTPFixed=1 TFTPAddress="192.168.1.4"})";

struct TShownFrame {
    TShownFrame() {
        profile.ProfileID = 7;
        profile.Name = TdpNameString::From(QStringLiteral("Lobby phones"));
        profile.CustomData = FullProfile;
        profile.SyslogIfNotRegistered = true;
        servant.Values = {{svEditRights, 1}, {svSIPAddress, 0xC0A80105}, {svSIPPort, 5060}};
    }
    TPluginProfileFrame &Frame() { return static_cast<TPluginProfileFrame &>(*frame); }

    TFakeProfile profile;
    TFakeServant servant;
    std::unique_ptr<TPluginFrame> frame = TLyn2ProfileFrame::Class().Create(nullptr, &servant, nullptr);
};

QApplication &App() {
    static int argc = 1;
    static char name[] = "profileframe_bench";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

void ShowProfile(benchmark::State &State) {
    App();
    TShownFrame shown;
    for (auto _ : State) {
        shown.Frame().ShowProfile(&shown.profile, {});
        shown.servant.Heard.clear();
    }
}
BENCHMARK(ShowProfile)->Unit(benchmark::kMicrosecond);

// The domain typed as a whole: change handler, the profile's validation, the
// container told the modified state.
void EditDomain(benchmark::State &State) {
    App();
    TShownFrame shown;
    shown.Frame().ShowProfile(&shown.profile, {});
    auto *domain = shown.frame->findChild<QLineEdit *>(QStringLiteral("edLYN2Domain"));
    int n = 0;
    for (auto _ : State) {
        domain->setText(QStringLiteral("site%1.example.com").arg(++n % 1000));
        shown.servant.Heard.clear();
    }
}
BENCHMARK(EditDomain)->Unit(benchmark::kMicrosecond);

} // namespace
