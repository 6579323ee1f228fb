#pragma once
// The configuration database on a PostgreSQL server, through libpq, for
// several administrators at once: the same tables as the SQLite file, the
// same refusals, writers serialised by one lock of the database's own, and
// the server's notifications telling each session that another committed.

#include "DatabaseBackend.h"

#include <functional>
#include <vector>

struct pg_conn;
struct pg_result;

class TPostgresBackend : public TDatabaseBackend {
public:
    // Raises EDatabase.
    TPostgresBackend(const QString &Address, bool Create);
    ~TPostgresBackend() override;

    [[noreturn]] void Fail(const QString &What) override;
    void Execute(const QByteArray &Sql) override;
    int64_t WrittenRows() override;
    bool ReadOnly() override;
    int64_t Changes() override;
    void NoteChange() override;
    bool InTransaction() override;
    void Begin(bool LockNow) override;
    void Commit() override;
    void Rollback() override;
    void BeginReading() override;
    int SchemaVersion() override;
    void SetSchemaVersion(int Version) override;
    bool Empty() override;
    bool HasColumn(const char *Table, const char *Column) override;
    bool Embedded() const override { return false; }
    QByteArray Trigger(const QByteArray &Name, const QByteArray &Event, const QByteArray &When,
                       const QByteArray &Body) override;
    QByteArray DropTrigger(const QByteArray &Name, const QByteArray &Table) override;

    // SQLite's dialect as the server's: parameters ?N as $M, numbered by the
    // ones used (Parameters[N - 1] is M - 1, or -1 when ?N is not used), and
    // what only SQLite knows (STRICT tables, INDEXED BY, quoted names that
    // SQLite compares without case) rewritten or left out.
    static QByteArray ServerSql(const QByteArray &Sql, std::vector<int> *Parameters = nullptr);

private:
    class TStatement;
    std::unique_ptr<TBackendStatement> Prepare(const QByteArray &Sql) override;
    friend class TStatement;

    // Runs a statement, in a transaction of its own when it writes outside
    // one; the result, for the caller to clear, or Fail. Call is the call to the server.
    [[nodiscard]] pg_result *Run(bool Writes, const std::function<pg_result *()> &Call);
    // Sends a read; its rows are then read from the connection, one result at
    // a time, by Statement while it is FStreaming (NextRows ends that with the last).
    void Stream(TStatement *Statement, const QByteArray &Name, const std::vector<const char *> &Values);
    pg_result *NextRows();
    // Ends the read being streamed, throwing away its rows and any failure.
    void Discard();
    // The connection for another statement: the streamed read's remaining rows are held by its statement.
    void Release();
    // Release, and every queued statement answered; Fail when one failed.
    void Free();
    // The rows a statement gathered, queued.
    void SendGathered();
    // Sends a prepared statement without waiting for its answer; Fail once one
    // of those sent before has failed.
    void Queue(const QByteArray &Name, const std::vector<const char *> &Values);
    void Sync(int Unread);
    // Reads every queued statement's answer and leaves pipeline mode: false,
    // with the first failure in FError, when one failed.
    bool Settle();
    void Notify();
    void Plain(const char *Sql);
    int64_t Integer(const QByteArray &Sql);

    QString FAddress;
    pg_conn *FConn = nullptr;
    QString FError;       // the server's last refusal
    int64_t FWritten = 0; // rows the last writing statement wrote
    int64_t FChanges = 0; // other sessions' notified commits
    bool FChanged = false; // the open transaction changed the site
    int FQueued = 0;       // statements queued since the last sync
    int FSyncs = 0;        // syncs whose answers are unread
    // The read whose rows come next on the connection.
    TStatement *FStreaming = nullptr;
    // The statement whose rows wait to be queued, all at once.
    TStatement *FGathering = nullptr;
};
