#include "DPFrame.h"

#include "DPFeatureFrame.h"
#include "DevicePlugin.h"
#include "VQIPAddress.h"
#include "VQSpin.h"

#include <QCalendarWidget>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableView>

#include <algorithm>

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\DevicePlugins\\DPFrame";

QList<const QMetaObject *> &ColoredClasses() {
    static QList<const QMetaObject *> classes;
    return classes;
}

// The enabled state, and the colour for the classes that follow it.
void EnableControl(QWidget *Control, bool Enabled) {
    Control->setEnabled(Enabled);
    if (!ColoredClasses().contains(Control->metaObject()))
        return;
    if (auto *control = dynamic_cast<TWinControl *>(Control))
        control->SetParentColor(!Enabled);
    else
        SetParentColor(Control, !Enabled);
}

// The child controls placed on Parent, without the parts a composite control
// (a spin edit, an address editor) is made of: those follow their control.
QList<QWidget *> PlacedControls(QWidget *Parent) {
    const auto *parent = dynamic_cast<TWinControl *>(Parent);
    const bool composite = parent && !parent->IsForm();
    QList<QWidget *> result;
    for (QWidget *child : ChildControls(Parent)) {
        const auto *control = dynamic_cast<TWinControl *>(child);
        if (!(composite && control && control->Owner() == Parent))
            result.append(child);
    }
    return result;
}

void SetControlReadOnly(QWidget *Control, bool ReadOnly) {
    if (auto *mask = qobject_cast<TCustomVQIPMask *>(Control))
        mask->SetReadOnly(ReadOnly);
    else if (auto *address = qobject_cast<TCustomVQIPAddress *>(Control))
        address->SetReadOnly(ReadOnly);
    else if (auto *spin = qobject_cast<TCustomVQSpinEdit *>(Control))
        spin->SetReadOnly(ReadOnly);
    else if (auto *edit = qobject_cast<QLineEdit *>(Control))
        edit->setReadOnly(ReadOnly);
    else if (auto *box = qobject_cast<QAbstractSpinBox *>(Control))
        box->setReadOnly(ReadOnly);
    else if (qobject_cast<QComboBox *>(Control) || qobject_cast<QCheckBox *>(Control) ||
             qobject_cast<QRadioButton *>(Control)) {
        Control->setEnabled(!ReadOnly);
        // An enable rule may enable a button again: a click must still change nothing.
        if (auto *check = qobject_cast<TCheckBox *>(Control))
            check->SetReadOnly(ReadOnly);
        else if (auto *radio = qobject_cast<TRadioButton *>(Control))
            radio->SetReadOnly(ReadOnly);
    }
    else if (auto *grid = qobject_cast<QTableView *>(Control))
        grid->setEditTriggers(ReadOnly ? QAbstractItemView::NoEditTriggers
                                       : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                             QAbstractItemView::AnyKeyPressed);
}

} // namespace

// ---- TPluginFrame -------------------------------------------------------------------

const TPluginFrameClass &TPluginFrame::Class() {
    static const TPluginFrameClassOf<TPluginFrame> cls("TPluginFrame", nullptr);
    return cls;
}

const TBasicFrameHelperClass &TPluginFrame::GetHelperClass() { return TBasicFrameHelper::Class(); }

TPluginFrame::TPluginFrame(QWidget *AOwner, IPluginFrameContainer *Container, IDevicePluginModule *ModuleLink)
    : TFrame(AOwner), FModule(ModuleLink), FContainer(Container) {}

TPluginFrame::~TPluginFrame() = default;

void TPluginFrame::AfterConstruction() {
    FHelper = ClassType().GetHelperClass().Create(this);
    StartupControls();
}

void TPluginFrame::BeforeDestruction() {
    ShutdownControls();
    if (FDisplaying)
        HideProxy();
}

TPluginObjectProxy &TPluginFrame::PluginObjectProxy() const {
    Assert(FPluginObjectProxy != nullptr, UnitPath, __LINE__);
    return *FPluginObjectProxy;
}

TExtPluginObjectProxy *TPluginFrame::ExtProxy() const {
    return FPluginObjectProxy && FPluginObjectProxy->InheritsFrom(TExtPluginObjectProxy::Class())
               ? static_cast<TExtPluginObjectProxy *>(FPluginObjectProxy.get())
               : nullptr;
}

QList<TPluginFeatureFrame *> TPluginFrame::FeatureFrames() const {
    QList<TPluginFeatureFrame *> result;
    for (QWidget *component : Components(const_cast<TPluginFrame *>(this)))
        if (auto *feature = qobject_cast<TPluginFeatureFrame *>(component))
            result.append(feature);
    return result;
}

HResult TPluginFrame::QueryInterface(const TGUID &iid, void **obj) {
    if (iid == IPluginFrame::IID) {
        *obj = static_cast<IPluginFrame *>(this);
        return S_OK;
    }
    *obj = nullptr;
    return E_NOINTERFACE;
}

