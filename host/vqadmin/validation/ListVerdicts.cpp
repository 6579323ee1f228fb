#include "ListVerdicts.h"

namespace {

// Stale devices judged at a time: the deadline is looked at between batches.
constexpr int JudgeBatch = 256;

} // namespace

// Gathers the verdicts it is given for the database to keep, or holds them
// here where they are not to be kept.
class TListVerdicts::TKeeper : public TVerdictSink {
public:
    TKeeper(TListVerdicts &Verdicts, bool Hold, TVerdictSink *Also = nullptr)
        : FVerdicts(Verdicts), FHold(Hold), FAlso(Also) {}
    void Profile(const TVerdict &Verdict) override {
        if (FHold)
            FVerdicts.FProfiles.insert(Verdict.ID, Verdict);
        else
            FProfiles.push_back(Verdict);
        if (FAlso)
            FAlso->Profile(Verdict);
    }
    void Device(const TVerdict &Verdict) override {
        if (FHold)
            FVerdicts.FDevices.insert(Verdict.ID, Verdict);
        else
            FDevices.push_back(Verdict);
        if (FAlso)
            FAlso->Device(Verdict);
    }
    bool Empty() const { return FProfiles.empty() && FDevices.empty(); }
    // Keeps what it gathered, in the caller's transaction.
    void Keep() {
        for (const TVerdict &v : FProfiles)
            FVerdicts.FDatabase.KeepProfileVerdict(v);
        FVerdicts.FDatabase.KeepDeviceVerdicts(FDevices);
        FProfiles.clear();
        FDevices.clear();
    }

private:
    TListVerdicts &FVerdicts;
    bool FHold;
    TVerdictSink *FAlso;
    std::vector<TVerdict> FProfiles, FDevices; // to be kept
};

TListVerdicts::TListVerdicts(TConfigDatabase &Database, IDevicePluginModule &Module, QString Basis)
    : FDatabase(Database), FModule(Module), FBasis(std::move(Basis)), FReadOnly(Database.ReadOnly()) {}

void TListVerdicts::Start() {
    if (FDatabase.VerdictBasis() != FBasis) {
        if (FReadOnly)
            FEverything = true;
        else
            FDatabase.SetVerdictBasis(FBasis);
    }
    Rewind();
}

void TListVerdicts::MarkAllStale() {
    if (FReadOnly)
        FEverything = true;
    else
        FDatabase.MarkAllStale();
    Rewind();
}

void TListVerdicts::Rewind() {
    FProfilesJudged = false;
    FAfter = 0;
}

int64_t TListVerdicts::CountStale(int64_t UpTo) {
    if (FEverything)
        return FDatabase.CountProfiles() + FDatabase.CountDevices();
    return FDatabase.CountStale(UpTo);
}

bool TListVerdicts::JudgeStale(const QDeadlineTimer &Deadline, TJudged &Judged) {
    const bool profilesJudged = FProfilesJudged;
    const int64_t after = FAfter;
    TKeeper keeper(*this, FReadOnly);
    TJudged slice;
    int64_t seen = 0;
    bool more = false;
    {
        TConfigDatabase::TTransaction snapshot(FDatabase, TConfigDatabase::TTransaction::TLock::Never);
        seen = FDatabase.LastChange();
        more = Judge(Deadline, keeper, slice);
        snapshot.Commit();
    }
    if (!Keep(seen, keeper)) {
        FProfilesJudged = profilesJudged;
        FAfter = after;
        return true;
    }
    Judged.Profiles.insert(Judged.Profiles.end(), slice.Profiles.begin(), slice.Profiles.end());
    Judged.Devices.insert(Judged.Devices.end(), slice.Devices.begin(), slice.Devices.end());
    if (!more)
        FEverything = false; // all held now
    return more;
}

void TListVerdicts::HoldStale() {
    Rewind();
    TKeeper keeper(*this, true);
    TJudged judged;
    Judge(QDeadlineTimer::Forever, keeper, judged);
    FEverything = false;
}

bool TListVerdicts::Judge(const QDeadlineTimer &Deadline, TKeeper &Keeper, TJudged &Judged) {
    if (!FProfilesJudged) {
        const std::vector<int64_t> profiles = FDatabase.StaleProfiles(FEverything);
        ValidateRecords(FDatabase, FModule, profiles, {}, Keeper);
        Judged.Profiles.insert(Judged.Profiles.end(), profiles.begin(), profiles.end());
        FProfilesJudged = true;
    }
    bool more = true;
    while (more && !Deadline.hasExpired()) {
        const std::vector<TDeviceRecord> devices = FDatabase.StaleDevices(FAfter, JudgeBatch, FEverything);
        ValidateRecords(FDatabase, FModule, {}, devices, Keeper);
        for (const TDeviceRecord &d : devices)
            Judged.Devices.push_back(d.DeviceID);
        more = devices.size() == JudgeBatch;
        if (!devices.empty())
            FAfter = devices.back().DeviceID;
    }
    return more;
}

// A write that changed what a verdict was made from (a profile, the system
// values, a device sharing a key) leaves no trace on a record that is stale
// already, nor does its revision change: so any change logged since the
// snapshot drops the slice, to be judged again.
bool TListVerdicts::Keep(int64_t Seen, TKeeper &Keeper) {
    if (Keeper.Empty())
        return true;
    TConfigDatabase::TTransaction t(FDatabase, TConfigDatabase::TTransaction::TLock::Now);
    if (FDatabase.LastChange() != Seen || FDatabase.VerdictBasis() != FBasis)
        return false;
    Keeper.Keep();
    t.Commit();
    return true;
}

void TListVerdicts::JudgeSite(TVerdictSink *Also) {
    TKeeper keeper(*this, FReadOnly, Also);
    int64_t seen = 0;
    {
        TConfigDatabase::TTransaction snapshot(FDatabase, TConfigDatabase::TTransaction::TLock::Never);
        seen = FDatabase.LastChange();
        ValidateSite(FDatabase, FModule, keeper);
        snapshot.Commit();
    }
    Keep(seen, keeper); // else none: what changed is stale, to be judged again
    FEverything = false;
    Rewind();
}

// The kept verdicts go to the writer as the database gives them, the held ones in their place.
void TListVerdicts::Report(TReportWriter &Writer) {
    FDatabase.ForEachKeptVerdict(
        [&](const TKeptVerdict &v) {
            const auto held = FProfiles.constFind(v.ID);
            held == FProfiles.cend() ? Writer.Profile(v) : Writer.Profile(*held);
        },
        [&](const TKeptVerdict &v) {
            const auto held = FDevices.constFind(v.ID);
            held == FDevices.cend() ? Writer.Device(v) : Writer.Device(*held);
        });
}
