#pragma once
// The phone system's configuration in one SQLite file, or in a database on a
// PostgreSQL server: the system values, the profiles with their options and
// the devices. A file is created with its schema on first use. Columns carry
// the field names of HostRecords, so the database can be read and changed
// with any SQLite or PostgreSQL tool; what such a tool leaves that does not
// hold together (an option or device of a profile that is not there, a value
// out of its range) is refused when read, naming its table and row. Another
// program's lock is waited for a while before giving up.

#include "DatabaseBackend.h"
#include "HostRecords.h"

#include <QHash>
#include <QSet>

#include <functional>

// The finding for one profile or device.
struct TVerdict {
    QString Object;                 // the profile's name or the device's ID
    std::optional<QString> Profile; // a device's profile name; none for a profile or a device without one
    TConflictLevel Level = clvNone;
    QString Message;
    int64_t ID = 0; // the profile's or device's database ID
};

// A verdict as the database keeps it, its texts in UTF-8 as they are read:
// valid only while the visit that is given it runs.
struct TKeptVerdict {
    QByteArrayView Object;
    std::optional<QByteArrayView> Profile;
    TConflictLevel Level = clvNone;
    QByteArrayView Message;
    int64_t ID = 0;
};

// A row of the window's device list as the database holds it, with the verdict kept with it.
struct TDeviceListRow {
    int64_t DeviceID = 0;
    int64_t Revision = 0;
    int64_t ProfileID = 0; // 0 for none
    QString UniqueID, MAC, IP, Profile;
    TConflictLevel Level = clvNone;
    QString Message;
};

// A row of the window's profile list: the profile and how many devices use it.
struct TProfileListRow {
    int64_t ProfileID = 0;
    int64_t Revision = 0;
    QString Name;
    int64_t Devices = 0;
    TConflictLevel Level = clvNone;
    QString Message;
};

// The devices a list shows: with Text, those whose device ID, MAC address (in
// any of its text forms: 0001E1, 00-01-E1, 00:01:e1), LAN IP or profile name
// begins with it; with FlaggedOnly, only those marked flagged. Each is a
// range of an index. Flagged are the devices whose kept verdict is a warning or an error.
struct TDeviceFilter {
    QString Text;
    bool FlaggedOnly = false;
};

class TConfigDatabase {
public:
    enum class TOpenMode {
        Create,   // a missing file is created with the schema
        Existing, // a missing database is refused, and so is a file SQLite's quick check finds damaged
        // As Existing without the quick check, whose time grows with the file:
        // for callers that run it apart (another connection opened Existing)
        // or leave it to the commands that read everything. Only a file that
        // must be brought up to date is checked first.
        ExistingUnchecked,
    };
    // Path is an SQLite file, or a server's address (IsServerAddress). Raises EDatabase.
    explicit TConfigDatabase(const QString &Path, TOpenMode Mode = TOpenMode::Create);
    ~TConfigDatabase();
    TConfigDatabase(const TConfigDatabase &) = delete;
    TConfigDatabase &operator=(const TConfigDatabase &) = delete;

    const QString &Path() const { return FPath; }

    // All or nothing: rolled back unless committed. Transactions nest. One
    // that reads what it is about to write takes the write lock first, so
    // that no other session writes in between. One that only reads (Never)
    // reads one state of the site and, on a server, keeps no writer waiting.
    class TTransaction {
    public:
        enum class TLock { OnFirstWrite, Now, Never };
        explicit TTransaction(TConfigDatabase &Database, TLock Lock = TLock::OnFirstWrite);
        ~TTransaction();
        TTransaction(const TTransaction &) = delete;
        TTransaction &operator=(const TTransaction &) = delete;
        void Commit();

    private:
        TConfigDatabase &FDatabase;
        QByteArray FName;
        bool FBegun = false; // the lock taken at once, by a transaction of its own
        bool FDone = false;
    };

    TSystemValues LoadSystem();
    void SaveSystem(const TSystemValues &Values);

    // In ProfileID order, options in tag order.
    std::vector<TProfileRecord> LoadProfiles();
    std::optional<TProfileRecord> LoadProfile(int64_t ProfileID);
    // Inserts or updates the row and replaces its options, in one transaction.
    // Options with tag 0 are not stored; of two entries with one tag the first wins.
    void SaveProfile(const TProfileRecord &Profile);
    // Writes that refuse to overwrite what another session stored since the
    // record was read: false, writing nothing, when the row is no longer at
    // the record's revision (or is gone). A stored row's revision goes up by one.
    bool UpdateProfile(const TProfileRecord &Profile);
    // Removes the row with its options. Raises EDatabase while devices use the profile.
    bool DeleteProfile(int64_t ProfileID, int64_t Revision);
    // Stores a new profile under the ID after the highest one in use, taken
    // as it is stored; the record as stored.
    TProfileRecord InsertProfile(TProfileRecord Profile);
    int64_t CountDevicesOf(int64_t ProfileID);

