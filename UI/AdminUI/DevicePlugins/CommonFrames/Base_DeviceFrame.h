#pragma once
// The first level of device frames and their proxy: the device ID rules.

#include "DPDeviceFrame.h"

#include <array>

class TVQSpinEdit;

// Names reserved for devices the phone system itself defines.
inline constexpr std::array<const char *, 5> MetaDeviceNames = {"bound", "home", "cell", "assigned", "virtual"};
// What a device ID may hold: the unreserved characters of RFC 3261.
const TEditorFilter &DeviceIDChars();

class TBaseDeviceProxy : public TDeviceProxy {
public:
    static const TDeviceProxyClass &Class();
    const TDeviceProxyClass &ClassType() const override { return Class(); }

    // "Device ID", or "Device Prefix" while a range of devices is made from a prefix.
    QString DeviceIDSettingName() const;

protected:
    using TDeviceProxy::TDeviceProxy;
    void DoValidate() override;
};

// Sets a frame class's Designer layout up on a frame. Designer has no layout
// inheritance: a frame class that adds rows has a layout file of its own that
// holds its parent's rows too, and passes it up the chain of constructors;
// every class then finds its own controls in it by name.
using TFrameLayout = void (*)(TFrame *Frame);

// The device ID row and, while a range of devices is made, the start number.
class TBaseDeviceFrame : public TPluginDeviceFrame {
    Q_OBJECT
public:
    static const TPluginDeviceFrameClass &Class();
    static const TDeviceProxyClass *GetDeviceProxyClass() { return &TBaseDeviceProxy::Class(); }

    // The proxy as a TBaseDeviceProxy; an assertion failure when it is of another class.
    TBaseDeviceProxy &DeviceProxy() const;
    // Request 1: Result is the start number shown.
    bool ProcessRequest(int32_t Code, uintptr_t Data, intptr_t &Result) override;

protected:
    TBaseDeviceFrame(QWidget *AOwner, IPluginFrameContainer *Container, IDevicePluginModule *ModuleLink,
                     TFrameLayout Layout = LayOut);
    void StartupControls() override;
    void InitControls() override;

    // The control of that name in the layout; an assertion failure when it has none.
    template <class T>
    T *LayoutControl(const char *Name) const {
        T *control = findChild<T *>(QString::fromLatin1(Name));
        Assert(control != nullptr, "UI\\AdminUI\\DevicePlugins\\CommonFrames\\Base_DeviceFrame", __LINE__,
               QString::fromLatin1(Name));
        return control;
    }

    TLabel *stUniqueID;
    TEdit *edUniqueID;
    TLabel *stStartNumber;
    TVQSpinEdit *vqseStartNumber;

private:
    static void LayOut(TFrame *Frame);
    // In range mode the host's first free number for the prefix, when it
    // knows one, becomes the start number and its minimum.
    void UpdateStartNumber();
    void edUniqueIDChange(QObject *Sender);
};
