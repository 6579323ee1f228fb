#pragma once
// The automation wrapper of the LYN 2 device frame: sets the frame's fields
// by logical names, as a user would type or click them. The frame is no form,
// so the inherited form commands answer not handled.

#include "Lyn2_DeviceFrame.h"
#include "UTCFormWrapper.h"

class TUTCLYN2DeviceWrapper : public TUTCFormWrapper {
public:
    static const TUTCFormWrapperClass &Class();
    // Raises EInvalidCast when aForm is not a LYN 2 device frame.
    explicit TUTCLYN2DeviceWrapper(QWidget *aForm);

    // "DeviceID", "MAC", "IP", "Password", "Profile2", "UseMACAsID", set to p2.
    bool UTCSet() override;

protected:
    TLyn2DeviceFrame *FForm;
};

// Binds the device frame class to the wrapper with the host's wrapper manager,
// when the host has one.
void RegisterLyn2DeviceWrapper();
