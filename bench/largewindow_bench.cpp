// The main window with the built plug-in on a large generated site (one DHCP
// profile, N devices), offscreen: opening it (the lists read their first rows
// with the verdicts the database keeps, the status bar counts), the first
// opening, when every verdict is stale (to the first rows, and until the
// slices have judged them all), narrowing the device list by a MAC address
// prefix that many or one device match, deleting or editing one device with
// the lists brought up to date, and `vqadmin validate --changed` after one
// device changed.

#include "automation/Automation.h"
#include "plugin/PluginLibrary.h"
#include "validation/ListVerdicts.h"
#include "windows/MainWindow.h"
#include "LargeSite.h"
#include "VQControls.h"
#include "VarnelGrid.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Made once per size, stored a device at a time so that memory stays flat.
struct TSiteDatabase {
    explicit TSiteDatabase(int Devices) : Database(Dir.filePath(QStringLiteral("large.db"))) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Dir.path());
        Database.ReplaceSite([&] {
            TSystemValues system;
            system.EditRights = true; // the devices can be edited
            Database.SaveSystem(system);
            Database.SaveProfile(PhonesProfile());
            for (int d = 1; d <= Devices; ++d)
                Database.SaveDevice(Phone(d));
        });
    }
    static TSiteDatabase &Get(int Devices) {
        static std::map<int, std::unique_ptr<TSiteDatabase>> sites;
        std::unique_ptr<TSiteDatabase> &site = sites[Devices];
        if (!site)
            site = std::make_unique<TSiteDatabase>(Devices);
        return *site;
    }
    QTemporaryDir Dir;
    TConfigDatabase Database;
};

TPluginLibrary &Library() {
    static TPluginLibrary library(DefaultPluginPath());
    return library;
}

// Judges the stale verdicts and keeps them, as the window's slices do.
void KeepVerdicts(TConfigDatabase &Database) {
    TListVerdicts verdicts(Database, *Library().Module(), ModuleBasis(*Library().Module()));
    verdicts.Start();
    TListVerdicts::TJudged judged;
    verdicts.JudgeStale(QDeadlineTimer::Forever, judged);
}

void BM_OpenWindow(benchmark::State &State) {
    TSiteDatabase &site = TSiteDatabase::Get(int(State.range(0)));
    KeepVerdicts(site.Database);
    for (auto _ : State) {
        TMainWindow window(site.Database, *Library().Module());
        benchmark::DoNotOptimize(window.Devices()->RowCount());
    }
}

// Arg 1: until every stale verdict is judged and kept; 0: until the first rows show.
void BM_OpenWindowAllStale(benchmark::State &State) {
    TSiteDatabase &site = TSiteDatabase::Get(int(State.range(0)));
    for (auto _ : State) {
        State.PauseTiming();
        site.Database.MarkAllStale();
        State.ResumeTiming();
        TMainWindow window(site.Database, *Library().Module());
        while (State.range(1) && window.Judging())
            QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.Devices()->RowCount());
    }
}

// The command as an administrator runs it, its report thrown away.
void BM_ValidateChanged(benchmark::State &State) {
    TSiteDatabase &site = TSiteDatabase::Get(int(State.range(0)));
    KeepVerdicts(site.Database);
    TDeviceRecord device = *site.Database.LoadDevice(2);
    for (auto _ : State) {
        device.ProxyPassword = QString::number(State.iterations());
        site.Database.SaveDevice(device);
        QProcess validate;
        validate.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        validate.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("vqadmin")),
                       {"--db", site.Database.Path(), "validate", "--changed"});
        validate.waitForFinished(-1);
        State.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (validate.exitCode() != 0)
            State.SkipWithError("validate --changed found errors or failed");
    }
}

// Arg 1: the prefix of every device's MAC address from the 65,536th on; 0: of one device's.
void BM_FilterByMACPrefix(benchmark::State &State) {
    TSiteDatabase &site = TSiteDatabase::Get(int(State.range(0)));
    TMainWindow window(site.Database, *Library().Module());
    const QString prefix = State.range(1) ? QStringLiteral("00:01:e1:01") : QStringLiteral("00:01:E1:01:86:9F");
    for (auto _ : State) {
        window.SetFilter({prefix, false});
        benchmark::DoNotOptimize(window.Devices()->RowCount());
        State.PauseTiming();
        window.SetFilter({});
        State.ResumeTiming();
    }
}

void BM_DeleteOneDevice(benchmark::State &State) {
    TSiteDatabase &site = TSiteDatabase::Get(int(State.range(0)));
    TMainWindow window(site.Database, *Library().Module());
    const TMessageBoxHandler previous = SetMessageBoxHandler([](const TMessageBoxRequest &) { return QMessageBox::Yes; });
    int64_t next = 1;
    for (auto _ : State)
        window.DeleteDevice(next++);
    SetMessageBoxHandler(previous);
}

// Open one device, change its password, apply (which re-reads the rows it
// touched) and close, as an administrator's script does.
void BM_EditOneDevice(benchmark::State &State) {
    TSiteDatabase &site = TSiteDatabase::Get(int(State.range(0)));
    TMainWindow window(site.Database, *Library().Module());
    TAutomation automation(window);
    int next = 1;
    for (auto _ : State) {
        const QString id = QStringLiteral("0001E1%1").arg(next, 6, 16, QLatin1Char('0')).toUpper();
        QString out;
        QTextStream stream(&out);
        automation.Run(QStringLiteral("open device %1\ntype edProxyPassword pw%2\napply\nclose").arg(id).arg(next++),
                       stream);
        if (!out.contains(QLatin1String("applied")))
            State.SkipWithError(qPrintable(out));
    }
}

const auto Sizes = [](benchmark::internal::Benchmark *B) {
    B->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
};
BENCHMARK(BM_OpenWindow)->Apply(Sizes);
BENCHMARK(BM_OpenWindowAllStale)->ArgsProduct({{100000, 1000000}, {0, 1}})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ValidateChanged)->Apply(Sizes)->Iterations(3)->UseManualTime();
BENCHMARK(BM_FilterByMACPrefix)
    ->ArgsProduct({{100000, 1000000}, {1, 0}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteOneDevice)->Apply(Sizes);
BENCHMARK(BM_EditOneDevice)->Apply(Sizes);

} // namespace
