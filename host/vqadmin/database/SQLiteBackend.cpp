#include "SQLiteBackend.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringEncoder>

#include <sqlite3.h>

namespace {

// How long to wait for another program's lock: longer than any one command holds it.
constexpr int BusyTimeoutMs = 30000;

} // namespace

class TSQLiteBackend::TStatement : public TBackendStatement {
public:
    TStatement(TSQLiteBackend &Backend, const QByteArray &Sql) : FBackend(Backend) {
        if (sqlite3_prepare_v3(Backend.FDb, Sql.constData(), int(Sql.size()), SQLITE_PREPARE_PERSISTENT, &FStmt,
                               nullptr) != SQLITE_OK)
            Backend.Fail(QStringLiteral("cannot prepare a statement"));
        FTexts.resize(std::size_t(sqlite3_bind_parameter_count(FStmt)));
    }
    ~TStatement() override { sqlite3_finalize(FStmt); }

    void Bind(int Index, const QVariant &Value) override {
        int rc;
        switch (Value.typeId()) {
        case QMetaType::UnknownType:
            rc = sqlite3_bind_null(FStmt, Index);
            break;
        case QMetaType::QString: {
            // The database's own encoding (SQLite would convert UTF-16 itself,
            // slowly), in the parameter's own room, which SQLite reads in place
            // until the value is bound again or the statement reset: an import
            // binds some ten million texts.
            if (Index < 1 || std::size_t(Index) > FTexts.size()) {
                rc = SQLITE_RANGE;
                break;
            }
            QByteArray &text = FTexts[std::size_t(Index) - 1];
            const QStringView string = *static_cast<const QString *>(Value.constData());
            text.resize(FUtf8.requiredSpace(string.size()));
            text.resize(FUtf8.appendToBuffer(text.data(), string) - text.constData());
            rc = sqlite3_bind_text(FStmt, Index, text.constData(), int(text.size()), SQLITE_STATIC);
            break;
        }
        default:
            rc = sqlite3_bind_int64(FStmt, Index, Value.toLongLong());
        }
        if (rc != SQLITE_OK)
            FBackend.Fail(QStringLiteral("cannot bind a value"));
    }

    bool Step() override {
        const int rc = sqlite3_step(FStmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            FBackend.Fail(QStringLiteral("cannot run a statement"));
        return false;
    }

    void Queue() override {
        while (Step()) {
        }
    }

    QVariant Column(int Index) const override {
        switch (sqlite3_column_type(FStmt, Index)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER:
            return qlonglong(sqlite3_column_int64(FStmt, Index));
        default:
            return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(FStmt, Index)),
                                     sqlite3_column_bytes(FStmt, Index));
        }
    }

    void Reset() override {
        sqlite3_reset(FStmt);
        sqlite3_clear_bindings(FStmt);
    }

    int64_t Integer(int Index) const override { return sqlite3_column_int64(FStmt, Index); }

    // The text first: asking for it may convert the value, which changes its length.
    QByteArrayView Utf8(int Index) const override {
        const char *text = reinterpret_cast<const char *>(sqlite3_column_text(FStmt, Index));
        return {text, sqlite3_column_bytes(FStmt, Index)};
    }

private:
    TSQLiteBackend &FBackend;
    sqlite3_stmt *FStmt = nullptr;
    std::vector<QByteArray> FTexts; // the texts bound, by parameter
    QStringEncoder FUtf8{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
};

