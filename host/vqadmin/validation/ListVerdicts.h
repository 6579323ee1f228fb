#pragma once
// The plug-in's verdicts as the database keeps them with the records, brought
// up to date by judging the stale records alone: those a write changed (the
// database marks them, see TConfigDatabase), or all of them when the verdicts
// were made by another plug-in or host. Records are judged in a read
// snapshot, which keeps no writer waiting, and their verdicts kept after it
// in a short write, unless the site changed meanwhile; a read-only database
// keeps none, so they are held here instead, in the place of the kept ones.

#include "SiteValidation.h"

#include <QDeadlineTimer>
#include <QHash>

class TListVerdicts {
public:
    // Basis names what the verdicts are made by (ModuleBasis).
    TListVerdicts(TConfigDatabase &Database, IDevicePluginModule &Module, QString Basis);

    // These raise EDatabase.
    // Verdicts of another basis become stale. Judging begins with the first stale record.
    void Start();
    // Every verdict stale, to be judged again.
    void MarkAllStale();
    // Judging begins again with the first stale record.
    void Rewind();
    // How many records wait, counting stops at UpTo.
    int64_t CountStale(int64_t UpTo = -1);

    struct TJudged {
        std::vector<int64_t> Profiles, Devices;
    };
    // Judges the stale profiles, then the stale devices in ID order, a batch
    // at a time, until Deadline or the last, in one snapshot; outside a
    // transaction. What it kept (or held) is added to Judged; a slice the site
    // changed under is judged again by the next call. False when none are left.
    bool JudgeStale(const QDeadlineTimer &Deadline, TJudged &Judged);
    // Judges every stale record and holds its verdict for Report, keeping
    // none: in the caller's transaction, which Report then reads too.
    void HoldStale();
    // Judges everything afresh in one snapshot, as the validate command does,
    // keeping every verdict unless the site changed meanwhile; every verdict
    // goes to Also too, when given.
    void JudgeSite(TVerdictSink *Also = nullptr);
    // The report of the validate command from the verdicts kept and held.
    void Report(TReportWriter &Writer);

    // The verdict to show for a row: the one held, else the kept one.
    TVerdict Profile(const TVerdict &Kept) const { return FProfiles.value(Kept.ID, Kept); }
    TVerdict Device(const TVerdict &Kept) const { return FDevices.value(Kept.ID, Kept); }

private:
    class TKeeper;

    // JudgeStale's judging, into the keeper.
    bool Judge(const QDeadlineTimer &Deadline, TKeeper &Keeper, TJudged &Judged);
    // Keeps the verdicts judged in the snapshot whose last change was Seen, if
    // it still is and the basis is still this one; false, keeping none, otherwise.
    bool Keep(int64_t Seen, TKeeper &Keeper);

    TConfigDatabase &FDatabase;
    IDevicePluginModule &FModule;
    QString FBasis;
    bool FReadOnly;
    bool FEverything = false; // on a read-only database: every record is stale
    bool FProfilesJudged = false;
    int64_t FAfter = 0; // the last device judged
    QHash<int64_t, TVerdict> FProfiles, FDevices; // held, on a read-only database
};
