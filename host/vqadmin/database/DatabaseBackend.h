#pragma once
// What the configuration database needs of the engine that keeps it: cached
// statements, scripts, transactions with a write lock, and the few places
// where SQLite and a PostgreSQL server speak differently. The queries are
// written once, in SQLite's dialect; a server backend turns them into its own.

#include "SysUtils.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>

#include <memory>

// The database cannot be opened, is not ours, or refused a statement.
class EDatabase : public Exception {
public:
    using Exception::Exception;
};

// A prepared statement, kept by its backend for as long as the connection.
class TBackendStatement {
public:
    virtual ~TBackendStatement() = default;
    // 1-based; a null value binds NULL, a text as text, anything else as an integer.
    virtual void Bind(int Index, const QVariant &Value) = 0;
    // True while there is a row to read.
    virtual bool Step() = 0;
    // Runs a write whose rows and count nobody reads. In a transaction a
    // server may be sent it without its answer being waited for: a failure is
    // then raised by a later statement that waits, at the latest the commit.
    virtual void Queue() = 0;
    // NULL as a null value, an integer as qlonglong, a text as QString.
    virtual QVariant Column(int Index) const = 0;
    // Ready to run again, unbound.
    virtual void Reset() = 0;
    // A column without the QVariant and QString Column makes, for the readers
    // of every row: an integer (0 for NULL), or a text as its UTF-8 bytes,
    // which stay valid until the next Step or Reset.
    virtual int64_t Integer(int Index) const = 0;
    virtual QByteArrayView Utf8(int Index) const = 0;
};

class TDatabaseBackend {
public:
    virtual ~TDatabaseBackend() = default;

    // Raises EDatabase "PATH: What: the engine's message".
    [[noreturn]] virtual void Fail(const QString &What) = 0;
    // Prepared once, by its text.
    TBackendStatement &Statement(const QByteArray &Sql);
    // Statements without parameters, separated by semicolons.
    virtual void Execute(const QByteArray &Sql) = 0;
    // Rows the last writing statement wrote.
    virtual int64_t WrittenRows() = 0;
    virtual bool ReadOnly() = 0;
    // Counts the commits of other connections: a window compares it with the
    // count it last saw. Cheap: it reads no row.
    virtual int64_t Changes() = 0;
    // Another connection is told that this one changed the site, when it commits.
    virtual void NoteChange() = 0;

    // Transactions: one that takes the write lock at once, or (where the
    // engine can) at its first write; writers never run side by side.
    virtual bool InTransaction() = 0;
    virtual void Begin(bool LockNow) = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    // A transaction that only reads: one state of the site, and no lock that
    // a writer waits for where the engine can (SQLite's readers hold writers off).
    virtual void BeginReading() { Begin(false); }

    // 0 for a database without our schema.
    virtual int SchemaVersion() = 0;
    virtual void SetSchemaVersion(int Version) = 0;
    // No table at all.
    virtual bool Empty() = 0;
    virtual bool HasColumn(const char *Table, const char *Column) = 0;
    // A single file whose pages the program itself must check when it opens it.
    virtual bool Embedded() const = 0;
    // The script that makes a trigger FOR EACH ROW that runs Body (statements that may use NEW and
    // OLD) when When holds (none: always); Event as "AFTER UPDATE OF a ON t".
    virtual QByteArray Trigger(const QByteArray &Name, const QByteArray &Event, const QByteArray &When,
                               const QByteArray &Body) = 0;
    // The statement that drops such a trigger of Table, if it is there.
    virtual QByteArray DropTrigger(const QByteArray &Name, const QByteArray &Table) = 0;

protected:
    // A new statement of Sql, kept from then on.
    virtual std::unique_ptr<TBackendStatement> Prepare(const QByteArray &Sql) = 0;
    qsizetype PreparedStatements() const { return FStatements.size(); }
    // Every statement is finalised while the connection is still open.
    void FinaliseStatements() {
        qDeleteAll(FStatements);
        FStatements.clear();
    }

private:
    QHash<QByteArray, TBackendStatement *> FStatements; // by their text
};

// A PostgreSQL address (postgresql://… or postgres://…, or libpq's
// key=value form) rather than the path of an SQLite file.
bool IsServerAddress(const QString &Database);

// Connects to the database; with Create, a missing SQLite file is made.
// Without it, a missing database is refused: "PATH: no such database (import creates one)".
std::unique_ptr<TDatabaseBackend> OpenBackend(const QString &Database, bool Create);