    // In DeviceID order.
    std::vector<TDeviceRecord> LoadDevices();
    std::optional<TDeviceRecord> LoadDevice(int64_t DeviceID);
    // Inserts or updates the row.
    void SaveDevice(const TDeviceRecord &Device);
    // As UpdateProfile, DeleteProfile and InsertProfile.
    bool UpdateDevice(const TDeviceRecord &Device);
    bool DeleteDevice(int64_t DeviceID, int64_t Revision);
    TDeviceRecord InsertDevice(TDeviceRecord Device);
    bool HasDevice(int64_t DeviceID);

    // Every device in DeviceID order, read in batches so that memory stays
    // flat whatever the site's size; Visit may use the database.
    void ForEachDevice(const std::function<void(const TDeviceRecord &)> &Visit);
    // The same for the devices of one profile, or those of none for 0.
    void ForEachDeviceOf(int64_t ProfileID, const std::function<void(const TDeviceRecord &)> &Visit);
    int64_t CountDevices();
    // The devices whose Field (a column of DeviceFields) holds a value that
    // another device's holds too, Except aside; in DeviceID order.
    std::vector<TDeviceRecord> DevicesSharing(const char *Field, const QVariant &Except);
    // The devices whose Field holds Value, in DeviceID order.
    std::vector<TDeviceRecord> DevicesWith(const char *Field, const QVariant &Value);
    // Those of Values that more than one device's Field holds: index lookups,
    // no record read, in one statement.
    QSet<QString> SharedOf(const char *Field, const QStringList &Values);

    // The lists' rows, read a batch at a time in key order: up to Count after
    // the key After. One row is none when it is not there or not shown.
    std::vector<TDeviceListRow> DeviceListRows(const TDeviceFilter &Filter, int64_t After, int Count);
    std::optional<TDeviceListRow> DeviceListRow(const TDeviceFilter &Filter, int64_t DeviceID);
    // Counting stops at UpTo; -1 counts all.
    int64_t CountDeviceListRows(const TDeviceFilter &Filter, int64_t UpTo = -1);
    std::vector<TProfileListRow> ProfileListRows(int64_t After, int Count);
    std::optional<TProfileListRow> ProfileListRow(int64_t ProfileID);
    int64_t CountProfiles();

    // The plug-in's verdicts, kept with their records. Every write that changes
    // what one was made from marks it stale in the same transaction (triggers,
    // so that no writer, not even another tool, can forget): a device's own
    // columns; a profile's columns and options mark the profile and its
    // devices; the system values mark everything; a device ID or MAC address
    // coming, changing or going marks the devices that share it. New records
    // come stale. Stale rows are found by index.
    bool ReadOnly() const;
    // What the kept verdicts were made by (the plug-in and the host); empty when nothing is kept.
    QString VerdictBasis();
    // Marks every verdict stale, as made by Basis from now on.
    void SetVerdictBasis(const QString &Basis);
    void MarkAllStale();
    int64_t CountStale(int64_t UpTo = -1);
    // With Everything, all of them rather than the stale ones; devices a batch
    // at a time, up to Count after the key After.
    std::vector<int64_t> StaleProfiles(bool Everything = false);
    std::vector<TDeviceRecord> StaleDevices(int64_t After, int Count, bool Everything = false);
    // Keeps a verdict (its level and message) as no longer stale; the devices' a batch to a statement.
    void KeepProfileVerdict(const TVerdict &Verdict);
    void KeepDeviceVerdicts(const std::vector<TVerdict> &Verdicts);
    // How many profiles and devices have a kept verdict of that level.
    int64_t CountVerdicts(TConflictLevel Level);
    // The kept verdicts in a validation report's order: the profiles by ID;
    // the devices by profile, those without one last, and by ID. Visit must
    // not use the database.
    void ForEachKeptVerdict(const std::function<void(const TKeptVerdict &)> &Profile,
                            const std::function<void(const TKeptVerdict &)> &Device);
    // Raises EDatabase naming the first option or device row that refers to
    // a profile that is not there. Looks up each profile the devices refer
    // to, not each device.
    void CheckReferences();
    // Raises EDatabase naming the first row that does not hold together, of
    // those this host has not read since: the system values, the profiles and
    // their options, the references and the stale devices. A device whose
    // verdict is fresh was read when it was kept, and any write since would
    // have marked it stale. Every device is read when the kept verdicts were
    // made on another Basis than this host's (ModuleBasis).
    void CheckRows(const QString &Basis);

