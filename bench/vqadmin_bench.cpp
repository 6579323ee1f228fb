// vqadmin on a large site: 10,000 LYN 2 phones in 40 profiles, built once.
// The validate run is timed as the administrator sees it (the vqadmin program,
// plug-in loading and all) and in process (database, host objects and module
// calls only); importing the same site as a file is timed for comparison.

#include "LargeSite.h"
#include "plugin/PluginLibrary.h"
#include "validation/SiteValidation.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <benchmark/benchmark.h>

namespace {

constexpr int Profiles = 40;
constexpr int DevicesPerProfile = 250;

QCoreApplication &App() {
    static int argc = 1;
    static char name[] = "vqadmin_bench";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

using TSite10k = TLargeSite<Profiles, DevicesPerProfile>;

const TSite10k &Site() {
    App();
    return TSite10k::Get();
}

void BM_VqadminValidateProgram(benchmark::State &state) {
    const TSite10k &site = Site();
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
    const TSite10k &site = Site();
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
    const TSite10k &site = Site();
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
