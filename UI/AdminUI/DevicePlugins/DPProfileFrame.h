#pragma once
// TPluginProfileFrame: the frame that edits a profile, the host's
// IPluginProfileFrame, and the class-level choice of the profile proxy it shows.

#include "DPFrame.h"
#include "DPProxies.h"

class TPluginProfileFrameClass : public TPluginFrameClass {
public:
    using TPluginFrameClass::TPluginFrameClass;
    // The proxy class of the profiles the frame shows; none when the frame has none.
    virtual const TProfileProxyClass *GetProfileProxyClass() const = 0;
};

// The descriptor of frame class T: its class-level functions are T's static
// members of the same names.
template <class T, class Base = TPluginProfileFrameClass>
class TPluginProfileFrameClassOf : public TPluginFrameClassOf<T, Base> {
public:
    using TPluginFrameClassOf<T, Base>::TPluginFrameClassOf;
    const TProfileProxyClass *GetProfileProxyClass() const override { return T::GetProfileProxyClass(); }
};

class TPluginProfileFrame : public TPluginFrameWith<IPluginProfileFrame> {
    Q_OBJECT
public:
    static const TPluginProfileFrameClass &Class();
    const TPluginProfileFrameClass &ClassType() const override = 0;
    static const TProfileProxyClass *GetProfileProxyClass() { return &TProfileProxy::Class(); }

    ~TPluginProfileFrame() override;

    // The proxy as a TProfileProxy; an assertion failure while none is shown.
    TProfileProxy &ProfileProxy() const;

    // Request 3: the profile was renamed; the proxy takes the name, cut to 31
    // characters, and re-validates without counting as an edit.
    bool ProcessRequest(int32_t Code, uintptr_t Data, intptr_t &Result) override;

    // IPluginProfileFrame. A none profile changes nothing.
    bool ShowProfile(IDeviceProfile *Profile, TPluginFrameFlags Flags) override;
    void HideProfile() override;

protected:
    using TPluginFrameWith::TPluginFrameWith;
    // A proxy of the class GetProfileProxyClass names over the profile, with
    // the container as its servant.
    std::unique_ptr<TPluginObjectProxy> CreateProxy() override;

private:
    TInterfaceRef<IDeviceProfile> FProfile;
};
