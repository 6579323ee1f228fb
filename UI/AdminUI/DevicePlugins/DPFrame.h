#pragma once
// TPluginFrame: the base of the editing frames the host embeds in its dialogs.
// A frame shows one configuration object through a proxy: it builds the proxy
// when the host hands it an object, fills its controls from it in silent mode,
// writes every user edit back at once and re-validates, tells the container
// the modified state and the current conflict, and writes the proxy back to
// the host object when the host applies. Also the frames' helper base, their
// class descriptors and the control utilities every frame uses.
//
// A frame class declares its class-level functions (GetHelperClass, and the
// proxy class in the profile and device frames) as static members of the same
// names, and one descriptor built from a ...ClassOf template. The descriptor is
// the one way to build a frame: it constructs it, then runs StartupControls.

#include "CommonDevicePlugins.h"
#include "DeviceConflicts.h"
#include "MetaClass.h"
#include "PluginObjectProxies.h"
#include "VQControls.h"

#include <memory>
#include <type_traits>
#include <vector>

class QComboBox;
class TBasicFrameHelper;
class TPluginFeatureFrame;
class TPluginFrame;

// ---- class descriptors --------------------------------------------------------

class TBasicFrameHelperClass : public TMetaClass {
public:
    using TMetaClass::TMetaClass;
    virtual std::unique_ptr<TBasicFrameHelper> Create(TPluginFrame *Frame) const = 0;
};

template <class T>
class TBasicFrameHelperClassOf final : public TBasicFrameHelperClass {
public:
    using TBasicFrameHelperClass::TBasicFrameHelperClass;
    std::unique_ptr<TBasicFrameHelper> Create(TPluginFrame *Frame) const override { return std::make_unique<T>(Frame); }
};

class TPluginFrameClass : public TMetaClass {
public:
    using TMetaClass::TMetaClass;
    // The class of the helper every frame of this class creates.
    virtual const TBasicFrameHelperClass &GetHelperClass() const = 0;
    // The frame, built as a child of AOwner (none for a frame the host embeds),
    // with its helper; StartupControls has run.
    virtual std::unique_ptr<TPluginFrame> Create(QWidget *AOwner, IPluginFrameContainer *Container,
                                                 IDevicePluginModule *ModuleLink) const = 0;
};

// The instance a descriptor builds: the most derived object, so that it can
// reach T's protected constructor, answer ClassType with T's descriptor, and
// run the steps before destruction while T's overrides are still in place.
template <class T>
class TFrameInstance : public T {
public:
    TFrameInstance(QWidget *AOwner, IPluginFrameContainer *Container, IDevicePluginModule *ModuleLink)
        : T(AOwner, Container, ModuleLink) {}
    ~TFrameInstance() override { this->BeforeDestruction(); }
    const std::remove_reference_t<decltype(T::Class())> &ClassType() const override { return T::Class(); }
};

template <class T, class Base = TPluginFrameClass>
class TPluginFrameClassOf : public Base {
public:
    using Base::Base;
    const TBasicFrameHelperClass &GetHelperClass() const override { return T::GetHelperClass(); }
    std::unique_ptr<TPluginFrame> Create(QWidget *AOwner, IPluginFrameContainer *Container,
                                         IDevicePluginModule *ModuleLink) const override;
};

// Base of the frames' helpers; a frame reaches its own through Helper.
class TBasicFrameHelper : public TObjectWithClass {
public:
    static const TBasicFrameHelperClass &Class();
    const TBasicFrameHelperClass &ClassType() const override { return Class(); }

    explicit TBasicFrameHelper(TPluginFrame *Frame) : FFrame(Frame) {}
    TPluginFrame *Frame() const { return FFrame; }

private:
    TPluginFrame *FFrame; // not owned
};

// ---- the frame ------------------------------------------------------------------

class TPluginFrame : public TFrame, public TInterfacedObject<IPluginFrame>, public TObjectWithClass {
    Q_OBJECT
    Q_INTERFACES(IPluginFrame)

public:
    static const TPluginFrameClass &Class();
    const TPluginFrameClass &ClassType() const override = 0;
    static const TBasicFrameHelperClass &GetHelperClass();

    ~TPluginFrame() override;

