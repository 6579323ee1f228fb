#include "ListVerdicts.h"

#include <set>

// Holds the verdicts that want attention and flags their devices.
class TListVerdicts::TKeeper : public TVerdictSink {
public:
    explicit TKeeper(TListVerdicts &Verdicts, TVerdictSink *Also = nullptr) : FVerdicts(Verdicts), FAlso(Also) {}
    void Profile(const TVerdict &Verdict) override {
        if (Verdict.Level != clvNone)
            FVerdicts.FProfiles.insert(Verdict.ID, Verdict);
        if (FAlso)
            FAlso->Profile(Verdict);
    }
    void Device(const TVerdict &Verdict) override {
        if (Verdict.Level != clvNone) {
            FVerdicts.FDevices.insert(Verdict.ID, Verdict);
            FVerdicts.FDatabase.SetFlagged(Verdict.ID, true);
        }
        if (FAlso)
            FAlso->Device(Verdict);
    }

private:
    TListVerdicts &FVerdicts;
    TVerdictSink *FAlso;
};

TListVerdicts::TListVerdicts(TConfigDatabase &Database, IDevicePluginModule &Module)
    : FDatabase(Database), FModule(Module) {}

void TListVerdicts::JudgeSite(TVerdictSink *Also) {
    FProfiles.clear();
    FDevices.clear();
    FDatabase.ClearFlagged();
    TKeeper keeper(*this, Also);
    ValidateSite(FDatabase, FModule, keeper);
}

void TListVerdicts::Judge(const std::vector<int64_t> &ProfileIDs, const std::vector<int64_t> &DeviceIDs) {
    for (const int64_t id : ProfileIDs)
        FProfiles.remove(id);
    for (const int64_t id : DeviceIDs) {
        FDevices.remove(id);
        FDatabase.SetFlagged(id, false);
    }
    TKeeper keeper(*this);
    ValidateRecords(FDatabase, FModule, ProfileIDs, DeviceIDs, keeper);
}

std::vector<int64_t> TListVerdicts::DevicesChanged(const std::vector<TDeviceRecord> &Before,
                                                   const std::vector<int64_t> &IDs) {
    std::set<int64_t> touched(IDs.begin(), IDs.end());
    std::vector<TDeviceRecord> keys = Before;
    for (const int64_t id : IDs)
        if (const std::optional<TDeviceRecord> d = FDatabase.LoadDevice(id))
            keys.push_back(*d);
    for (const TDeviceRecord &k : keys) {
        for (const TDeviceRecord &o : FDatabase.DevicesWith("UniqueID", k.UniqueID))
            touched.insert(o.DeviceID);
        if (k.MacAddress != EmptyMACAddress)
            for (const TDeviceRecord &o : FDatabase.DevicesWith("MacAddress", MACToText(k.MacAddress)))
                touched.insert(o.DeviceID);
    }
    const std::vector<int64_t> devices(touched.begin(), touched.end());
    Judge({}, devices);
    return devices;
}

std::vector<int64_t> TListVerdicts::ProfileChanged(int64_t ProfileID) {
    std::vector<int64_t> devices;
    FDatabase.ForEachDeviceOf(ProfileID, [&](const TDeviceRecord &d) { devices.push_back(d.DeviceID); });
    Judge({ProfileID}, devices);
    return devices;
}

std::size_t TListVerdicts::Count(TConflictLevel Level) const {
    const auto count = [&](const QHash<int64_t, TVerdict> &Verdicts) {
        return std::size_t(std::count_if(Verdicts.begin(), Verdicts.end(),
                                         [&](const TVerdict &v) { return v.Level == Level; }));
    };
    return count(FProfiles) + count(FDevices);
}
