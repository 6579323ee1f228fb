#pragma once
// The automation wrappers of the LYN 2 profile and device frames: they set
// the frames' fields by logical names, as a user would type or click them,
// and the profile wrapper opens the profile frame's pages by name. The frames
// are no forms, so the inherited form commands answer not handled.

#include "Lyn2_DeviceFrame.h"
#include "Lyn2_ProfileFrame.h"
#include "UTCFormWrapper.h"

class TUTCLYN2ProfileWrapper : public TUTCFormWrapper {
public:
    static const TUTCFormWrapperClass &Class();
    // Raises EInvalidCast when aForm is not a LYN 2 profile frame.
    explicit TUTCLYN2ProfileWrapper(QWidget *aForm);

    // "General", "SIP", "IP", "VLAN": opens the page as a user's tab click
    // does; the status of the change, -1 for any other name.
    HWND UTCCommand() override;
    // The profile's 39 setting names, set to p2.
    bool UTCSet() override;

protected:
    TLyn2ProfileFrame *FForm;
};

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

// Bind the frame classes to their wrappers with the host's wrapper manager,
// when the host has one.
void RegisterLyn2ProfileWrapper();
void RegisterLyn2DeviceWrapper();