bool TPluginFrame::ProcessRequest(int32_t, uintptr_t, intptr_t &) { return false; }

void TPluginFrame::GetModule(IDevicePluginModule *&Module) {
    Module = FModule.get();
    if (Module)
        Module->_AddRef();
}

bool TPluginFrame::ShowProxy(TPluginFrameFlags Flags) {
    if (FDisplaying)
        HideProxy();
    FCurrentModified = false;
    FCurrentConflict.Clear();
    FFlags = Flags;

    // Filling the controls fires their events: the handlers must ignore them
    // and the container hears nothing until the object is shown.
    FSilentMode = true;
    FSilentModeHistory.clear();
    FPluginObjectProxy = CreateProxy();
    FPluginObjectProxy->Initialize(Flags, false);
    const QList<TPluginFeatureFrame *> features = FeatureFrames();
    for (TPluginFeatureFrame *feature : features)
        feature->FrameInitialize(this);
    InitControls();
    for (TPluginFeatureFrame *feature : features)
        feature->InitControls();
    EnDisableControls();
    Validate();
    FSilentMode = false;
    FSilentModeHistory.clear();

    // A new object counts as modified from the start.
    FIsNew = Flags.Contains(pffCreating);
    ReportModified(FIsNew);
    ShowCurrentConflict();
    FDisplaying = true;
    return true;
}

void TPluginFrame::HideProxy() {
    // The focused control's exit handler runs now, while the proxy still exists.
    if (CanFocus() && IsFocusInside(this))
        setFocus(Qt::OtherFocusReason);
    const QList<TPluginFeatureFrame *> features = FeatureFrames();
    DoneControls();
    for (TPluginFeatureFrame *feature : features)
        feature->DoneControls();
    for (TPluginFeatureFrame *feature : features)
        feature->FrameFinalize();
    FPluginObjectProxy.reset();
    FDisplaying = false;
}

void TPluginFrame::InitControls() {
    const TPluginObjectProxy &proxy = PluginObjectProxy();
    if (proxy.ZDBTreeUsed() && !proxy.CustomLoaded())
        MessageBox(this, QStringLiteral("Can't load custom fields' values"), QStringLiteral("Warning"),
                   QMessageBox::Critical, QMessageBox::Ok);
}

void TPluginFrame::EnDisableControls() {
    for (TPluginFeatureFrame *feature : FeatureFrames())
        feature->EnDisableControls();
}

bool TPluginFrame::Validate() {
    TPluginObjectProxy &proxy = PluginObjectProxy();
    const bool result = proxy.Validate() != dclError;
    if (!FCurrentConflict.Equals(proxy.Conflict())) {
        FCurrentConflict.Assign(proxy.Conflict());
        ShowCurrentConflict();
    }
    return result;
}

bool TPluginFrame::ValidateSetModified() {
    const bool result = Validate();
    UpdateModified(true);
    return result;
}

void TPluginFrame::ShowCurrentConflict() {
    if (FSilentMode || !FContainer)
        return;
    FContainer->ShowConflict(ConflictLevelMap[FCurrentConflict.Level], IsExternalConflict(FCurrentConflict),
                             FCurrentConflict.Message.c_str());
}

bool TPluginFrame::IsExternalConflict(const TDeviceConflict &Conflict) const {
    TExtPluginObjectProxy *proxy = ExtProxy();
    if (!proxy)
        return false;
    const TDeviceConflictList &conflicts = proxy->ExternalConflicts();
    for (int i = 0; i < conflicts.Count(); ++i)
        if (conflicts.getItem(i)->Equals(Conflict))
            return true;
    return false;
}

void TPluginFrame::ReportModified(bool Value) {
    if (FSilentMode || !FContainer)
        return;
    FContainer->SetModified(Value);
    FCurrentModified = Value;
}

void TPluginFrame::UpdateModified(bool Value) {
    if (FCurrentModified != Value)
        ReportModified(Value);
}

bool TPluginFrame::ApplyChanges(bool Force) {
    // Validate runs also when forced, so the container sees the conflict.
    const bool result = Validate() || Force;
    if (result) {
        PluginObjectProxy().FlushChanges();
        UpdateModified(false);
    }
    return result;
}

bool TPluginFrame::ProcessInputError(bool IsError, const TDeviceConflict &Conflict) {
    TExtPluginObjectProxy *proxy = ExtProxy();
    if (!proxy)
        return !IsError;
    TDeviceConflictList &conflicts = proxy->ExternalConflicts();
    const int index = conflicts.FindByObject(Conflict.AObject);
    if (index >= 0 && !IsError)
        conflicts.Delete(index);
    else if (index < 0 && IsError)
        conflicts.Add(Conflict.Clone());
    else if (index >= 0)
        conflicts.getItem(index)->Assign(Conflict);
    return !IsError;
}

