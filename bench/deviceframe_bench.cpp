// The LYN 2 device frame over fake host objects: showing a device with every
// control filled, and a user's edit of the device ID applied to the device.
#include "FakeHost.h"
#include "Lyn2_DeviceFrame.h"

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

namespace {

struct TShownFrame {
    TShownFrame() {
        profile.ProfileID = 4;
        profile.Name = TdpNameString::From(QStringLiteral("Front desk phones"));
        profile.CustomData = "IPComm{DHCP=false}";
        profiles.Items = {&profile};
        device.ProfileID = 4;
        device.UniqueID = TdpNameString::From(QStringLiteral("desk1"));
        device.MacAddress = {{0x00, 0x0A, 0xFF, 0x12, 0x34, 0x56}};
        device.AssignedIP = IPv4Rec("192.168.1.20");
        device.ProxyPassword = TdpNameString::From(QStringLiteral("s3cret!"));
    }
    TPluginDeviceFrame &Frame() { return static_cast<TPluginDeviceFrame &>(*frame); }

    TFakeProfile profile;
    TFakeProfileList profiles;
    TFakeDevice device;
    TFakeServant servant;
    std::unique_ptr<TPluginFrame> frame = TLyn2DeviceFrame::Class().Create(nullptr, &servant, nullptr);
};

QApplication &App() {
    static int argc = 1;
    static char name[] = "deviceframe_bench";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

void ShowDevice(benchmark::State &State) {
    App();
    TShownFrame shown;
    for (auto _ : State) {
        shown.Frame().ShowDevice(&shown.device, &shown.profiles, {});
        shown.servant.Heard.clear();
    }
}
BENCHMARK(ShowDevice)->Unit(benchmark::kMicrosecond);

// The device ID typed as a whole and applied: change handler, validation, write-back.
void TypeApply(benchmark::State &State) {
    App();
    TShownFrame shown;
    shown.Frame().ShowDevice(&shown.device, &shown.profiles, {});
    auto *id = shown.frame->findChild<QLineEdit *>(QStringLiteral("edUniqueID"));
    int n = 0;
    for (auto _ : State) {
        id->setText(QStringLiteral("desk%1").arg(++n % 1000));
        benchmark::DoNotOptimize(shown.Frame().ApplyChanges(false));
        shown.servant.Heard.clear();
        shown.device.Setters.clear();
    }
}
BENCHMARK(TypeApply)->Unit(benchmark::kMicrosecond);

} // namespace
