#include "ListVerdicts.h"

namespace {

// Stale devices judged at a time: the deadline is looked at between batches.
constexpr int JudgeBatch = 256;

} // namespace

// Keeps the verdicts it is given, or holds them when the database cannot.
class TListVerdicts::TKeeper : public TVerdictSink {
public:
    explicit TKeeper(TListVerdicts &Verdicts, TVerdictSink *Also = nullptr) : FVerdicts(Verdicts), FAlso(Also) {}
    void Profile(const TVerdict &Verdict) override {
        if (FVerdicts.FReadOnly)
            FVerdicts.FProfiles.insert(Verdict.ID, Verdict);
        else
            FVerdicts.FDatabase.KeepProfileVerdict(Verdict);
        if (FAlso)
            FAlso->Profile(Verdict);
    }
    void Device(const TVerdict &Verdict) override {
        if (FVerdicts.FReadOnly)
            FVerdicts.FDevices.insert(Verdict.ID, Verdict);
        else
            FVerdicts.FDatabase.KeepDeviceVerdict(Verdict);
        if (FAlso)
            FAlso->Device(Verdict);
    }

private:
    TListVerdicts &FVerdicts;
    TVerdictSink *FAlso;
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

TConfigDatabase::TTransaction::TLock TListVerdicts::KeepingLock() const {
    // Judging keeps what it read: with the write lock first, another session's
    // write is waited for. (A read lock cannot wait to become a write lock:
    // SQLite refuses it at once while another holds one, as waiting could
    // deadlock.)
    return FReadOnly ? TConfigDatabase::TTransaction::TLock::OnFirstWrite : TConfigDatabase::TTransaction::TLock::Now;
}

bool TListVerdicts::JudgeStale(const QDeadlineTimer &Deadline, TJudged &Judged) {
    TConfigDatabase::TTransaction t(FDatabase, KeepingLock());
    TKeeper keeper(*this);
    if (!FProfilesJudged) {
        const std::vector<int64_t> profiles = FDatabase.StaleProfiles(FEverything);
        ValidateRecords(FDatabase, FModule, profiles, {}, keeper);
        Judged.Profiles.insert(Judged.Profiles.end(), profiles.begin(), profiles.end());
        FProfilesJudged = true;
    }
    bool more = true;
    while (more && !Deadline.hasExpired()) {
        const std::vector<int64_t> devices = FDatabase.StaleDevices(FAfter, JudgeBatch, FEverything);
        ValidateRecords(FDatabase, FModule, {}, devices, keeper);
        Judged.Devices.insert(Judged.Devices.end(), devices.begin(), devices.end());
        more = devices.size() == JudgeBatch;
        if (!devices.empty())
            FAfter = devices.back();
    }
    t.Commit();
    if (!more)
        FEverything = false; // all held now
    return more;
}

void TListVerdicts::JudgeSite(TVerdictSink *Also) {
    TConfigDatabase::TTransaction t(FDatabase, KeepingLock());
    TKeeper keeper(*this, Also);
    ValidateSite(FDatabase, FModule, keeper);
    t.Commit();
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