bool TPluginFrame::ProcessInputError(bool IsError, QObject *Control, const QString &Message,
                                     TDeviceConflictLevel ConflictLevel) {
    return ProcessInputError(IsError, TDeviceConflict(ConflictLevel, Message, Control));
}

void TPluginFrame::PushSilentMode(bool NewValue) {
    FSilentModeHistory.push_back(FSilentMode);
    FSilentMode = NewValue;
}

void TPluginFrame::PopSilentMode() {
    if (FSilentModeHistory.empty())
        return;
    FSilentMode = FSilentModeHistory.back();
    FSilentModeHistory.pop_back();
}

// ---- TBasicFrameHelper -------------------------------------------------------------

const TBasicFrameHelperClass &TBasicFrameHelper::Class() {
    static const TBasicFrameHelperClassOf<TBasicFrameHelper> cls("TBasicFrameHelper", nullptr);
    return cls;
}

// ---- control utilities ----------------------------------------------------------------

const QList<const QMetaObject *> &ColoredControlClasses() { return ColoredClasses(); }

void RegisterColoredControlClass(const QMetaObject *Class) {
    QList<const QMetaObject *> &classes = ColoredClasses();
    if (classes.contains(Class))
        return;
    if (const qsizetype empty = classes.indexOf(nullptr); empty >= 0)
        classes[empty] = Class;
    else
        classes.append(Class);
}

void UnregisterColoredControlClass(const QMetaObject *Class) {
    QList<const QMetaObject *> &classes = ColoredClasses();
    if (const qsizetype index = classes.indexOf(Class); index >= 0)
        classes[index] = nullptr;
}

void RegisterColoredControlClasses() {
    for (const QMetaObject *cls :
         {&TEdit::staticMetaObject, &QPlainTextEdit::staticMetaObject, &TComboBox::staticMetaObject,
          &QListWidget::staticMetaObject, &QCalendarWidget::staticMetaObject, &TVQSpinEdit::staticMetaObject,
          &QSpinBox::staticMetaObject})
        RegisterColoredControlClass(cls);
}

void EnableControlTree(QWidget *Control, bool Enabled) {
    const QWidget *parent = Control->parentWidget();
    const bool effective = Enabled && (!parent || parent->isEnabled());
    EnableControl(Control, effective);
    for (QWidget *child : PlacedControls(Control))
        EnableControlTree(child, effective);
}

void EnableControls(const QList<QWidget *> &Controls, bool Enabled) {
    for (QWidget *control : Controls)
        EnableControl(control, Enabled);
}

void ShowControls(const QList<QWidget *> &Controls, bool Visible) {
    for (QWidget *control : Controls)
        control->setVisible(Visible);
}

void SetControlsReadOnly(QWidget *Parent, bool ReadOnly) {
    for (QWidget *child : PlacedControls(Parent)) {
        SetControlReadOnly(child, ReadOnly);
        SetControlsReadOnly(child, ReadOnly);
    }
}

bool IsFocusInside(const QWidget *Window) {
    for (const QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (w == Window)
            return true;
    return false;
}

int FindProfileIndex(IDeviceProfileList *List, int64_t Handle) {
    const int count = List ? List->getCount() : 0;
    for (int i = 0; i < count; ++i)
        if (IDeviceProfile *profile = List->getItem(i); profile && profile->getProfileID() == Handle)
            return i;
    return -1;
}

void FillProfileItems(IDeviceProfileList *List, QComboBox *Items, bool Sorted) {
    struct TItem {
        QString Name;
        IDeviceProfile *Profile;
    };
    std::vector<TItem> items;
    const int count = List ? List->getCount() : 0;
    for (int i = 0; i < count; ++i)
        if (IDeviceProfile *profile = List->getItem(i))
            items.push_back({profile->getName().Text(), profile});
    if (Sorted)
        std::stable_sort(items.begin(), items.end(), [](const TItem &a, const TItem &b) {
            return QString::compare(a.Name, b.Name, Qt::CaseInsensitive) < 0;
        });
    Items->setUpdatesEnabled(false);
    Items->clear();
    for (const TItem &item : items)
        Items->addItem(item.Name, QVariant::fromValue(static_cast<void *>(item.Profile)));
    Items->setCurrentIndex(-1);
    Items->setUpdatesEnabled(true);
}

int FindProfileItem(const QComboBox *Items, int64_t Handle) {
    for (int i = 0; i < Items->count(); ++i)
        if (IDeviceProfile *profile = GetProfileItem(Items, i); profile && profile->getProfileID() == Handle)
            return i;
    return -1;
}

IDeviceProfile *GetProfileItem(const QComboBox *Items, int Index) {
    if (Index < 0 || Index >= Items->count())
        return nullptr;
    return static_cast<IDeviceProfile *>(Items->itemData(Index).value<void *>());
}
