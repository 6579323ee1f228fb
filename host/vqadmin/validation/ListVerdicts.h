#pragma once
// The verdicts the main window's lists show, asked for by record, so that
// where they come from is decided here alone. The plug-in judges the whole
// site when the lists open or a site comes in; after a change only the
// records it touched: the changed devices with those that share, or shared,
// a device ID or MAC address with them, and a changed profile with its
// devices. Only verdicts other than "ok" are held, and their devices are
// flagged in the database for the list that shows only those.

#include "SiteValidation.h"

#include <QHash>

class TListVerdicts {
public:
    TListVerdicts(TConfigDatabase &Database, IDevicePluginModule &Module);

    // These raise EDatabase.
    // Every verdict goes to Also too, when given.
    void JudgeSite(TVerdictSink *Also = nullptr);
    // Devices as they were before the change (none for new ones) and the IDs
    // of those it stored or deleted; the devices judged again.
    std::vector<int64_t> DevicesChanged(const std::vector<TDeviceRecord> &Before, const std::vector<int64_t> &IDs);
    // A profile stored or deleted: the devices judged again with it.
    std::vector<int64_t> ProfileChanged(int64_t ProfileID);

    TVerdict Profile(int64_t ProfileID) const { return FProfiles.value(ProfileID); }
    TVerdict Device(int64_t DeviceID) const { return FDevices.value(DeviceID); }
    // How many profiles and devices have a verdict of that level.
    std::size_t Count(TConflictLevel Level) const;

private:
    class TKeeper;
    void Judge(const std::vector<int64_t> &ProfileIDs, const std::vector<int64_t> &DeviceIDs);

    TConfigDatabase &FDatabase;
    IDevicePluginModule &FModule;
    QHash<int64_t, TVerdict> FProfiles, FDevices;
};