    TSite LoadSite();
    // Replaces everything the database holds with what Fill saves, in one
    // transaction: nothing changes when Fill raises. No revision read of the
    // rows replaced matches a new row's.
    void ReplaceSite(const std::function<void()> &Fill);
    void ReplaceSite(const TSite &Site);
    // Saving a site's devices in Fill, without holding them: adds a device
    // whose DeviceID no stored device has (false, adding nothing, when one
    // has); one with DeviceID 0 is set aside until NumberAddedDevices gives
    // each the next free ID, in the order they came.
    bool AddDevice(const TDeviceRecord &Device);
    void NumberAddedDevices();

    // The page the profile dialog showed last for profiles of a device type
    // (the frame's page path); empty when none is remembered. Not part of the
    // site: import and export leave it alone.
    QString LoadProfilePage(const QString &DeviceType);
    void SaveProfilePage(const QString &DeviceType, const QString &PagePath);

    // The smallest number n >= 1 such that no device ID is the prefix followed by n.
    int32_t FirstFreeStartNumber(const QString &Prefix);

    // What other sessions changed, for a window to follow them. Changes
    // counts the commits of other connections (cheap: it reads no row).
    int64_t Changes();
    // The profiles and devices written or deleted after the change numbered
    // After, and the number of the last change; Whole when the site was
    // replaced or the changes since After are no longer all kept.
    struct TChanged {
        int64_t Last = 0;
        bool Whole = false;
        std::vector<int64_t> Profiles, Devices;
    };
    TChanged ChangedAfter(int64_t After);
    int64_t LastChange();

private:
    class TStatement;
    friend class TStatement;

    void Execute(const QByteArray &Sql);
    // The row named as "table devices, row DeviceID 5".
    [[noreturn]] void Refuse(const QString &Row, const QString &Why) const;
    void CheckSchema(TOpenMode Mode);
    void CheckIntegrity();
    void CreateSchema();
    void CreateProfilePages();
    void SetSchemaVersion();
    void Migrate(int From);
    void CreateIndexes();
    void CreateChangeLog();
    // Notes that a profile ('p') or device ('d') row was written or deleted,
    // or that the whole site ('s') was replaced.
    void LogChange(char Kind, int64_t ID);
    void AddKeptVerdicts();
    void KeepVerdict(const char *Sql, const TVerdict &Verdict);
    template <class R>
    R ReadRecord(const char *Table, const std::vector<TRecordField<R>> &Fields, const TStatement &S);
    void ReadOption(TProfileRecord &Profile, qlonglong Tag, qlonglong Value);
    std::vector<TDeviceListRow> DeviceListRowsWhere(const TDeviceFilter &Filter, const char *Key, int64_t KeyValue,
                                                    int Count);
    // Queues Sql, an insert of every device column, with Key for the DeviceID.
    // Revision, when given, is bound after the custom data.
    void WriteDevice(const QByteArray &Sql, const TDeviceRecord &Device, const QVariant &Key,
                     const QVariant &Revision = {});
    // Its columns' values in field order, no profile as NULL.
    static QVariantList DeviceValues(const TDeviceRecord &Device);
    void SaveOptions(const TProfileRecord &Profile);
    // Rows the last statement wrote.
    int64_t WrittenRows();
    // Runs Sql, a DELETE of the row with that ID and revision; false when it
    // deleted none. Kind is the change log's.
    bool DeleteAtRevision(const char *Sql, char Kind, int64_t ID, int64_t Revision);
    void ForEachDeviceWhere(const QByteArray &Sql, const QVariantList &More,
                            const std::function<void(const TDeviceRecord &)> &Visit);

    QString FPath;
    std::unique_ptr<TDatabaseBackend> FBackend;
    int FSavepoints = 0;
    int64_t FUnnumbered = 0; // devices set aside by AddDevice
    int64_t FHighestAdded = 0; // no device stored since ReplaceSite began has a higher DeviceID
    int64_t FSiteRevision = 0; // of every row ReplaceSite stores: the number its one change takes
    bool FReplacing = false; // a whole site is stored: one change for all
};
