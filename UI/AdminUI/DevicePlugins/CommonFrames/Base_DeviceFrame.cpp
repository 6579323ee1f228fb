#include "Base_DeviceFrame.h"

const TEditorFilter &DeviceIDChars() {
    static const TEditorFilter chars(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!'()*-._~"));
    return chars;
}

const TDeviceProxyClass &TBaseDeviceProxy::Class() {
    static const TDeviceProxyClassOf<TBaseDeviceProxy> cls("TBaseDeviceProxy", &TDeviceProxy::Class());
    return cls;
}

QString TBaseDeviceProxy::DeviceIDSettingName() const {
    return Flags().Contains(pffRange) ? QStringLiteral("Device Prefix") : QStringLiteral("Device ID");
}

void TBaseDeviceProxy::DoValidate() {
    TDeviceProxy::DoValidate();
    const bool range = Flags().Contains(pffRange);
    const QString id = UniqueID.Text();
    if (!range)
        Check(id.isEmpty(), EmptyMessage(QStringLiteral("Device ID")), dclError);
    Helper().CheckString(id, DeviceIDChars(), DeviceIDSettingName());
    if (!range)
        for (const char *name : MetaDeviceNames)
            Check(id == QLatin1String(name), QStringLiteral("Device ID equals to one of meta devices"), dclError);
}

const TPluginDeviceFrameClass &TBaseDeviceFrame::Class() {
    static const TPluginDeviceFrameClassOf<TBaseDeviceFrame> cls("TBaseDeviceFrame", &TPluginDeviceFrame::Class());
    return cls;
}
