#pragma once
// Proxies: the plug-in's working copies of one host profile or device. A proxy
// loads itself as soon as it exists (host fields, and its model settings from
// the custom-data tree), is initialised for one use, validates to a single
// worst finding, and writes itself back only when asked.
//
// Proxies and their check helpers are chosen through class descriptors. Each
// class declares its class-level functions as static members of the same name
// (a class that declares none inherits its parent's), and its descriptor, one
// of the ...ClassOf templates, answers the descriptor's virtual functions from
// them. The descriptor is also the one way to build a proxy.

#include "CommonDevicePlugins.h"
#include "DeviceConflicts.h"
#include "MetaClass.h"
#include "VQConfigChangeNotif.h"

#include <QVariant>

#include <memory>
#include <utility>

class TZDBDataTree;
class TZDBDataValue;
class TPluginObjectProxy;
class TBasicProxyHelper;
class TBasicProfileProxy;
class TBasicDeviceProxy;

// ---- class descriptors --------------------------------------------------------

class TBasicProxyHelperClass : public TMetaClass {
public:
    using TMetaClass::TMetaClass;
    virtual std::unique_ptr<TBasicProxyHelper> Create(TPluginObjectProxy *Proxy) const = 0;
};

template <class T>
class TBasicProxyHelperClassOf final : public TBasicProxyHelperClass {
public:
    using TBasicProxyHelperClass::TBasicProxyHelperClass;
    std::unique_ptr<TBasicProxyHelper> Create(TPluginObjectProxy *Proxy) const override {
        return std::make_unique<T>(Proxy);
    }
};

class TPluginObjectProxyClass : public TMetaClass {
public:
    using TMetaClass::TMetaClass;
};

class TExtPluginObjectProxyClass : public TPluginObjectProxyClass {
public:
    using TPluginObjectProxyClass::TPluginObjectProxyClass;
    // The class of the check helper a proxy of this class creates.
    virtual const TBasicProxyHelperClass &HelperClass() const = 0;
};

class TBasicProfileProxyClass : public TExtPluginObjectProxyClass {
public:
    using TExtPluginObjectProxyClass::TExtPluginObjectProxyClass;
    // A loaded proxy over the host profile, not yet initialised.
    virtual std::unique_ptr<TBasicProfileProxy> Create(IDeviceProfile *Profile, IDevicePluginServant *Servant) const = 0;
};

class TBasicDeviceProxyClass : public TExtPluginObjectProxyClass {
public:
    using TExtPluginObjectProxyClass::TExtPluginObjectProxyClass;
    // A loaded proxy over the host device, not yet initialised.
    virtual std::unique_ptr<TBasicDeviceProxy> Create(IDevice *Device, IDevicePluginServant *Servant) const = 0;
};

// The instance a descriptor builds: the most derived object, so that it can
// reach T's protected constructor, run the post-construction step (the load)
// once every constructor has finished, and run Cleanup while T's overrides are
// still in place.
template <class T>
class TProxyInstance final : public T {
public:
    template <class... Args>
    static std::unique_ptr<T> New(Args &&...args) {
        auto proxy = std::make_unique<TProxyInstance>(std::forward<Args>(args)...);
        proxy->AfterConstruction();
        return proxy;
    }
    template <class... Args>
    explicit TProxyInstance(Args &&...args) : T(std::forward<Args>(args)...) {}
    ~TProxyInstance() override { this->Cleanup(); }
};

template <class T, class Base = TExtPluginObjectProxyClass>
class TExtPluginObjectProxyClassOf : public Base {
public:
    using Base::Base;
    const TBasicProxyHelperClass &HelperClass() const override { return T::HelperClass(); }
};

template <class T, class Base = TBasicProfileProxyClass>
class TBasicProfileProxyClassOf : public TExtPluginObjectProxyClassOf<T, Base> {
public:
    using TExtPluginObjectProxyClassOf<T, Base>::TExtPluginObjectProxyClassOf;
    std::unique_ptr<TBasicProfileProxy> Create(IDeviceProfile *Profile, IDevicePluginServant *Servant) const override {
        return TProxyInstance<T>::New(Profile, Servant);
    }
};

