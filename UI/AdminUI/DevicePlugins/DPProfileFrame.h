#pragma once
// TPluginProfileFrame: the frame that edits a profile, and the class-level
// choice of the profile proxy it shows.

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
class TPluginProfileFrameClassOf : public Base {
public:
    using Base::Base;
    const TProfileProxyClass *GetProfileProxyClass() const override { return T::GetProfileProxyClass(); }
};

class TPluginProfileFrame : public TPluginFrame {
public:
    static const TPluginProfileFrameClass &Class();
    static const TProfileProxyClass *GetProfileProxyClass() { return &TProfileProxy::Class(); }
};
