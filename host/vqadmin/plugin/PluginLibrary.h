#pragma once
// A device plug-in library loaded into the host: found, version-checked,
// opened, its plug-in object created and initialised, and all of it undone in
// reverse order when the object goes away.

#include "CommonDevicePlugins.h"
#include "PluginFile.h"

#include <QStringList>

#include <memory>

class EPluginLoad : public Exception {
public:
    using Exception::Exception;
};

class TPluginLibrary {
public:
    // Raises EPluginLoad with one line saying what is wrong.
    explicit TPluginLibrary(const QString &Path);
    ~TPluginLibrary();
    TPluginLibrary(const TPluginLibrary &) = delete;
    TPluginLibrary &operator=(const TPluginLibrary &) = delete;

    const QString &Path() const { return FPath; }
    const TVersionEntries &VersionEntries() const { return FEntries; }
    IDevicePlugin *Plugin() const { return FDevicePlugin; }
    // Module 0, through which the host does all model work; none when the plug-in has no module.
    IDevicePluginModule *Module() const;

    // Text of a plug-in string getter, taken under the hand-off rule.
    QString Take(PAnsiStringRef s) const { return TakeAnsiStringRef(FDevicePlugin, s); }

private:
    QString FPath;
    TVersionEntries FEntries;
    void *FHandle = nullptr;
    TDestroyPluginFunc FDestroy = nullptr;
    TPlugin *FObject = nullptr;
    IDevicePlugin *FDevicePlugin = nullptr;
    TInterfaceRef<IPluginManager> FManager;
};

// What a module's verdicts depend on besides the records: the plug-in's
// identity and version (for a module of a TPluginLibrary, else its device
// type) and the host's version.
QString ModuleBasis(IDevicePluginModule &Module);

// Where the host looks for plug-ins, in this order: its own folder (a build,
// or a copy run where it lies), then the plug-in folder of its installation
// (lib/vqadmin/plugins beside bin/).
QStringList PluginFolders();
// Every plug-in file (*.plg) in those folders, each folder's in name order.
QStringList FindPlugins();
// DP_Lyn2.plg from the first of those folders that holds it; beside the host
// when none does.
QString DefaultPluginPath();