template <class T, class Base = TBasicDeviceProxyClass>
class TBasicDeviceProxyClassOf : public TExtPluginObjectProxyClassOf<T, Base> {
public:
    using TExtPluginObjectProxyClassOf<T, Base>::TExtPluginObjectProxyClassOf;
    using Base::Create;
    std::unique_ptr<TBasicDeviceProxy> Create(IDevice *Device, IDevicePluginServant *Servant) const override {
        return TProxyInstance<T>::New(Device, Servant);
    }
};

// ---- proxies ------------------------------------------------------------------

class TPluginObjectProxy : public TObjectWithClass {
public:
    static const TPluginObjectProxyClass &Class();
    const TPluginObjectProxyClass &ClassType() const override { return Class(); }

    ~TPluginObjectProxy() override;
    TPluginObjectProxy(const TPluginObjectProxy &) = delete;
    TPluginObjectProxy &operator=(const TPluginObjectProxy &) = delete;

    // Defaults only when creating and not forced; the fixed values always.
    void Initialize(TPluginFrameFlags Flags, bool Forced);
    // The worst finding of the checks; its message is in Conflict. Exceptions
    // other than the silent end of an error-level report reach the caller.
    TDeviceConflictLevel Validate();
    // Writes the fields, and a fresh tree holding exactly what Save writes, back to the host object.
    void FlushChanges();

    virtual bool VQConfigUpdated(IDevicePluginServant *AServant, TVQConfigChangeList *ChangeList);
    virtual bool IsConfigParamterInUse(IDevicePluginServant *AServant, TVQConfigParameter AParameterType,
                                       const char *AValue, uint32_t AData);
    virtual void UpdateConfigFiles(TConfigFileArray &Files);
    virtual void GetConfigFileNames(TFileNamesArray &Files);

    IDevicePluginServant *Servant() const { return FServant.get(); }
    bool CustomLoaded() const { return FCustomLoaded; }
    void setCustomLoaded(bool Value) { FCustomLoaded = Value; }
    const TDeviceConflict &Conflict() const { return FConflict; }
    TPluginFrameFlags Flags() const { return FFlags; }
    bool ZDBTreeUsed() const { return FZDBTreeUsed; }

protected:
    explicit TPluginObjectProxy(IDevicePluginServant *Servant);
    // Post-construction step: load through the custom-data tree.
    virtual void AfterConstruction();

    virtual void Load() {}
    virtual void Save() {}
    virtual void InitializeFixed() {}
    virtual void InitializeDefaults() {}
    virtual void Cleanup() {}
    virtual void DoValidate() {}
    virtual AnsiString GetCustomData() = 0;
    virtual void SetCustomData(const AnsiString &Text) = 0;

    // Reporting: a finding replaces the current one only when strictly more
    // severe, and an error-level one ends the validation.
    bool ReportConflict(const TDeviceConflict &AConflict);
    bool Check(bool Failed, const QString &Msg, TDeviceConflictLevel Level);
    void AddError(const QString &Msg, TDeviceConflictLevel Level);
    // Format holds %s and %d placeholders (and %% for a percent sign).
    void AddErrorFmt(const QString &Format, const QVariantList &Arguments, TDeviceConflictLevel Level);

    void setZDBTreeUsed(bool Value) { FZDBTreeUsed = Value; }

    // The custom-data root, for Load and Save only (anywhere else is a
    // programming error).
    TZDBDataValue &CustomRoot();

private:
    friend class TBasicProxyHelper;

    void MakeCustomTree(const QString &Text);
    void DropCustomTree();

    TInterfaceRef<IDevicePluginServant> FServant;
    std::unique_ptr<TZDBDataTree> fCustomTree;
    // Exist only inside a load or a save, and then only once asked for.
    TZDBDataValue *fCustomRoot = nullptr;
    bool FCustomOpen = false;
    bool FCustomLoaded = false;
    TDeviceConflict FConflict;
    TPluginFrameFlags FFlags;
    bool FZDBTreeUsed = true;
};

