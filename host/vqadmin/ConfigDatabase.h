#pragma once
// The phone system's configuration in one SQLite file: the system values, the
// profiles with their options and the devices. The file is created with its
// schema on first use. Columns carry the field names of HostRecords, so the
// file can be read with any SQLite tool.

#include "HostRecords.h"

#include <QHash>

struct sqlite3;
struct sqlite3_stmt;

// The database cannot be opened, is not ours, or refused a statement.
class EDatabase : public Exception {
public:
    using Exception::Exception;
};

class TConfigDatabase {
public:
    // Opens the file, creating it and its schema when missing. Raises EDatabase.
    explicit TConfigDatabase(const QString &Path);
    ~TConfigDatabase();
    TConfigDatabase(const TConfigDatabase &) = delete;
    TConfigDatabase &operator=(const TConfigDatabase &) = delete;

    const QString &Path() const { return FPath; }

    // All or nothing: rolled back unless committed. Transactions nest.
    class TTransaction {
    public:
        explicit TTransaction(TConfigDatabase &Database);
        ~TTransaction();
        TTransaction(const TTransaction &) = delete;
        TTransaction &operator=(const TTransaction &) = delete;
        void Commit();

    private:
        TConfigDatabase &FDatabase;
        QByteArray FName;
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

    // In DeviceID order.
    std::vector<TDeviceRecord> LoadDevices();
    std::optional<TDeviceRecord> LoadDevice(int64_t DeviceID);
    // Inserts or updates the row, in one transaction.
    void SaveDevice(const TDeviceRecord &Device);
    // Removes the row; a device that is not there is no error.
    void DeleteDevice(int64_t DeviceID);

    TSite LoadSite();
    // Replaces everything the database holds, in one transaction.
    void ReplaceSite(const TSite &Site);

    // The smallest number n >= 1 such that no device ID is the prefix followed by n.
    int32_t FirstFreeStartNumber(const QString &Prefix);

private:
    class TStatement;
    friend class TStatement;

    void Execute(const char *Sql);
    [[noreturn]] void Fail(const QString &What);
    void CreateSchema();

    QString FPath;
    sqlite3 *FDb = nullptr;
    QHash<QByteArray, sqlite3_stmt *> FStatements; // prepared once, by their text
    int FSavepoints = 0;
};