    IDevicePluginModule *Module() const { return FModule.get(); }
    // None when the frame has no container; it then reports nothing.
    IPluginFrameContainer *Container() const { return FContainer.get(); }
    TPluginFrameFlags Flags() const { return FFlags; }
    bool Displaying() const { return FDisplaying; }
    // Edits made now come from the program: handlers ignore them and nothing is reported.
    bool SilentMode() const { return FSilentMode; }
    // The shown object is being created.
    bool IsNew() const { return FIsNew; }
    TBasicFrameHelper &Helper() const { return *FHelper; }
    // The proxy being shown; an assertion failure while nothing is shown.
    TPluginObjectProxy &PluginObjectProxy() const;

    // Validates the proxy and reports a changed conflict; false on an error.
    bool Validate();
    // Validate, then the object counts as modified. Every edit handler calls
    // this after it changed a proxy field.
    bool ValidateSetModified();
    // Records (IsError) or clears the input error of the conflict's object in
    // the proxy's external conflicts, one per object; the next validation
    // reports it. Both forms return not IsError.
    bool ProcessInputError(bool IsError, const TDeviceConflict &Conflict);
    bool ProcessInputError(bool IsError, QObject *Control, const QString &Message, TDeviceConflictLevel ConflictLevel);
    // Nested silent sections; a pop without a push changes nothing.
    void PushSilentMode(bool NewValue);
    void PopSilentMode();

    // IPluginFrame
    HResult QueryInterface(const TGUID &iid, void **obj) override;
    // Validates (also when forced); when valid or forced writes the proxy back
    // to the host object and the object is no longer modified.
    bool ApplyChanges(bool Force) override;
    // False: the request is not handled here.
    bool ProcessRequest(int32_t Code, uintptr_t Data, intptr_t &Result) override;
    bool IsDisplaying() override { return FDisplaying; }
    void GetModule(IDevicePluginModule *&Module) override;

protected:
    template <class, class>
    friend class TPluginFrameClassOf;
    template <class>
    friend class TFrameInstance;

    TPluginFrame(QWidget *AOwner, IPluginFrameContainer *Container, IDevicePluginModule *ModuleLink);

    // A proxy over the object the host handed in, loaded and not yet initialised.
    virtual std::unique_ptr<TPluginObjectProxy> CreateProxy() = 0;
    // Hides what is shown, builds the proxy and fills the controls in silent
    // mode, then reports the modified state and the conflict.
    virtual bool ShowProxy(TPluginFrameFlags Flags);
    // Runs the pending exit handler, lets the controls go, frees the proxy unflushed.
    virtual void HideProxy();
    // Once after construction, and once before destruction.
    virtual void StartupControls() {}
    virtual void ShutdownControls() {}
    // Overrides call the inherited one first: the base warns when the custom
    // fields could not be read; subclasses copy proxy fields into controls.
    virtual void InitControls();
    virtual void DoneControls() {}
    // The enabled states that follow the shown values; the base passes the call
    // to the feature sub-frames.
    virtual void EnDisableControls();

    // Tells the container the modified state, unless in silent mode or without a container.
    void ReportModified(bool Value);
    // ReportModified when the state differs from the one last reported.
    void UpdateModified(bool Value);
    // Tells the container the current conflict, unless in silent mode or without a container.
    void ShowCurrentConflict();
    // The conflict is one of the input errors in the proxy's external conflicts.
    bool IsExternalConflict(const TDeviceConflict &Conflict) const;

    // The typed accessors of subclasses: the proxy (or helper) as P (or H),
    // an assertion failure at the caller's unit and line when it is another class.
    template <class P>
    P &ProxyAs(const char *UnitPath, int Line) const {
        Assert(FPluginObjectProxy && FPluginObjectProxy->InheritsFrom(P::Class()), UnitPath, Line);
        return static_cast<P &>(*FPluginObjectProxy);
    }
    template <class H>
    H &HelperAs(const char *UnitPath, int Line) const {
        Assert(FHelper->InheritsFrom(H::Class()), UnitPath, Line);
        return static_cast<H &>(*FHelper);
    }

private:
    // The helper of the class GetHelperClass names, then StartupControls.
    void AfterConstruction();
    void BeforeDestruction();
    // The feature sub-frames this frame owns, in component order.
    QList<TPluginFeatureFrame *> FeatureFrames() const;
    // The proxy when it keeps external conflicts, else none.
    TExtPluginObjectProxy *ExtProxy() const;