// Adds the findings made outside the proxy (chiefly a frame's input errors)
// and the check helper.
class TExtPluginObjectProxy : public TPluginObjectProxy {
public:
    static const TExtPluginObjectProxyClass &Class();
    const TExtPluginObjectProxyClass &ClassType() const override { return Class(); }
    static const TBasicProxyHelperClass &HelperClass();

    ~TExtPluginObjectProxy() override;

    TDeviceConflictList &ExternalConflicts() { return FExternalConflicts; }
    // When set, an external finding counts only if the user can reach its control.
    bool ExtConflictsControlTrick() const { return FExtConflictsControlTrick; }
    void setExtConflictsControlTrick(bool Value) { FExtConflictsControlTrick = Value; }
    TBasicProxyHelper &Helper() const { return *FHelper; }

protected:
    explicit TExtPluginObjectProxy(IDevicePluginServant *Servant);
    // The helper of the class HelperClass names exists before the load.
    void AfterConstruction() override;
    // Reports the external finding that counts; subclasses' checks run after it.
    void DoValidate() override;

private:
    TDeviceConflictList FExternalConflicts;
    bool FExtConflictsControlTrick = true;
    std::unique_ptr<TBasicProxyHelper> FHelper;
};

// Whether the user can reach the object a finding is attached to: any object
// that is not a control can; a control can when it is on a form (ParentForm)
// and is that form, or it and every control up to the form is visible and
// enabled.
bool IsUserReachable(const QObject *AObject);

class TBasicProfileProxy : public TExtPluginObjectProxy {
public:
    static const TBasicProfileProxyClass &Class();
    const TBasicProfileProxyClass &ClassType() const override { return Class(); }

    ~TBasicProfileProxy() override;

    IDeviceProfile *Profile() const { return FProfile.get(); }
    // The profile's own 32-bit value, passed to and from the host unchanged;
    // nothing in the plug-in gives it a meaning.
    int32_t GetExtraValue();
    void SetExtraValue(int32_t Value);
    // True when the proxy changed itself and must be flushed.
    virtual bool UpdateDefaultProfile() { return false; }

protected:
    TBasicProfileProxy(IDeviceProfile *Profile, IDevicePluginServant *Servant);
    AnsiString GetCustomData() override;
    void SetCustomData(const AnsiString &Text) override;

private:
    TInterfaceRef<IDeviceProfile> FProfile;
};

class TBasicDeviceProxy : public TExtPluginObjectProxy {
public:
    static const TBasicDeviceProxyClass &Class();
    const TBasicDeviceProxyClass &ClassType() const override { return Class(); }

    ~TBasicDeviceProxy() override;

    IDevice *Device() const { return FDevice.get(); }
    // True when the proxy changed itself and must be flushed.
    virtual bool SetScreenName(IDevicePluginServant *AServant, const char16_t *AValue);

protected:
    TBasicDeviceProxy(IDevice *Device, IDevicePluginServant *Servant);
    AnsiString GetCustomData() override;
    void SetCustomData(const AnsiString &Text) override;

private:
    TInterfaceRef<IDevice> FDevice;
};

// Base of the check helpers: reports to its proxy.
class TBasicProxyHelper : public TObjectWithClass {
public:
    static const TBasicProxyHelperClass &Class();
    const TBasicProxyHelperClass &ClassType() const override { return Class(); }

    explicit TBasicProxyHelper(TPluginObjectProxy *Proxy) : FProxy(Proxy) {}
    TPluginObjectProxy *Proxy() const { return FProxy; }

    void Error(const QString &Msg, TDeviceConflictLevel Level);
    void ErrorFmt(const QString &Format, const QVariantList &Arguments, TDeviceConflictLevel Level);

private:
    TPluginObjectProxy *FProxy; // not owned
};
