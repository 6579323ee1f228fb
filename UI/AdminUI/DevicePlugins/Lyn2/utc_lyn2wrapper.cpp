#include "utc_lyn2wrapper.h"

namespace {

// The profile's setting names in table order, with the frame's control for each.
constexpr TUTCSetting ProfileSettings[] = {
    {"SoftwareVers", "edLYN2SWVersion", uckEdit},
    {"Country", "cbLYN2Country", uckCombo},
    {"TimeZone", "cbLYN2TimeZone", uckCombo},
    {"AdjustSavings", "chbLYN2DaylightAdjust", uckCheckBox},
    {"AllowG729", "chbLYN2AllowG729", uckCheckBox},
    {"G729Silence", "chbLYN2G729SilentSuppr", uckCheckBox},
    {"RingTone", "vqseLYN2RingTone", uckSpinEdit},
    {"EnablePaging", "chbLYN2EnablePaging", uckCheckBox},
    {"Dialing", "vqseInterdigitTimeout", uckSpinEdit},
    {"SendSyslog", "chbSyslogIfNotRegistered", uckCheckBox},
    {"AllowLocation", "chbAllowLocationSpecOnPhone", uckCheckBox},
    {"ProxySource", "cbLYN2ProxySource", uckCombo},
    {"ProxyAddress", "edLYN2ProxyAddress", uckEdit},
    {"ProxyPort", "vqseLYN2ProxyPort", uckSpinEdit},
    {"TransportProtocol", "cbLYN2TransportProtocol", uckCombo},
    {"ReceivePort", "vqseLYN2ReceivePort", uckSpinEdit},
    {"rbRegisterBackup", "chbLYN2RegWithBcpProxy", uckCheckBox},
    {"BackupProxy", "edLYN2BcpProxy", uckEdit},
    {"BackupProxyPort", "vqseLYN2BcpProxyPort", uckSpinEdit},
    {"InviteRetransmiss", "vqseLYN2InviteRetrans", uckSpinEdit},
    {"NonInviteRetransmiss", "vqseLYN2NonInviteRetrans", uckSpinEdit},
    {"DHCP", "chbLYN2EnableDHCP", uckCheckBox},
    {"SubnetMask", "vqimLYN2SubnetMask", uckSubnetMask},
    {"DefGateway", "vqipLYN2Gateway", uckIPAddress},
    {"DNS", "vqipLYN2DNS", uckIPAddress},
    {"Domain", "edLYN2Domain", uckEdit},
    {"NTPServer", "vqipLYN2NTP", uckIPAddress},
    {"rbObtain", "rbLYN2FromDHCP_TFTPServer", uckRadioButton},
    {"rbTFTP", "rbLYN2FixedTFTPServer", uckRadioButton},
    {"EditTFTP", "vqipLYN2TFTPServer", uckIPAddress},
    {"CallSignalling", "vqseLYN2Cal_Sig_DSCP", uckSpinEdit},
    {"RTP", "vqseLYN2RTP_DSCP", uckSpinEdit},
    {"VLANSupport", "chbLYN2EnableVLAN", uckCheckBox},
    {"VLANtag", "vqseLYN2VLANTag", uckSpinEdit},
    {"PriorityTag", "vqseLYN2PriorityTag", uckSpinEdit},
    {"CallVLANtag", "vqseLYN2CallSigVLANTag", uckSpinEdit},
    {"CallPriorityTag", "vqseLYN2CallSigPriorityTag", uckSpinEdit},
    {"RTPVLANtag", "vqseLYN2RTPVLANTag", uckSpinEdit},
    {"RTPPriorityTag", "vqseLYN2RTPPriorityTag", uckSpinEdit},
};
static_assert(std::size(ProfileSettings) == 39);

// The profile frame's pages by the names the automation gives them.
constexpr struct {
    const char *Name;
    const char *Page;
} ProfilePages[] = {{"General", "tshGeneral"}, {"SIP", "tshSIP"}, {"IP", "tshIP"}, {"VLAN", "tshVLAN"}};

// The device's setting names in table order, with the frame's control for each.
constexpr TUTCSetting DeviceSettings[] = {
    {"DeviceID", "edUniqueID", uckEdit},
    {"MAC", "edMACAddress", uckEdit},
    {"IP", "vqipIP", uckIPAddress},
    {"Password", "edProxyPassword", uckEdit},
    {"Profile2", "cbProfile", uckCombo},
    {"UseMACAsID", "cbIDLinkedToMAC", uckCheckBox},
};

} // namespace

const TUTCFormWrapperClass &TUTCLYN2ProfileWrapper::Class() {
    static const TUTCFormWrapperClassOf<TUTCLYN2ProfileWrapper> cls("TUTCLYN2ProfileWrapper", &TUTCFormWrapper::Class());
    return cls;
}

TUTCLYN2ProfileWrapper::TUTCLYN2ProfileWrapper(QWidget *aForm) : FForm(dynamic_cast<TLyn2ProfileFrame *>(aForm)) {
    if (!FForm)
        throw EInvalidCast();
}

HWND TUTCLYN2ProfileWrapper::UTCCommand() {
    const QString name = Name();
    for (const auto &page : ProfilePages)
        if (name == QLatin1String(page.Name))
            return HWND(ChangeTab(FForm->findChild<TPageControl *>(QStringLiteral("pcSettings")),
                                  FForm->findChild<TTabSheet *>(QLatin1String(page.Page))));
    return HWND(-1);
}

bool TUTCLYN2ProfileWrapper::UTCSet() { return SetSetting(FForm, ProfileSettings); }

const TUTCFormWrapperClass &TUTCLYN2DeviceWrapper::Class() {
    static const TUTCFormWrapperClassOf<TUTCLYN2DeviceWrapper> cls("TUTCLYN2DeviceWrapper", &TUTCFormWrapper::Class());
    return cls;
}

TUTCLYN2DeviceWrapper::TUTCLYN2DeviceWrapper(QWidget *aForm) : FForm(dynamic_cast<TLyn2DeviceFrame *>(aForm)) {
    if (!FForm)
        throw EInvalidCast();
}

bool TUTCLYN2DeviceWrapper::UTCSet() { return SetSetting(FForm, DeviceSettings); }

void RegisterLyn2ProfileWrapper() {
    if (TUTCWrapperManager *manager = UTCWrapperManager())
        manager->RegisterWrapper(&TLyn2ProfileFrame::Class(), &TUTCLYN2ProfileWrapper::Class());
}

void RegisterLyn2DeviceWrapper() {
    if (TUTCWrapperManager *manager = UTCWrapperManager())
        manager->RegisterWrapper(&TLyn2DeviceFrame::Class(), &TUTCLYN2DeviceWrapper::Class());
}
