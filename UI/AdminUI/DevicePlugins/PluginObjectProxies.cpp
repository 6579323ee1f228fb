#include "PluginObjectProxies.h"

#include "VQControls.h"
#include "ZDBDataTree.h"

#include <QWidget>

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\DevicePlugins\\PluginObjectProxies";

// Ends a validation at its first error-level finding. Only Validate catches it.
struct EValidationAbort {};

// Fills %s and %d in order; %% is a percent sign. A placeholder without an
// argument, or %d for an argument that is not a whole number, is a mistake in
// the caller's message and raises; arguments left over are ignored.
QString FormatMessage(const QString &Format, const QVariantList &Arguments) {
    const auto invalid = [&] {
        return Exception(QStringLiteral("Format '%1' invalid or incompatible with argument list").arg(Format));
    };
    QString result;
    qsizetype next = 0;
    for (qsizetype i = 0; i < Format.size(); ++i) {
        if (Format[i] != QLatin1Char('%') || i + 1 == Format.size()) {
            result += Format[i];
            continue;
        }
        const QChar conversion = Format[++i];
        if (conversion == QLatin1Char('%')) {
            result += conversion;
            continue;
        }
        if (next == Arguments.size())
            throw invalid();
        const QVariant &arg = Arguments[next++];
        if (conversion == QLatin1Char('s')) {
            result += arg.toString();
        } else if (conversion == QLatin1Char('d')) {
            bool whole = false;
            const qlonglong n = arg.toLongLong(&whole);
            if (!whole || arg.typeId() == QMetaType::QString)
                throw invalid();
            result += QString::number(n);
        } else {
            throw invalid();
        }
    }
    return result;
}

} // namespace

bool IsUserReachable(const QObject *AObject) {
    const auto *control = qobject_cast<const QWidget *>(AObject);
    if (!control)
        return true;
    // isVisibleTo/isEnabledTo look at the controls' own flags on the way up,
    // whether or not the form itself is shown or enabled.
    const QWidget *form = ParentForm(control);
    return form && (control == form || (control->isVisibleTo(form) && control->isEnabledTo(form)));
}

// TPluginObjectProxy

const TPluginObjectProxyClass &TPluginObjectProxy::Class() {
    static const TPluginObjectProxyClass cls("TPluginObjectProxy", nullptr);
    return cls;
}

TPluginObjectProxy::TPluginObjectProxy(IDevicePluginServant *Servant) : FServant(Servant) {}

TPluginObjectProxy::~TPluginObjectProxy() = default;

void TPluginObjectProxy::MakeCustomTree(const QString &Text) {
    fCustomTree = TZDBDataTree::CreateNew(Text);
    fCustomRoot = fCustomTree ? fCustomTree->Root() : nullptr;
}

void TPluginObjectProxy::DropCustomTree() {
    FCustomOpen = false;
    fCustomRoot = nullptr;
    fCustomTree.reset();
}

TZDBDataValue &TPluginObjectProxy::CustomRoot() {
    Assert(FCustomOpen, UnitPath, __LINE__);
    if (!fCustomRoot)
        MakeCustomTree(QString());
    Assert(fCustomRoot != nullptr, UnitPath, __LINE__);
    return *fCustomRoot;
}

// Empty custom data is an empty tree, made only when Load reads from it: most
// devices have none, and a site's validation loads every one of them.
void TPluginObjectProxy::AfterConstruction() {
    const QString text = FromAnsi(GetCustomData());
    if (!text.isEmpty())
        MakeCustomTree(text);
    FCustomLoaded = text.isEmpty() || fCustomTree != nullptr;
    FCustomOpen = true;
    try {
        Load();
    } catch (...) {
        DropCustomTree();
        throw;
    }
    DropCustomTree();
}

void TPluginObjectProxy::Initialize(TPluginFrameFlags Flags, bool Forced) {
    FFlags = Flags;
    if (!Forced && Flags.Contains(pffCreating))
        InitializeDefaults();
    InitializeFixed();
}

TDeviceConflictLevel TPluginObjectProxy::Validate() {
    FConflict.Clear();
    try {
        DoValidate();
    } catch (const EValidationAbort &) {
    }
    return FConflict.Level;
}

void TPluginObjectProxy::FlushChanges() {
    FCustomOpen = true;
    try {
        Save();
        if (FZDBTreeUsed) {
            CustomRoot(); // a save that wrote no custom value stores the empty tree
            SetCustomData(ToAnsi(fCustomTree->ToString()));
        }
    } catch (...) {
        DropCustomTree();
        throw;
    }
    DropCustomTree();
}

bool TPluginObjectProxy::VQConfigUpdated(IDevicePluginServant *, TVQConfigChangeList *) { return false; }

bool TPluginObjectProxy::IsConfigParamterInUse(IDevicePluginServant *, TVQConfigParameter, const char *, uint32_t) {
    return false;
}

void TPluginObjectProxy::UpdateConfigFiles(TConfigFileArray &Files) { Files.clear(); }

void TPluginObjectProxy::GetConfigFileNames(TFileNamesArray &Files) { Files.clear(); }

bool TPluginObjectProxy::ReportConflict(const TDeviceConflict &AConflict) {
    if (CompareConflictLevels(AConflict.Level, FConflict.Level) > 0) {
        FConflict.Assign(AConflict);
        if (FConflict.Level == dclError)
            throw EValidationAbort();
    }
    return AConflict.Level == dclNone;
}