TSQLiteBackend::TSQLiteBackend(const QString &Path, bool Create) : FPath(Path) {
    if (!Create && !QFileInfo::exists(Path))
        throw EDatabase(Path + QStringLiteral(": no such database (import creates one)"));
    // A statement inside a transaction journals the pages it changes, in case
    // it must be undone alone; SQLite keeps that journal in memory up to
    // 64 KiB and in a temporary file beyond. With the kept verdicts' indexes
    // an import's every saved device went through that file: a mebibyte keeps
    // it in memory. (Refused once SQLite is initialised, which changes nothing else.)
    [[maybe_unused]] static const int spill = sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, 1 << 20);
    // Nothing here reads SQLite's memory statistics, whose upkeep locks a mutex for every allocation.
    [[maybe_unused]] static const int statistics = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    // A connection is used by one thread alone: no lock around each call of SQLite's.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (Create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(QFile::encodeName(Path).constData(), &FDb, flags, nullptr) != SQLITE_OK) {
        const QString why = FDb ? QString::fromUtf8(sqlite3_errmsg(FDb)) : QStringLiteral("out of memory");
        sqlite3_close(FDb);
        throw EDatabase(Path + QStringLiteral(": cannot open: ") + why);
    }
    sqlite3_extended_result_codes(FDb, 1);
    sqlite3_busy_timeout(FDb, BusyTimeoutMs);
    if (sqlite3_exec(FDb, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString why = QString::fromUtf8(sqlite3_errmsg(FDb));
        sqlite3_close(FDb);
        throw EDatabase(Path + QStringLiteral(": cannot run a statement: ") + why);
    }
}

TSQLiteBackend::~TSQLiteBackend() {
    FinaliseStatements();
    sqlite3_close(FDb);
}

void TSQLiteBackend::Fail(const QString &What) {
    throw EDatabase(FPath + QStringLiteral(": ") + What + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(FDb)));
}

std::unique_ptr<TBackendStatement> TSQLiteBackend::Prepare(const QByteArray &Sql) {
    return std::make_unique<TStatement>(*this, Sql);
}

void TSQLiteBackend::Execute(const QByteArray &Sql) {
    if (sqlite3_exec(FDb, Sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(QStringLiteral("cannot run a statement"));
}

int64_t TSQLiteBackend::WrittenRows() { return sqlite3_changes64(FDb); }

bool TSQLiteBackend::ReadOnly() { return sqlite3_db_readonly(FDb, "main") == 1; }

int64_t TSQLiteBackend::Integer(const QByteArray &Sql) {
    TBackendStatement &s = Statement(Sql);
    const auto reset = qScopeGuard([&] { s.Reset(); });
    return s.Step() ? s.Column(0).toLongLong() : 0;
}

int64_t TSQLiteBackend::Changes() { return Integer("PRAGMA data_version"); }

bool TSQLiteBackend::InTransaction() { return !sqlite3_get_autocommit(FDb); }

// A deferred transaction takes the lock as it first writes, waiting for another's as any statement does.
void TSQLiteBackend::Begin(bool LockNow) { Execute(LockNow ? "BEGIN IMMEDIATE" : "BEGIN"); }

void TSQLiteBackend::Commit() { Execute("COMMIT"); }

void TSQLiteBackend::Rollback() { sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr); }

int TSQLiteBackend::SchemaVersion() { return int(Integer("PRAGMA user_version")); }

void TSQLiteBackend::SetSchemaVersion(int Version) { Execute("PRAGMA user_version = " + QByteArray::number(Version)); }

bool TSQLiteBackend::Empty() { return Integer("SELECT count(*) FROM sqlite_schema") == 0; }

bool TSQLiteBackend::HasColumn(const char *Table, const char *Column) {
    TBackendStatement &s = Statement("SELECT 1 FROM pragma_table_info(?) WHERE name = ?");
    const auto reset = qScopeGuard([&] { s.Reset(); });
    s.Bind(1, QString::fromLatin1(Table));
    s.Bind(2, QString::fromLatin1(Column));
    return s.Step();
}

QByteArray TSQLiteBackend::Trigger(const QByteArray &Name, const QByteArray &Event, const QByteArray &When,
                                   const QByteArray &Body) {
    return "CREATE TRIGGER IF NOT EXISTS " + Name + ' ' + Event + (When.isEmpty() ? "" : " WHEN " + When) + " BEGIN " +
           Body + " END;";
}

QByteArray TSQLiteBackend::DropTrigger(const QByteArray &Name, const QByteArray &) {
    return "DROP TRIGGER IF EXISTS " + Name;
}
