// The host's windows with the built plug-in, on the offscreen platform: how
// long the main window takes to read its lists again (every change does it)
// on sites of growing size, and the device dialog's round trips.

#include "automation/Automation.h"
#include "windows/MainWindow.h"
#include "plugin/PluginLibrary.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <benchmark/benchmark.h>

namespace {

// Devices spread over ten DHCP profiles, each with its own ID and MAC address.
TSite Site(int Devices) {
    TSite site;
    site.System.EditRights = true;
    for (int p = 1; p <= 10; ++p) {
        TProfileRecord profile;
        profile.ProfileID = p;
        profile.Name = QStringLiteral("Profile %1").arg(p);
        profile.DeviceType = QStringLiteral("LYN 2");
        profile.CustomData = QStringLiteral("IPComm{DHCP=true}");
        site.Profiles.push_back(profile);
    }
    for (int d = 1; d <= Devices; ++d) {
        TDeviceRecord device;
        device.DeviceID = d;
        device.Protocol = ptSIP;
        device.ProfileID = d % 10 + 1;
        device.MacAddress = {{0x00, 0x01, 0xE1, uint8_t(d >> 16), uint8_t(d >> 8), uint8_t(d)}};
        device.UniqueID = QStringLiteral("0001E1%1").arg(d, 6, 16, QLatin1Char('0')).toUpper();
        device.ProxyPassword = QStringLiteral("secret");
        site.Devices.push_back(device);
    }
    return site;
}

struct TFixture {
    explicit TFixture(int Devices) : Library(DefaultPluginPath()), Database(Dir.filePath("bench.db")) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Dir.path());
        Database.ReplaceSite(Site(Devices));
        Window = std::make_unique<TMainWindow>(Database, *Library.Module());
    }
    QTemporaryDir Dir;
    TPluginLibrary Library;
    TConfigDatabase Database;
    std::unique_ptr<TMainWindow> Window;
};

void BM_MainWindowRefresh(benchmark::State &State) {
    TFixture f(int(State.range(0)));
    for (auto _ : State)
        f.Window->Refresh();
    State.SetComplexityN(State.range(0));
}
BENCHMARK(BM_MainWindowRefresh)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace
