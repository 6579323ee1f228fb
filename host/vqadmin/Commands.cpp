#include "Commands.h"

#include "PluginLibrary.h"
#include "SiteFile.h"
#include "SiteValidation.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

void Write(const QByteArray &bytes) { std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout); }
void Print(const QString &line) { Write((line + QLatin1Char('\n')).toUtf8()); }

} // namespace

int CommandInfo(const QString &PluginPath) {
    const TPluginLibrary lib(PluginPath);
    IDevicePlugin *plugin = lib.Plugin();
    Print(QStringLiteral("Plug-in:     %1").arg(lib.Path()));
    Print(QStringLiteral("Type:        %1").arg(lib.Take(plugin->getPluginType())));
    Print(QStringLiteral("ID:          %1").arg(lib.Take(plugin->getPluginID())));
    Print(QStringLiteral("Description: %1").arg(lib.Take(plugin->getDescription())));
    Print(QStringLiteral("Modules:     %1").arg(plugin->getModulesCount()));
    Print(QStringLiteral("Version entries:"));
    const TVersionEntries &entries = lib.VersionEntries();
    for (auto it = entries.begin(); it != entries.end(); ++it)
        Print(QStringLiteral("  %1: %2").arg(it.key(), it.value()));
    return ExitOK;
}

TSite ReadSiteFileNamed(const QString &FileName) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("%1: cannot read: %2").arg(FileName, file.errorString()));
    try {
        return ReadSiteFile(file.readAll());
    } catch (const ESiteFile &e) {
        throw ESiteFile(QStringLiteral("%1: %2").arg(FileName, e.Message()));
    }
}

int CommandImport(const QString &DatabasePath, const QString &FileName) {
    const TSite site = ReadSiteFileNamed(FileName);
    TConfigDatabase database(DatabasePath);
    database.ReplaceSite(site);
    Print(QStringLiteral("Imported %1 profiles and %2 devices into %3")
              .arg(site.Profiles.size())
              .arg(site.Devices.size())
              .arg(DatabasePath));
    return ExitOK;
}

int CommandExport(const QString &DatabasePath, const QString &FileName) {
    TConfigDatabase database(DatabasePath);
    const QByteArray json = WriteSiteFile(database.LoadSite());
    if (FileName.isEmpty()) {
        Write(json);
        return ExitOK;
    }
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit())
        throw Exception(QStringLiteral("%1: cannot write: %2").arg(FileName, file.errorString()));
    return ExitOK;
}

int CommandValidate(const QString &DatabasePath, const QString &PluginPath, bool Json) {
    const TPluginLibrary lib(PluginPath);
    IDevicePluginModule *module = lib.Module();
    if (!module)
        throw Exception(QStringLiteral("%1: the plug-in has no device module, so nothing can be validated").arg(PluginPath));
    TConfigDatabase database(DatabasePath);
    const TValidationReport report = ValidateSite(database, *module);
    Write((Json ? ReportJson(report) : ReportText(report)).toUtf8());
    return report.HasErrors() ? ExitFindings : ExitOK;
}
