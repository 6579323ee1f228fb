#pragma once
// SIP phones: the device proxy that checks the MAC address and, when the
// profile gives the phone a static address, its LAN IP address. The MAC text
// forms it reads and writes are shared with the host (MACAddressUtils).

#include "DPFrameHelper.h"
#include "MACAddressUtils.h"
#include "Profiled_DeviceFrame.h"

class TStrictEdit;
class TVQIPAddress;
class TVQMaskEdit;

class TSIPDeviceProxy : public TProfiledDeviceProxy {
public:
    static const TDeviceProxyClass &Class();
    const TDeviceProxyClass &ClassType() const override { return Class(); }

protected:
    using TProfiledDeviceProxy::TProfiledDeviceProxy;
    void InitializeFixed() override;
    void DoValidate() override;
};

// The complete device frame: MAC address, LAN IP address (replaced by the
// start number in range mode), SIP proxy password, and the device ID that may
// follow the MAC address, which a chain drawn between the two rows shows.
class TSIPDeviceFrame : public TProfiledDeviceFrame {
    Q_OBJECT
public:
    static const TPluginDeviceFrameClass &Class();
    static const TDeviceProxyClass *GetDeviceProxyClass() { return &TSIPDeviceProxy::Class(); }
    static const TBasicFrameHelperClass &GetHelperClass() { return TFrameHelper::Class(); }

    // The proxy as a TSIPDeviceProxy, the helper as a TFrameHelper; an
    // assertion failure when either is of another class.
    TSIPDeviceProxy &DeviceProxy() const;
    TFrameHelper &Helper() const;

    // Moves the check box below the rows down by Offset pixels, to make room
    // for rows a subclass inserts.
    virtual void MoveBottomControls(int Offset);

protected:
    TSIPDeviceFrame(QWidget *AOwner, IPluginFrameContainer *Container, IDevicePluginModule *ModuleLink,
                    TFrameLayout Layout = LayOut);
    void StartupControls() override;
    void InitControls() override;
    // The LAN IP row is enabled while the profile gives its phones static addresses.
    void EnDisableControls() override;

    TLabel *stMACAddress;
    TVQMaskEdit *edMACAddress;
    TLabel *stIP;
    TVQIPAddress *vqipIP;
    TLabel *stProxyPassword;
    TStrictEdit *edProxyPassword;
    TCheckBox *cbIDLinkedToMAC;
    TLabel *imgChain;
    TPanel *shpTop;
    TPanel *shpVert;
    TPanel *shpBottom;

private:
    static void LayOut(TFrame *Frame);
    // Links the device ID to the MAC address or unlinks it: a linked ID takes
    // the MAC address's text, cannot be typed, and the chain shows.
    void SetIDLinkedToMAC(bool Linked);
    void cbIDLinkedToMACClick(QObject *Sender);
    void edMACAddressKeyPress(QObject *Sender, QChar &Key);
    void edMACAddressChange(QObject *Sender);
    void vqipIPChange(QObject *Sender);
    void edProxyPasswordChange(QObject *Sender);

    bool fIDLinkedToMAC = false;
};
