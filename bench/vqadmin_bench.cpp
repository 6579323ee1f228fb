// vqadmin on a large site: 10,000 LYN 2 phones in 40 profiles, built once.
// The validate run is timed as the administrator sees it (the vqadmin program,
// plug-in loading and all) and in process (database, host objects and module
// calls only); importing the same site as a file is timed for comparison.

#include "ConfigDatabase.h"
#include "PluginLibrary.h"
#include "SiteFile.h"
#include "SiteValidation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int Profiles = 40;
constexpr int DevicesPerProfile = 250;

// Half the profiles give their phones static addresses, so device checks
// include the LAN IP; one phone in a hundred repeats another's MAC address.
TSite LargeSite() {
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

QCoreApplication &App() {
    static int argc = 1;
    static char name[] = "vqadmin_bench";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// The site's database and file, made on first use and kept for every run.
struct TLargeSite {
    QTemporaryDir Dir;
    QString Database = Dir.filePath(QStringLiteral("large.db"));
    QString File = Dir.filePath(QStringLiteral("large.json"));

    TLargeSite() {
        App();
        const TSite site = LargeSite();
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

void BM_VqadminValidateProgram(benchmark::State &state) {
    const TLargeSite &site = TLargeSite::Get();
    for (auto _ : state) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("vqadmin")),
                {QStringLiteral("--db"), site.Database, QStringLiteral("validate")});
        if (!p.waitForFinished(600000) || p.exitCode() != 1) // the site has duplicates: status 1
            state.SkipWithError("vqadmin validate did not report the site's findings");
    }
    state.counters["devices"] = Profiles * DevicesPerProfile;
}
BENCHMARK(BM_VqadminValidateProgram)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

void BM_ValidateSiteInProcess(benchmark::State &state) {
    const TLargeSite &site = TLargeSite::Get();
    const TPluginLibrary lib(DefaultPluginPath());
    if (!lib.Module()) {
        state.SkipWithError("the plug-in has no module");
        return;
    }
    TConfigDatabase db(site.Database);
    for (auto _ : state) {
        const TValidationReport report = ValidateSite(db, *lib.Module());
        benchmark::DoNotOptimize(ReportText(report));
    }
    state.counters["devices/s"] =
        benchmark::Counter(double(Profiles * DevicesPerProfile), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ValidateSiteInProcess)->Unit(benchmark::kSecond)->Iterations(3);

void BM_ImportSiteFile(benchmark::State &state) {
    const TLargeSite &site = TLargeSite::Get();
    QFile f(site.File);
    f.open(QIODevice::ReadOnly);
    const QByteArray json = f.readAll();
    TConfigDatabase db(site.Dir.filePath(QStringLiteral("import.db")));
    for (auto _ : state)
        db.ReplaceSite(ReadSiteFile(json));
    state.SetBytesProcessed(state.iterations() * json.size());
}
BENCHMARK(BM_ImportSiteFile)->Unit(benchmark::kSecond)->Iterations(3);

} // namespace
