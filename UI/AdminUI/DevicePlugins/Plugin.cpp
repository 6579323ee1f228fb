#include "Plugin.h"

const TPluginClass &TPlugin::Class() {
    static const TPluginClassOf<TPlugin> cls("TPlugin", nullptr);
    return cls;
}

TPlugin::TPlugin() = default;

// Descendants have already finalized their own state by the time this runs.
TPlugin::~TPlugin() { Finalize(); }

HResult TPlugin::QueryInterface(const TGUID &iid, void **obj) {
    if (iid == IPlugin::IID || iid == IInterface::IID) {
        *obj = static_cast<IPlugin *>(this);
        return S_OK;
    }
    *obj = nullptr;
    return E_NOINTERFACE;
}

bool TPlugin::Initialize(IPluginManager *Manager) {
    if (FInitialized || !Manager)
        return false;
    FManager = Manager;
    FInitialized = true;
    DoInitialize(FInitialized);
    return FInitialized;
}

void TPlugin::Finalize() {
    if (FInitialized)
        DoFinalize();
}

bool TPlugin::PerformMessage(uint32_t, uintptr_t, uintptr_t &) { return false; }

IPluginManager *TPlugin::getManager() {
    if (FManager)
        FManager->_AddRef();
    return FManager.get();
}
