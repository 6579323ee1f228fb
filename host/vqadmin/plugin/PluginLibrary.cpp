#include "PluginLibrary.h"

#include "HostObjects.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <dlfcn.h>

namespace {

// The host's plug-in manager. Plug-ins only keep it.
class THostPluginManager final : public THostObject<IPluginManager> {
public:
    int32_t HostReserved() override { return 0; }
};

// The identity and version of the loaded plug-ins' modules.
QHash<const IDevicePluginModule *, QString> &ModuleIdentities() {
    static QHash<const IDevicePluginModule *, QString> identities;
    return identities;
}

} // namespace

TPluginLibrary::TPluginLibrary(const QString &Path) : FPath(Path) {
    QString error;
    std::optional<TVersionEntries> entries = ReadVersionEntries(Path, error);
    if (!entries)
        throw EPluginLoad(QStringLiteral("%1: %2").arg(Path, error));
    FEntries = *entries;
    if (const QString misfit = CheckVersionFit(FEntries); !misfit.isEmpty())
        throw EPluginLoad(QStringLiteral("%1: %2").arg(Path, misfit));

    FHandle = dlopen(QFile::encodeName(Path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!FHandle)
        throw EPluginLoad(QStringLiteral("%1: cannot load: %2").arg(Path, QString::fromLocal8Bit(dlerror())));
    auto create = reinterpret_cast<TCreatePluginFunc>(dlsym(FHandle, "CreatePlugin"));
    FDestroy = reinterpret_cast<TDestroyPluginFunc>(dlsym(FHandle, "DestroyPlugin"));
    if (!create || !FDestroy) {
        dlclose(FHandle);
        throw EPluginLoad(QStringLiteral("%1: not a plug-in (CreatePlugin or DestroyPlugin is not exported)").arg(Path));
    }

    FObject = create();
    // The host knows the plug-in only through its interfaces.
    FDevicePlugin = QueryAs<IDevicePlugin>(PluginInterface(FObject));
    FManager = new THostPluginManager;
    if (!FDevicePlugin || !FDevicePlugin->Initialize(FManager.get())) {
        const QString why = FDevicePlugin ? QStringLiteral("refused to initialise") : QStringLiteral("is not a device plug-in");
        FDestroy(FObject);
        dlclose(FHandle);
        throw EPluginLoad(QStringLiteral("%1: the plug-in %2").arg(Path, why));
    }
    if (const IDevicePluginModule *module = Module())
        ModuleIdentities().insert(module, Take(FDevicePlugin->getPluginID()) + QLatin1Char(' ') +
                                              FEntries.value(QStringLiteral("FileVersion")));
}

TPluginLibrary::~TPluginLibrary() {
    ModuleIdentities().remove(Module());
    FDevicePlugin->Finalize();
    FDestroy(FObject);
    // The library stays mapped: objects it registered with the toolkit may
    // outlive this point until the process ends.
}

IDevicePluginModule *TPluginLibrary::Module() const {
    return FDevicePlugin->getModulesCount() > 0 ? FDevicePlugin->getModule(0) : nullptr;
}

QStringList PluginFolders() {
    const QDir host(QCoreApplication::applicationDirPath());
    QStringList folders{host.absolutePath(), QDir::cleanPath(host.filePath(QStringLiteral(VQ_PLUGIN_FOLDER)))};
    folders.removeDuplicates();
    return folders;
}

QStringList FindPlugins() {
    QStringList plugins;
    for (const QString &folder : PluginFolders())
        for (const QFileInfo &file : QDir(folder).entryInfoList({QStringLiteral("*.plg")}, QDir::Files, QDir::Name))
            plugins << file.filePath();
    return plugins;
}

QString DefaultPluginPath() {
    const QString name = QStringLiteral("DP_Lyn2.plg");
    const QStringList folders = PluginFolders();
    for (const QString &folder : folders)
        if (QFileInfo::exists(QDir(folder).filePath(name)))
            return QDir(folder).filePath(name);
    return QDir(folders.first()).filePath(name);
}

QString ModuleBasis(IDevicePluginModule &Module) {
    const QString plugin = ModuleIdentities().value(&Module, Module.getDeviceType().Text());
    return plugin + QStringLiteral("; host ") + QLatin1String(HostSoftwareVersion);
}
