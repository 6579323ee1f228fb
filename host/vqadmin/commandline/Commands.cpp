#include "Commands.h"

#include "plugin/PluginLibrary.h"
#include "validation/ListVerdicts.h"
#include "Progress.h"
#include "sitefile/SiteFile.h"
#include "validation/SiteValidation.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <utility>

#include <sys/stat.h>

namespace {

void Write(const QByteArray &bytes) { std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout); }
void Print(const QString &line) { Write((line + QLatin1Char('\n')).toUtf8()); }

// Saves the records of a site file as they are read.
class TDatabaseSink : public TSiteSink {
public:
    TDatabaseSink(TConfigDatabase &Database, std::function<void()> Saved)
        : FDatabase(Database), FSaved(std::move(Saved)) {}
    void System(const TSystemValues &Values) override { FDatabase.SaveSystem(Values); }
    void Profile(const TProfileRecord &Profile) override {
        FDatabase.SaveProfile(Profile);
        ++Profiles;
        Saved();
    }
    bool Device(const TDeviceRecord &Device) override {
        if (!FDatabase.AddDevice(Device))
            return false;
        ++Devices;
        Saved();
        return true;
    }
    void NumberDevices() override { FDatabase.NumberAddedDevices(); }
    std::size_t Profiles = 0, Devices = 0;

private:
    void Saved() {
        if (FSaved)
            FSaved();
    }

    TConfigDatabase &FDatabase;
    std::function<void()> FSaved;
};

// Creates the temporary file with the permissions SQLite gives a new database.
void CreateAsSQLite(QTemporaryFile &File) {
    if (!File.open())
        throw Exception(File.fileTemplate() + QStringLiteral(": cannot create: ") + File.errorString());
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(File.handle(), 0644 & ~mask);
}

// Export writes a regular file, or makes one, and never the database itself:
// a device or a pipe would be replaced by a file, the database by a site file.
void CheckExportTarget(const QString &FileName, const QString &DatabasePath) {
    const QFileInfo target(FileName);
    if (target.exists() && !target.isFile())
        throw Exception(FileName + QStringLiteral(": not a regular file, so export does not replace it"));
    std::error_code error;
    if (std::filesystem::equivalent(QFile::encodeName(FileName).toStdString(),
                                    QFile::encodeName(DatabasePath).toStdString(), error))
        throw Exception(FileName + QStringLiteral(": is the database itself"));
}

} // namespace

bool StandardOutputWritten() {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    PrintError(QStringLiteral("standard output: cannot write: ") + qt_error_string(errno));
    return false;
}

void PrintError(const QString &Line) {
    std::fputs((QStringLiteral("vqadmin: ") + Line + QLatin1Char('\n')).toUtf8().constData(), stderr);
}

int CommandInfo(const QStringList &PluginPaths) {
    if (PluginPaths.isEmpty())
        throw EPluginLoad(QStringLiteral("no plug-in in ") + PluginFolders().join(QStringLiteral(", ")));
    int status = ExitOK;
    bool first = true;
    for (const QString &path : PluginPaths) {
        try {
            const TPluginLibrary lib(path);
            IDevicePlugin *plugin = lib.Plugin();
            if (!std::exchange(first, false))
                Print(QString());
            Print(QStringLiteral("Plug-in:     ") + lib.Path());
            Print(QStringLiteral("Type:        ") + lib.Take(plugin->getPluginType()));
            Print(QStringLiteral("ID:          ") + lib.Take(plugin->getPluginID()));
            Print(QStringLiteral("Description: ") + lib.Take(plugin->getDescription()));
            Print(QStringLiteral("Modules:     ") + QString::number(plugin->getModulesCount()));
            Print(QStringLiteral("Version entries:"));
            const TVersionEntries &entries = lib.VersionEntries();
            for (auto it = entries.begin(); it != entries.end(); ++it)
                Print(QStringLiteral("  ") + it.key() + QStringLiteral(": ") + it.value());
        } catch (const EPluginLoad &e) {
            PrintError(e.Message());
            status = ExitFailure;
        }
    }
    return status;
}

TImported ImportSite(TConfigDatabase &Database, QIODevice &File, const std::function<void()> &Progress) {
    TDatabaseSink sink(Database, Progress);
    Database.ReplaceSite([&] { ReadSiteFile(File, sink); });
    return {sink.Profiles, sink.Devices};
}

void ExportSite(TConfigDatabase &Database, QIODevice &Out, const QString &Name,
                const std::function<void(int64_t, int64_t)> &Progress) {
    // One snapshot: the site as it was when the export began.
    const TConfigDatabase::TTransaction snapshot(Database, TConfigDatabase::TTransaction::TLock::Never);
    Database.CheckReferences();
    TSiteFileWriter writer(Out, Name);
    writer.System(Database.LoadSystem());
    for (const TProfileRecord &p : Database.LoadProfiles())
        writer.Profile(p);
    const int64_t total = Database.CountDevices();
    int64_t done = 0;
    Database.ForEachDevice([&](const TDeviceRecord &d) {
        if (Progress)
            Progress(done++, total);
        writer.Device(d);
    });
    writer.Finish();
}

