// vqadmin on a site of 100,000 LYN 2 phones in 100 profiles, as the
// administrator runs it: import of the site file into a new database,
// validate and export, each with the program's peak resident memory as
// /usr/bin/time reports it; import of 1,000,000 phones in one DHCP profile;
// and import into a database on the PostgreSQL server that `./dev bench
// large` starts (VQ_TEST_POSTGRES names it), and the first validate --changed
// there after it.
// Generating the site alone takes a while, so this program is not part of
// `./dev bench` or CI: run it with `./dev bench large`.

#include "LargeSite.h"
#include "ServerDatabase.h"

#include <QCoreApplication>
#include <QDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

using TSite100k = TLargeSite<100, 1000>;

const TSite100k &Site() {
    static int argc = 1;
    static char name[] = "largesite_bench";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return TSite100k::Get();
}

struct TChild {
    int Status = -1;
    double Seconds = 0;
    double PeakMB = 0;
};

// Runs vqadmin under /usr/bin/time, which reports its peak resident memory,
// with standard output thrown away. (The rusage of a child spawned from this
// process would count this process's own memory, the generated site's.)
TChild RunVqadmin(const QStringList &args) {
    const TSite100k &site = Site();
    const QByteArray peakFile = QFile::encodeName(site.Dir.filePath(QStringLiteral("peak")));
    std::vector<QByteArray> texts{"/usr/bin/time", "-f", "%M", "-o", peakFile,
                                  QFile::encodeName(QDir(QCoreApplication::applicationDirPath()).filePath("vqadmin"))};
    for (const QString &a : args)
        texts.push_back(QFile::encodeName(a));
    std::vector<char *> argv;
    for (QByteArray &t : texts)
        argv.push_back(t.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    TChild child;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        child.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    child.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    QFile peak(QString::fromLocal8Bit(peakFile));
    if (peak.open(QIODevice::ReadOnly)) // the last line: time's first may say how the command ended
        child.PeakMB = peak.readAll().trimmed().split('\n').last().toDouble() / 1024;
    return child;
}

// Times one command per iteration; Prepare runs untimed before each.
void Measure(benchmark::State &state, const QStringList &args, int expectedStatus,
             const std::function<void()> &prepare = {}, int devices = TSite100k::Devices) {
    double peak = 0;
    for (auto _ : state) {
        if (prepare)
            prepare();
        const TChild child = RunVqadmin(args);
        if (child.Status != expectedStatus) {
            state.SkipWithError("vqadmin did not finish as expected");
            return;
        }
        state.SetIterationTime(child.Seconds);
        peak = std::max(peak, child.PeakMB);
    }
    state.counters["devices"] = devices;
    state.counters["peak_MB"] = peak;
}

void BM_Import(benchmark::State &state) {
    const TSite100k &site = Site();
    const QString database = site.Dir.filePath(QStringLiteral("imported.db"));
    Measure(state, {"--db", database, "import", site.File}, 0, [&] { QFile::remove(database); });
}
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

// The site file of a million phones, written record by record as export writes it.
struct TMillionSiteFile {
    static constexpr int Devices = 1000000;
    QTemporaryDir Dir;
    QString File = Dir.filePath(QStringLiteral("million.json"));

    TMillionSiteFile() {
        QFile f(File);
        f.open(QIODevice::WriteOnly);
        TSiteFileWriter writer(f, File);
        writer.System({});
        writer.Profile(PhonesProfile());
        for (int d = 1; d <= Devices; ++d)
            writer.Device(Phone(d));
        writer.Finish();
    }
};

void BM_ImportMillion(benchmark::State &state) {
    static const TMillionSiteFile site;
    const QString database = site.Dir.filePath(QStringLiteral("imported.db"));
    Measure(state, {"--db", database, "import", site.File}, 0, [&] { QFile::remove(database); },
            TMillionSiteFile::Devices);
}
BENCHMARK(BM_ImportMillion)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

void BM_Validate(benchmark::State &state) {
    // The site repeats some MAC addresses and device IDs: status 1.
    Measure(state, {"--db", Site().Database, "validate"}, 1);
}
BENCHMARK(BM_Validate)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

void BM_Export(benchmark::State &state) {
    const TSite100k &site = Site();
    Measure(state, {"--db", site.Database, "export", site.Dir.filePath(QStringLiteral("exported.json"))}, 0);
}
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

// Into a database that import gives its tables each time.
void BM_ImportPostgreSQL(benchmark::State &state) {
    const TServerDatabase database;
    Measure(state, {"--db", database.Address(), "import", Site().File}, 0,
            [&] { ServerSql(database.Address(), "DROP SCHEMA public CASCADE; CREATE SCHEMA public"); });
}
BENCHMARK(BM_ImportPostgreSQL)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

// The first validate --changed after an import there: every verdict stale.
void BM_ValidateChangedPostgreSQL(benchmark::State &state) {
    const TServerDatabase database;
    Measure(state, {"--db", database.Address(), "validate", "--changed"}, 1, [&] {
        ServerSql(database.Address(), "DROP SCHEMA public CASCADE; CREATE SCHEMA public");
        RunVqadmin({"--db", database.Address(), "import", Site().File});
    });
}
BENCHMARK(BM_ValidateChangedPostgreSQL)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

} // namespace