bool TPluginObjectProxy::Check(bool Failed, const QString &Msg, TDeviceConflictLevel Level) {
    if (Failed && CompareConflictLevels(Level, FConflict.Level) > 0) {
        FConflict.Level = Level;
        FConflict.Message = ToAnsi(Msg);
        if (Level == dclError)
            throw EValidationAbort();
    }
    return !Failed;
}

void TPluginObjectProxy::AddError(const QString &Msg, TDeviceConflictLevel Level) { Check(true, Msg, Level); }

void TPluginObjectProxy::AddErrorFmt(const QString &Format, const QVariantList &Arguments, TDeviceConflictLevel Level) {
    AddError(FormatMessage(Format, Arguments), Level);
}

// TExtPluginObjectProxy

const TExtPluginObjectProxyClass &TExtPluginObjectProxy::Class() {
    static const TExtPluginObjectProxyClassOf<TExtPluginObjectProxy> cls("TExtPluginObjectProxy",
                                                                         &TPluginObjectProxy::Class());
    return cls;
}

const TBasicProxyHelperClass &TExtPluginObjectProxy::HelperClass() { return TBasicProxyHelper::Class(); }

TExtPluginObjectProxy::TExtPluginObjectProxy(IDevicePluginServant *Servant) : TPluginObjectProxy(Servant) {}

TExtPluginObjectProxy::~TExtPluginObjectProxy() = default;

void TExtPluginObjectProxy::AfterConstruction() {
    FHelper = ClassType().HelperClass().Create(this);
    TPluginObjectProxy::AfterConstruction();
}

void TExtPluginObjectProxy::DoValidate() {
    TPluginObjectProxy::DoValidate();
    if (FExternalConflicts.Count() == 0)
        return;
    if (!FExtConflictsControlTrick) {
        ReportConflict(*FExternalConflicts.FirstConflictWithHighestLevel());
        return;
    }
    const TDeviceConflict *candidate = nullptr;
    TDeviceConflictLevel level = dclNone;
    for (int i = 0; i < FExternalConflicts.Count() && level != dclError; ++i) {
        const TDeviceConflict *item = FExternalConflicts.getItem(i);
        if (i > 0 && CompareConflictLevels(item->Level, level) <= 0)
            continue;
        if (IsUserReachable(item->AObject)) {
            candidate = item;
            level = item->Level;
        }
    }
    if (candidate)
        ReportConflict(*candidate);
}

// TBasicProfileProxy

const TBasicProfileProxyClass &TBasicProfileProxy::Class() {
    static const TBasicProfileProxyClassOf<TBasicProfileProxy> cls("TBasicProfileProxy", &TExtPluginObjectProxy::Class());
    return cls;
}

TBasicProfileProxy::TBasicProfileProxy(IDeviceProfile *Profile, IDevicePluginServant *Servant)
    : TExtPluginObjectProxy(Servant) {
    Assert(Profile != nullptr, UnitPath, __LINE__);
    FProfile = Profile;
}

TBasicProfileProxy::~TBasicProfileProxy() = default;

AnsiString TBasicProfileProxy::GetCustomData() {
    PAnsiStringRef text = FProfile->getCustomData();
    return TakeAnsiText(FProfile.get(), text);
}

void TBasicProfileProxy::SetCustomData(const AnsiString &Text) { FProfile->setCustomData(Text.c_str()); }

int32_t TBasicProfileProxy::GetExtraValue() { return FProfile->getExtraValue(); }

void TBasicProfileProxy::SetExtraValue(int32_t Value) { FProfile->setExtraValue(Value); }

// TBasicDeviceProxy

const TBasicDeviceProxyClass &TBasicDeviceProxy::Class() {
    static const TBasicDeviceProxyClassOf<TBasicDeviceProxy> cls("TBasicDeviceProxy", &TExtPluginObjectProxy::Class());
    return cls;
}

TBasicDeviceProxy::TBasicDeviceProxy(IDevice *Device, IDevicePluginServant *Servant) : TExtPluginObjectProxy(Servant) {
    Assert(Device != nullptr, UnitPath, __LINE__);
    FDevice = Device;
}

TBasicDeviceProxy::~TBasicDeviceProxy() = default;

AnsiString TBasicDeviceProxy::GetCustomData() {
    PAnsiStringRef text = FDevice->getCustomData();
    return TakeAnsiText(FDevice.get(), text);
}

void TBasicDeviceProxy::SetCustomData(const AnsiString &Text) { FDevice->setCustomData(Text.c_str()); }

bool TBasicDeviceProxy::SetScreenName(IDevicePluginServant *, const char16_t *) { return false; }

// TBasicProxyHelper

const TBasicProxyHelperClass &TBasicProxyHelper::Class() {
    static const TBasicProxyHelperClassOf<TBasicProxyHelper> cls("TBasicProxyHelper", nullptr);
    return cls;
}

void TBasicProxyHelper::Error(const QString &Msg, TDeviceConflictLevel Level) { FProxy->AddError(Msg, Level); }

void TBasicProxyHelper::ErrorFmt(const QString &Format, const QVariantList &Arguments, TDeviceConflictLevel Level) {
    FProxy->AddErrorFmt(Format, Arguments, Level);
}
