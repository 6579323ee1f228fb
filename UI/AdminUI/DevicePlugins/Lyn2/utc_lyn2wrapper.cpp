#include "utc_lyn2wrapper.h"

namespace {

// The setting names in table order, with the frame's control for each.
constexpr TUTCSetting Settings[] = {
    {"DeviceID", "edUniqueID", uckEdit},
    {"MAC", "edMACAddress", uckEdit},
    {"IP", "vqipIP", uckIPAddress},
    {"Password", "edProxyPassword", uckEdit},
    {"Profile2", "cbProfile", uckCombo},
    {"UseMACAsID", "cbIDLinkedToMAC", uckCheckBox},
};

} // namespace

const TUTCFormWrapperClass &TUTCLYN2DeviceWrapper::Class() {
    static const TUTCFormWrapperClassOf<TUTCLYN2DeviceWrapper> cls("TUTCLYN2DeviceWrapper", &TUTCFormWrapper::Class());
    return cls;
}

TUTCLYN2DeviceWrapper::TUTCLYN2DeviceWrapper(QWidget *aForm) : FForm(dynamic_cast<TLyn2DeviceFrame *>(aForm)) {
    if (!FForm)
        throw EInvalidCast();
}

bool TUTCLYN2DeviceWrapper::UTCSet() { return SetSetting(FForm, Settings); }

void RegisterLyn2DeviceWrapper() {
    if (TUTCWrapperManager *manager = UTCWrapperManager())
        manager->RegisterWrapper(&TLyn2DeviceFrame::Class(), &TUTCLYN2DeviceWrapper::Class());
}
