#include "DPFrameHelper.h"

#include "DPProxies.h"
#include "IPDomainUtils.h"
#include "VQIPAddress.h"

namespace {

template <class Control>
bool CheckEntry(TPluginFrame &Frame, Control *AControl, const QString &SettingName, bool AllowNull) {
    const bool valid = AControl->IsValidText(AllowNull);
    QString message;
    if (!valid)
        message = !AllowNull && AControl->IsValidText(true) ? EmptyMessage(SettingName) : IncompleteMessage(SettingName);
    Frame.ProcessInputError(!valid, AControl, message, dclWarning);
    return valid;
}

} // namespace

const TBasicFrameHelperClass &TFrameHelper::Class() {
    static const TBasicFrameHelperClassOf<TFrameHelper> cls("TFrameHelper", &TBasicFrameHelper::Class());
    return cls;
}

bool TFrameHelper::ProcessIPCheck(TCustomVQIPAddress *vqipAddr, const QString &SettingName, bool AllowNull) {
    return CheckEntry(*Frame(), vqipAddr, SettingName, AllowNull);
}

bool TFrameHelper::ProcessIPCheck(TCustomVQIPMask *vqimMask, const QString &SettingName, bool AllowNull) {
    return CheckEntry(*Frame(), vqimMask, SettingName, AllowNull);
}

template <class Control, class Field>
void TFrameHelper::Change(Control *AControl, Field &AField, const Field &Value, const QString &SettingName,
                          bool AllowNull) {
    TPluginFrame &frame = *Frame();
    ProcessIPCheck(AControl, SettingName, AllowNull);
    // An unchanged value still re-validates, so that a changed input error shows.
    if (Value == AField) {
        frame.Validate();
        return;
    }
    AField = Value;
    frame.ValidateSetModified();
}

void TFrameHelper::vqipAddrChange(TCustomVQIPAddress *vqipAddr, TIPAddressRec &AddrField, const QString &SettingName,
                                  bool AllowNull) {
    if (!Frame()->SilentMode())
        Change(vqipAddr, AddrField, vqipAddr->IPRec(), SettingName, AllowNull);
}

void TFrameHelper::vqipAddrChange(TCustomVQIPAddress *vqipAddr, TdpURIString &AddrField, const QString &SettingName,
                                  bool AllowNull) {
    if (!Frame()->SilentMode())
        Change(vqipAddr, AddrField, TdpURIString::From(vqipAddr->Text()), SettingName, AllowNull);
}

void TFrameHelper::vqipAddrChange(TCustomVQIPAddress *vqipAddr, uint32_t &AddrField, const QString &SettingName,
                                  bool AllowNull) {
    if (!Frame()->SilentMode())
        Change(vqipAddr, AddrField, vqipAddr->IPv4(), SettingName, AllowNull);
}

void TFrameHelper::vqimMaskChange(TCustomVQIPMask *vqimMask, TIPAddressRec &MaskField, const QString &SettingName,
                                  bool AllowNull) {
    if (!Frame()->SilentMode())
        Change(vqimMask, MaskField, IPRecFromIPv4(vqimMask->Mask()), SettingName, AllowNull);
}

void TFrameHelper::vqimMaskChange(TCustomVQIPMask *vqimMask, TdpURIString &MaskField, const QString &SettingName,
                                  bool AllowNull) {
    if (!Frame()->SilentMode())
        Change(vqimMask, MaskField, TdpURIString::From(IPToStr(vqimMask->Mask())), SettingName, AllowNull);
}

void TFrameHelper::vqimMaskChange(TCustomVQIPMask *vqimMask, uint32_t &MaskField, const QString &SettingName,
                                  bool AllowNull) {
    if (!Frame()->SilentMode())
        Change(vqimMask, MaskField, vqimMask->Mask(), SettingName, AllowNull);
}

void TFrameHelper::vqimMaskChange_NML(TCustomVQIPMask *vqimMask, int32_t &MaskNMLField, const QString &SettingName,
                                      bool AllowNull) {
    if (!Frame()->SilentMode())
        Change(vqimMask, MaskNMLField, int32_t(vqimMask->NML()), SettingName, AllowNull);
}
