#pragma once
// The LYN 2 profile frame: every setting a group of LYN 2 phones shares, on
// the pages "General", "SIP Settings", "IP Communications" and "VLAN". Simple
// controls are bound to their proxy fields by one generic handler each kind;
// the rules that differ (proxy source, DHCP, TFTP server, backup proxy, VLAN,
// interdigit rounding) have handlers of their own.

#include "Lyn2_Proxies.h"
#include "Lyn_ProfileFrame.h"

class TLocOnPhoneFeatureFrame;
class TSyslogRegFeatureFrame;
class TTabSheet;
class TVQDivider;
class TVQIPAddress;
class TVQIPMask;

// The interdigit timeout the phones use: the nearest multiple of 10, a value
// halfway between going to the one whose count of tens is even.
int32_t RoundInterdigitTimeout(int32_t Value);

class TLyn2ProfileFrame : public TLynProfileFrame {
    Q_OBJECT
public:
    static const TPluginProfileFrameClass &Class();
    static const TProfileProxyClass *GetProfileProxyClass() { return &TLyn2ProfileProxy::Class(); }

    // The proxy as a TLyn2ProfileProxy; an assertion failure when it is of another class.
    TLyn2ProfileProxy &ProfileProxy() const;

    // Requests 4 and 5: the open page of pcSettings read and set as a path;
    // others go to the inherited frame.
    bool ProcessRequest(int32_t Code, uintptr_t Data, intptr_t &Result) override;

protected:
    TLyn2ProfileFrame(QWidget *AOwner, IPluginFrameContainer *Container, IDevicePluginModule *ModuleLink);
    // Lengths and lists, the handlers, and the first page.
    void StartupControls() override;
    // The read-only rule, then every control from the proxy.
    void InitControls() override;

    TPageControl *pcSettings;
    TTabSheet *tshGeneral;
    TTabSheet *tshSIP;
    TTabSheet *tshIP;
    TTabSheet *tshVLAN;

    TEdit *edLYN2SWVersion;
    TVQDivider *VQDivider1;
    TComboBox *cbLYN2Country;
    TComboBox *cbLYN2TimeZone;
    TCheckBox *chbLYN2DaylightAdjust;
    TVQDivider *VQDivider2;
    TCheckBox *chbLYN2AllowG729;
    TCheckBox *chbLYN2G729SilentSuppr;
    TVQSpinEdit *vqseLYN2RingTone;
    TVQDivider *VQDivider6;
    TCheckBox *chbLYN2EnablePaging;
    TVQDivider *vqdDialing;
    TVQSpinEdit *vqseInterdigitTimeout;
    TVQDivider *vqdMisc;
    TSyslogRegFeatureFrame *ftfSyslogReg;
    TLocOnPhoneFeatureFrame *ftfLocOnPhone;

    TVQDivider *VQDivider5;
    TComboBox *cbLYN2ProxySource;
    TLabel *stLYN2ProxyAddr;
    TEdit *edLYN2ProxyAddress;
    TLabel *stLYN2ProxyPort;
    TVQSpinEdit *vqseLYN2ProxyPort;
    TComboBox *cbLYN2TransportProtocol;
    TVQSpinEdit *vqseLYN2ReceivePort;
    TCheckBox *chbLYN2RegWithBcpProxy;
    TLabel *stLYN2BackupProxy;
    TEdit *edLYN2BcpProxy;
    TLabel *stLYN2BackupProxyPort;
    TVQSpinEdit *vqseLYN2BcpProxyPort;
    TVQSpinEdit *vqseLYN2InviteRetrans;
    TVQSpinEdit *vqseLYN2NonInviteRetrans;

    TCheckBox *chbLYN2EnableDHCP;
    TPanel *pnlNetLYN2Controls;
    TVQIPMask *vqimLYN2SubnetMask;
    TVQIPAddress *vqipLYN2Gateway;
    TVQIPAddress *vqipLYN2DNS;
    TEdit *edLYN2Domain;
    TVQIPAddress *vqipLYN2NTP;
    TPanel *pnlNetLYN2TFTP;
    TRadioButton *rbLYN2FromDHCP_TFTPServer;
    TRadioButton *rbLYN2FixedTFTPServer;
    TVQIPAddress *vqipLYN2TFTPServer;
    TVQDivider *VQDivider4;
    TVQSpinEdit *vqseLYN2Cal_Sig_DSCP;
    TVQSpinEdit *vqseLYN2RTP_DSCP;

    TCheckBox *chbLYN2EnableVLAN;
    TPanel *pnlLYN2VLAN;
    TVQSpinEdit *vqseLYN2VLANTag;
    TVQSpinEdit *vqseLYN2PriorityTag;
    TVQSpinEdit *vqseLYN2CallSigVLANTag;
    TVQSpinEdit *vqseLYN2CallSigPriorityTag;
    TVQSpinEdit *vqseLYN2RTPVLANTag;
    TVQSpinEdit *vqseLYN2RTPPriorityTag;

private:
    // The control of that name in the layout; an assertion failure when it has none.
    template <class T>
    T *LayoutControl(const char *Name) const;
    // The user is editing a shown profile: not silent mode, nor an idle frame.
    bool Editing() const;
    // Value replaces the field when it differs, and the
    // profile is modified. True when it did.
    template <class Field>
    bool Store(Field &Target, const Field &Value);
    // The generic handlers: FieldOf picks the control's field of the proxy.
    template <class FieldOf>
    void BindEdit(TEdit *Control, FieldOf Field);
    template <class FieldOf>
    void BindCheckBox(TCheckBox *Control, FieldOf Field);
    template <class FieldOf>
    void BindSpinEdit(TVQSpinEdit *Control, FieldOf Field);

    TProxyControls ProxyControls() const;
    // The network fields only without DHCP, and the TFTP server from DHCP only with it.
    void ApplyDHCPState();

    void cbLYN2CountryChange(QObject *Sender);
    void cbLYN2TimeZoneChange(QObject *Sender);
    void cbLYN2ProxySourceChange(QObject *Sender);
    void cbLYN2TransportProtocolChange(QObject *Sender);
    void vqseInterdigitTimeoutChange(QObject *Sender);
    void vqseInterdigitTimeoutExit(QObject *Sender);
    void chbLYN2RegWithBcpProxyClick(QObject *Sender);
    void chbLYN2EnableDHCPClick(QObject *Sender);
    void rbLYN2TFTPServerClick(QObject *Sender);
    void chbLYN2EnableVLANClick(QObject *Sender);
    void vqimLYN2SubnetMaskChange(QObject *Sender);
    void vqipLYN2GatewayChange(QObject *Sender);
    void vqipLYN2DNSChange(QObject *Sender);
    void vqipLYN2NTPChange(QObject *Sender);
    void vqipLYN2TFTPServerChange(QObject *Sender);
};
