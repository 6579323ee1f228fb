#pragma once
// TPlugin: the plug-in object the host talks to through IPlugin.

#include "CommonDevicePlugins.h"
#include "MetaClass.h"

class TPlugin;

// Class reference of TPlugin descendants, with their virtual constructor.
class TPluginClass : public TMetaClass {
public:
    using TMetaClass::TMetaClass;
    virtual TPlugin *Create() const = 0;
};

template <class T>
class TPluginClassOf final : public TPluginClass {
public:
    using TPluginClass::TPluginClass;
    TPlugin *Create() const override {
        T *plugin = new T;
        plugin->AfterConstruction();
        return plugin;
    }
};

class TPlugin : public TInterfacedObject<IPlugin>, public TObjectWithClass {
public:
    static const TPluginClass &Class();
    const TMetaClass &ClassType() const override { return Class(); }

    TPlugin();
    ~TPlugin() override;
    // Runs once the most derived constructor has finished, where virtual
    // operations reach the descendant's overrides.
    virtual void AfterConstruction() {}

    HResult QueryInterface(const TGUID &iid, void **obj) override;
    bool Initialize(IPluginManager *Manager) override;
    void Finalize() override;
    bool PerformMessage(uint32_t aMessage, uintptr_t aParams, uintptr_t &aOutput) override;
    PAnsiStringRef getDescription() override { return NewAnsiStringRef(FDescription); }
    bool getInitialized() override { return FInitialized; }
    IPluginManager *getManager() override;
    PAnsiStringRef getPluginID() override { return NewAnsiStringRef(FPluginID); }
    PAnsiStringRef getPluginType() override { return NewAnsiStringRef(FPluginType); }

    bool Initialized() const { return FInitialized; }
    IPluginManager *Manager() const { return FManager.get(); }
    const QString &PluginType() const { return FPluginType; }
    void setPluginType(const QString &v) { FPluginType = v; }
    const QString &PluginID() const { return FPluginID; }
    void setPluginID(const QString &v) { FPluginID = v; }
    const QString &Description() const { return FDescription; }
    void setDescription(const QString &v) { FDescription = v; }

protected:
    // A descendant may veto initialisation by clearing the flag.
    virtual void DoInitialize(bool &Initialized) { (void)Initialized; }
    virtual void DoFinalize() {}

private:
    bool FInitialized = false;
    QString FPluginType;
    QString FPluginID;
    QString FDescription;
    TInterfaceRef<IPluginManager> FManager;
};