    TInterfaceRef<IDevicePluginModule> FModule;
    TInterfaceRef<IPluginFrameContainer> FContainer;
    TPluginFrameFlags FFlags;
    std::unique_ptr<TPluginObjectProxy> FPluginObjectProxy;
    bool FDisplaying = false;
    bool FSilentMode = false;
    std::vector<bool> FSilentModeHistory;
    bool FCurrentModified = false;
    TDeviceConflict FCurrentConflict;
    std::unique_ptr<TBasicFrameHelper> FHelper;
    bool FIsNew = false;
};

// A frame that implements I, a frame interface extending IPluginFrame. The
// frame then implements IPluginFrame twice over (as TPluginFrame and inside
// I); both reach TPluginFrame's implementation.
template <class I>
class TPluginFrameWith : public TPluginFrame, public I {
public:
    HResult QueryInterface(const TGUID &iid, void **obj) override {
        if (iid == I::IID) {
            *obj = static_cast<I *>(this);
            return S_OK;
        }
        return TPluginFrame::QueryInterface(iid, obj);
    }
    int32_t _AddRef() override { return TPluginFrame::_AddRef(); }
    int32_t _Release() override { return TPluginFrame::_Release(); }
    void FreeStr(PAnsiStringRef &s) override { TPluginFrame::FreeStr(s); }
    void FreeStr(PUnicodeStringRef &s) override { TPluginFrame::FreeStr(s); }
    bool ApplyChanges(bool Force) override { return TPluginFrame::ApplyChanges(Force); }
    bool ProcessRequest(int32_t Code, uintptr_t Data, intptr_t &Result) override {
        return TPluginFrame::ProcessRequest(Code, Data, Result);
    }
    bool IsDisplaying() override { return TPluginFrame::IsDisplaying(); }
    void GetModule(IDevicePluginModule *&Module) override { TPluginFrame::GetModule(Module); }

protected:
    using TPluginFrame::TPluginFrame;
};

template <class T, class Base>
std::unique_ptr<TPluginFrame> TPluginFrameClassOf<T, Base>::Create(QWidget *AOwner, IPluginFrameContainer *Container,
                                                                  IDevicePluginModule *ModuleLink) const {
    if constexpr (std::is_abstract_v<TFrameInstance<T>>) {
        this->AbstractError();
    } else {
        std::unique_ptr<TPluginFrame> frame(new TFrameInstance<T>(AOwner, Container, ModuleLink));
        frame->AfterConstruction();
        return frame;
    }
}

// ---- control utilities -------------------------------------------------------------

// Classes whose controls show the window colour while enabled and their
// parent's colour while disabled; a control's own class counts, not its
// ancestors'. Registering a class twice keeps one entry; unregistering empties
// its slot, which the next registration takes before the list grows.
const QList<const QMetaObject *> &ColoredControlClasses();
void RegisterColoredControlClass(const QMetaObject *Class);
void UnregisterColoredControlClass(const QMetaObject *Class);
// The start-up registrations: the single-line and multi-line edits, the
// drop-down list, the list box, the calendar, the spin edit and Qt's own spin box.
void RegisterColoredControlClasses();

// Enabled is effective only inside an enabled parent. The control and then
// every control placed on it, recursively, get the effective state and the
// colour rule; the parts a composite control is made of are its own business.
void EnableControlTree(QWidget *Control, bool Enabled);
// The enabled state and the colour rule for each control.
void EnableControls(const QList<QWidget *> &Controls, bool Enabled);
void ShowControls(const QList<QWidget *> &Controls, bool Visible);
// Every control placed on Parent, recursively: lists, check boxes and radio
// buttons are disabled (enabled when not ReadOnly); edits, spin edits and the
// address and mask editors take the read-only state; a grid stops (or resumes)
// editing. Other controls are left alone.
void SetControlsReadOnly(QWidget *Parent, bool ReadOnly);
// The keyboard focus is on Window or one of its descendants.
bool IsFocusInside(const QWidget *Window);

// Profile lists. A list may be absent: it holds no profiles.
// The position of the profile with that handle in List, or -1.
int FindProfileIndex(IDeviceProfileList *List, int64_t Handle);
// Replaces the items by the names of List's profiles, each item carrying its
// profile (lent by the list); Sorted sorts them by name, ignoring case.
void FillProfileItems(IDeviceProfileList *List, QComboBox *Items, bool Sorted);
// The index of the item whose profile has that handle, or -1.
int FindProfileItem(const QComboBox *Items, int64_t Handle);
// The profile an item carries; none for an index outside the list.
IDeviceProfile *GetProfileItem(const QComboBox *Items, int Index);
