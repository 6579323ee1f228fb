#pragma once
// Validating a whole site through the plug-in's module, plus what only the
// host can see: two devices sharing a device ID or a MAC address.

#include "ConfigDatabase.h"

// The finding for one profile or device.
struct TVerdict {
    QString Object;                 // the profile's name or the device's ID
    std::optional<QString> Profile; // a device's profile name; none for a profile or a device without one
    TConflictLevel Level = clvNone;
    QString Message;
};

struct TValidationReport {
    std::vector<TVerdict> Profiles; // in ProfileID order
    std::vector<TVerdict> Devices;  // by profile in ProfileID order, then those without one; DeviceID order within
    bool HasErrors() const;
};

// Every profile through ValidateProfile; every device with its prepared
// profile, or through the plain ValidateDevice when it has none. A module
// operation that raises counts as an error of that object, carrying the
// exception's message. Raises EDatabase.
TValidationReport ValidateSite(TConfigDatabase &Database, IDevicePluginModule &Module);

// One line per object, `profile "NAME": LEVEL: MESSAGE` or
// `device "ID": LEVEL: MESSAGE` (LEVEL ok, warning or error; no ": MESSAGE"
// when the message is empty), then the count.
QString ReportText(const TValidationReport &Report);
// {"profiles":[{"name","level","message"}...],"devices":[{"id","profile","level","message"}...]}
// on one line; level none, warning or error; a device without a profile has profile null.
QString ReportJson(const TValidationReport &Report);
