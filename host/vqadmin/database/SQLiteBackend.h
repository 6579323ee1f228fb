#pragma once
// The configuration database in one SQLite file: the embedded default.

#include "DatabaseBackend.h"

struct sqlite3;

class TSQLiteBackend : public TDatabaseBackend {
public:
    // Raises EDatabase.
    TSQLiteBackend(const QString &Path, bool Create);
    ~TSQLiteBackend() override;

    [[noreturn]] void Fail(const QString &What) override;
    void Execute(const QByteArray &Sql) override;
    int64_t WrittenRows() override;
    bool ReadOnly() override;
    int64_t Changes() override;
    void NoteChange() override {} // SQLite counts every commit itself
    bool InTransaction() override;
    void Begin(bool LockNow) override;
    void Commit() override;
    void Rollback() override;
    int SchemaVersion() override;
    void SetSchemaVersion(int Version) override;
    bool Empty() override;
    bool HasColumn(const char *Table, const char *Column) override;
    bool Embedded() const override { return true; }
    QByteArray Trigger(const QByteArray &Name, const QByteArray &Event, const QByteArray &When,
                       const QByteArray &Body) override;
    QByteArray DropTrigger(const QByteArray &Name, const QByteArray &Table) override;

private:
    class TStatement;
    std::unique_ptr<TBackendStatement> Prepare(const QByteArray &Sql) override;
    int64_t Integer(const QByteArray &Sql);

    QString FPath;
    sqlite3 *FDb = nullptr;
};
