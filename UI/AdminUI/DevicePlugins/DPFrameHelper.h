#pragma once
// TFrameHelper: the one way the frames' IP address and subnet mask controls
// reach their proxy fields. While the user types, an incomplete or (where not
// allowed) empty entry is a warning-level input error attached to the control;
// the value is stored whatever its state, so the proxy's own checks see what
// the control holds. A frame gets the helper by naming TFrameHelper as its
// GetHelperClass, and calls the form that matches the field from the control's
// change event (and, for a subnet mask, from its exit event too).

#include "DPFrame.h"

class TCustomVQIPAddress;
class TCustomVQIPMask;
struct TIPAddressRec;

class TFrameHelper : public TBasicFrameHelper {
public:
    static const TBasicFrameHelperClass &Class();
    const TBasicFrameHelperClass &ClassType() const override { return Class(); }
    using TBasicFrameHelper::TBasicFrameHelper;

    // Whether the entry is valid, an empty one only with AllowNull; records or
    // clears the control's input error: "<SettingName> is empty" or
    // "<SettingName> is incomplete".
    bool ProcessIPCheck(TCustomVQIPAddress *vqipAddr, const QString &SettingName, bool AllowNull);
    bool ProcessIPCheck(TCustomVQIPMask *vqimMask, const QString &SettingName, bool AllowNull);

    // Outside silent mode: the input check, then the control's value in the
    // field's form stored when it differs (and the object is modified);
    // otherwise the object is only re-validated.
    void vqipAddrChange(TCustomVQIPAddress *vqipAddr, TIPAddressRec &AddrField, const QString &SettingName,
                        bool AllowNull);
    void vqipAddrChange(TCustomVQIPAddress *vqipAddr, TdpURIString &AddrField, const QString &SettingName,
                        bool AllowNull);
    void vqipAddrChange(TCustomVQIPAddress *vqipAddr, uint32_t &AddrField, const QString &SettingName, bool AllowNull);
    // The mask as an IPv4 record, as dotted decimal text, or as the number.
    void vqimMaskChange(TCustomVQIPMask *vqimMask, TIPAddressRec &MaskField, const QString &SettingName,
                        bool AllowNull);
    void vqimMaskChange(TCustomVQIPMask *vqimMask, TdpURIString &MaskField, const QString &SettingName,
                        bool AllowNull);
    void vqimMaskChange(TCustomVQIPMask *vqimMask, uint32_t &MaskField, const QString &SettingName, bool AllowNull);
    // The mask's prefix length.
    void vqimMaskChange_NML(TCustomVQIPMask *vqimMask, int32_t &MaskNMLField, const QString &SettingName,
                            bool AllowNull);

private:
    template <class Control, class Field>
    void Change(Control *AControl, Field &AField, const Field &Value, const QString &SettingName, bool AllowNull);
};