int CommandImport(const QString &DatabasePath, const QString &FileName) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(FileName + QStringLiteral(": cannot read: ") + file.errorString());
    // A new database is built beside its place and renamed there once it holds
    // the site, so that it appears whole or not at all, whatever ends the import.
    // (On a server, the import's one transaction does that.)
    QTemporaryFile building(DatabasePath + QStringLiteral(".XXXXXX"));
    const bool existed = IsServerAddress(DatabasePath) || QFileInfo::exists(DatabasePath);
    if (!existed)
        CreateAsSQLite(building);
    TImported imported;
    try {
        TProgress progress(QStringLiteral("importing"));
        const qint64 size = file.size();
        const auto update = [&] { progress.Update(file.pos(), size); };
        update();
        TConfigDatabase database(existed ? DatabasePath : building.fileName());
        imported = ImportSite(database, file, update);
    } catch (const ESiteFile &e) {
        throw ESiteFile(FileName + QStringLiteral(": ") + e.Message());
    }
    if (!existed) {
        std::error_code error;
        std::filesystem::rename(QFile::encodeName(building.fileName()).toStdString(),
                                QFile::encodeName(DatabasePath).toStdString(), error);
        if (error)
            throw Exception(DatabasePath + QStringLiteral(": cannot create: ") +
                            QString::fromLocal8Bit(error.message()));
        building.setAutoRemove(false);
    }
    Print(QStringLiteral("Imported ") + QString::number(imported.Profiles) + QStringLiteral(" profiles and ") +
          QString::number(imported.Devices) + QStringLiteral(" devices into ") + DatabasePath);
    return ExitOK;
}

int CommandExport(const QString &DatabasePath, const QString &FileName) {
    TConfigDatabase database(DatabasePath, TConfigDatabase::TOpenMode::Existing);
    if (!FileName.isEmpty())
        CheckExportTarget(FileName, DatabasePath);
    TProgress progress(QStringLiteral("exporting"));
    const auto update = [&](int64_t done, int64_t total) { progress.Update(done, total); };
    if (FileName.isEmpty()) {
        QFile out;
        out.open(stdout, QIODevice::WriteOnly);
        ExportSite(database, out, QStringLiteral("standard output"), update);
        // Said now, while the reason is known: closing flushes without a word,
        // and the database's own closing may take the reason away.
        if (!out.flush())
            throw Exception(QStringLiteral("standard output: cannot write: ") + out.errorString());
        return ExitOK;
    }
    // Written beside the file and renamed into place when complete; unbuffered,
    // so that a write that fails says why (a full disk) where it fails.
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Exception(FileName + QStringLiteral(": cannot write: ") + file.errorString());
    ExportSite(database, file, FileName, update);
    if (!file.commit())
        throw Exception(FileName + QStringLiteral(": cannot write: ") + file.errorString());
    return ExitOK;
}

int CommandValidate(const QString &DatabasePath, const QString &PluginPath, bool Json, bool Changed) {
    const TPluginLibrary lib(PluginPath);
    IDevicePluginModule *module = lib.Module();
    if (!module)
        throw Exception(PluginPath + QStringLiteral(": the plug-in has no device module, so nothing can be validated"));
    // The quick check reads the whole file: the full check's to make, not that of --changed.
    TConfigDatabase database(DatabasePath, Changed ? TConfigDatabase::TOpenMode::ExistingUnchecked
                                                   : TConfigDatabase::TOpenMode::Existing);
    TProgress progress(QStringLiteral("validating"));
    TReportWriter report(Json, [&](const QByteArray &text) { progress.Print(text); });
    if (Changed) {
        // No verdict is kept over a reference that does not hold. The stale
        // ones are made and kept a slice at a time, until the last or until
        // the site changes under one, so that a busy site cannot keep the
        // command going (a read-only database keeps none at all).
        database.CheckReferences();
        TListVerdicts verdicts(database, *module, ModuleBasis(*module));
        verdicts.Start();
        const int64_t total = verdicts.CountStale();
        TListVerdicts::TJudged judged;
        const bool keeps = !database.ReadOnly();
        for (int64_t done = 0; keeps && verdicts.JudgeStale(QDeadlineTimer(250), judged);) {
            const int64_t kept = int64_t(judged.Profiles.size() + judged.Devices.size());
            if (kept == done)
                break; // the site changed under the slice
            done = kept;
            progress.Update(done, total);
        }
        // Then the report from those kept, and those left or gone stale since
        // judged for it alone: all as of one moment.
        const TConfigDatabase::TTransaction snapshot(database, TConfigDatabase::TTransaction::TLock::Never);
        database.CheckReferences();
        verdicts.HoldStale();
        verdicts.Report(report);
    } else {
        const TConfigDatabase::TTransaction snapshot(database, TConfigDatabase::TTransaction::TLock::Never);
        ValidateSite(database, *module, report, [&](int64_t done, int64_t total) { progress.Update(done, total); });
    }
    report.Finish();
    return report.HasErrors() ? ExitFindings : ExitOK;
}

int CommandList(const QString &DatabasePath, const QString &What) {
    if (What != QLatin1String("profiles") && What != QLatin1String("devices"))
        throw Exception(QStringLiteral("list: profiles or devices, not %1").arg(What));
    TConfigDatabase database(DatabasePath, TConfigDatabase::TOpenMode::Existing);
    if (What == QLatin1String("profiles"))
        for (const TProfileRecord &profile : database.LoadProfiles())
            Print(profile.Name);
    else
        database.ForEachDevice([](const TDeviceRecord &device) { Print(device.UniqueID); });
    return ExitOK;
}
