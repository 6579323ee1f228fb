#include "PostgresBackend.h"

#include <QRegularExpression>
#include <QScopeGuard>

#include <libpq-fe.h>

#include <algorithm>
#include <deque>

namespace {

// The channel each committed change is announced on.
const QByteArray Channel = "vqadmin_changes";
// The key of the advisory lock that writers take: SQLite's one writer at a time.
constexpr const char *LockSql = "SELECT pg_advisory_xact_lock(7681)";
// Waits for another session's lock as long as SQLite waits for another program's.
const QByteArray SessionSql = "SET lock_timeout = '30s'; SET client_min_messages = warning; LISTEN " + Channel;

// Statements queued before their answers are read.
constexpr int QueuedBatch = 256;
// Rows of a plain INSERT sent as one statement: the server's work for each
// statement is about as much as for each row.
constexpr std::size_t RowsPerInsert = 128;

// Type numbers of the server's integer and Boolean columns (pg_type.h).
constexpr Oid BoolOid = 16, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, NumericOid = 1700;

bool IsWrite(const QByteArray &Sql) {
    static const QRegularExpression writes(QStringLiteral("^\\s*(INSERT|UPDATE|DELETE|CREATE|ALTER|DROP)\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    return writes.match(QString::fromUtf8(Sql)).hasMatch();
}

// The server's primary message, or the connection's.
QString Message(pg_conn *Conn, const pg_result *Result) {
    const char *primary = Result ? PQresultErrorField(Result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    return QString::fromUtf8(primary ? primary : PQerrorMessage(Conn)).trimmed();
}

} // namespace

class TPostgresBackend::TStatement : public TBackendStatement {
public:
    TStatement(TPostgresBackend &Backend, const QByteArray &Sql)
        : FBackend(Backend), FName("s" + QByteArray::number(Backend.PreparedStatements())), FWrites(IsWrite(Sql)) {
        const QByteArray sql = ServerSql(Sql, &FParameters);
        FValues.resize(std::size_t(std::count_if(FParameters.begin(), FParameters.end(), [](int at) { return at >= 0; })));
        Prepare(FName, sql);
        static const QRegularExpression insert(QStringLiteral("^(INSERT INTO \\w+ \\([^)]*\\) VALUES )(\\(.*\\))$"));
        const QRegularExpressionMatch plain = insert.match(QString::fromUtf8(sql));
        FGathers =
            plain.hasMatch() && !FValues.empty() && !sql.contains(" ON CONFLICT ") && !sql.contains(" RETURNING ");
        if (FGathers)
            Prepare(FName + "r", Rows(plain.captured(1), plain.captured(2)));
    }
    ~TStatement() override {
        if (FBackend.FGathering == this)
            FBackend.FGathering = nullptr;
        Reset();
    }

    void Bind(int Index, const QVariant &Value) override {
        if (Index < 1 || std::size_t(Index) > FParameters.size())
            FBackend.Fail(QStringLiteral("cannot bind a value"));
        const int at = FParameters[std::size_t(Index - 1)];
        if (at < 0)
            return; // the statement does not use it
        if (Value.isNull())
            FValues[std::size_t(at)].reset();
        else if (Value.typeId() == QMetaType::QString)
            FValues[std::size_t(at)] = static_cast<const QString *>(Value.constData())->toUtf8();
        else
            FValues[std::size_t(at)] = QByteArray::number(Value.toLongLong());
    }

    // A read's rows come one at a time, so that a result of any size takes no
    // more memory than a row; a write's all at once.
    bool Step() override {
        if (FWrites) {
            if (!FResult) {
                const std::vector<const char *> values = Values();
                FResult = FBackend.Run(true, [&] {
                    return PQexecPrepared(FBackend.FConn, FName.constData(), int(values.size()), values.data(),
                                          nullptr, nullptr, 0);
                });
                FRow = 0;
            } else
                ++FRow;
            return FRow < PQntuples(FResult);
        }
        if (!std::exchange(FStarted, true))
            FBackend.Stream(this, FName, Values());
        else
            ++FRow;
        while (!FResult || FRow >= PQntuples(FResult)) {
            PQclear(FResult);
            FRow = 0;
            FResult = nullptr;
            if (!FHeld.empty()) {
                FResult = FHeld.front();
                FHeld.pop_front();
            } else if (FBackend.FStreaming == this)
                FResult = FBackend.NextRows();
            else
                return false;
        }
        return true;
    }

    // The rows not read yet, read now: the connection is wanted for another statement.
    void Hold() {
        while (FBackend.FStreaming == this)
            FHeld.push_back(FBackend.NextRows());
    }

    void Queue() override {
        if (!FBackend.InTransaction())
            Step();
        else if (FGathers)
            Gather();
        else
            FBackend.Queue(FName, Values());
    }

    // A plain INSERT's rows wait here until there are RowsPerInsert of them,
    // or until another statement goes to the server (SendGathered).
    void Gather() {
        if (FBackend.FGathering != this) {
            FBackend.SendGathered();
            FBackend.FGathering = this;
        }
        FGathered.insert(FGathered.end(), FValues.begin(), FValues.end());
        if (FGathered.size() == RowsPerInsert * FValues.size())
            FBackend.SendGathered();
    }
    // Queues the rows: for the backend, which no longer counts them as
    // gathered. None is left when a queued one fails.
    void SendGathered() {
        const TValues rows = std::exchange(FGathered, {});
        const auto width = std::ptrdiff_t(FValues.size());
        if (rows.size() == RowsPerInsert * FValues.size())
            FBackend.Queue(FName + "r", Pointers(rows.begin(), rows.end()));
        else
            for (auto row = rows.begin(); row != rows.end(); row += width)
                FBackend.Queue(FName, Pointers(row, row + width));
    }
    void DropGathered() { FGathered.clear(); }

    QVariant Column(int Index) const override {
        if (PQgetisnull(FResult, FRow, Index))
            return {};
        const char *text = PQgetvalue(FResult, FRow, Index);
        switch (PQftype(FResult, Index)) {
        case BoolOid:
            return qlonglong(*text == 't');
        case Int2Oid:
        case Int4Oid:
        case Int8Oid:
        case NumericOid:
            return QByteArray(text).toLongLong();
        default:
            return QString::fromUtf8(text, PQgetlength(FResult, FRow, Index));
        }
    }

    // A NULL's text is empty.
    int64_t Integer(int Index) const override {
        const char *text = PQgetvalue(FResult, FRow, Index);
        return PQftype(FResult, Index) == BoolOid ? *text == 't' : QByteArrayView(text).toLongLong();
    }

    QByteArrayView Utf8(int Index) const override {
        return {PQgetvalue(FResult, FRow, Index), PQgetlength(FResult, FRow, Index)};
    }

    void Reset() override {
        if (FBackend.FStreaming == this)
            FBackend.Discard();
        PQclear(FResult);
        FResult = nullptr;
        FStarted = false;
        for (PGresult *rows : FHeld)
            PQclear(rows);
        FHeld.clear();
        std::fill(FValues.begin(), FValues.end(), std::nullopt);
    }

private:
    using TValues = std::vector<std::optional<QByteArray>>;

    void Prepare(const QByteArray &Name, const QByteArray &Sql) {
        PQclear(FBackend.Run(
            false, [&] { return PQprepare(FBackend.FConn, Name.constData(), Sql.constData(), 0, nullptr); }));
    }
    // The INSERT of RowsPerInsert rows of Row, each with parameters of its own.
    QByteArray Rows(const QString &Head, const QString &Row) const {
        static const QRegularExpression parameter(QStringLiteral("\\$(\\d+)"));
        QStringList rows;
        for (std::size_t i = 0; i < RowsPerInsert; ++i) {
            QString row;
            qsizetype at = 0;
            for (const QRegularExpressionMatch &m : parameter.globalMatch(Row)) {
                row += Row.mid(at, m.capturedStart() - at) + QLatin1Char('$') +
                       QString::number(m.captured(1).toULongLong() + i * FValues.size());
                at = m.capturedEnd();
            }
            rows << row + Row.mid(at);
        }
        return (Head + rows.join(QStringLiteral(", "))).toUtf8();
    }
    static std::vector<const char *> Pointers(TValues::const_iterator From, TValues::const_iterator To) {
        std::vector<const char *> values;
        for (auto v = From; v != To; ++v)
            values.push_back(*v ? (*v)->constData() : nullptr);
        return values;
    }
    std::vector<const char *> Values() const { return Pointers(FValues.begin(), FValues.end()); }

    TPostgresBackend &FBackend;
    QByteArray FName;
    bool FWrites;
    std::vector<int> FParameters;
    TValues FValues;
    bool FGathers = false; // a plain INSERT, whose rows are gathered
    TValues FGathered;     // the values of the rows gathered, row after row
    PGresult *FResult = nullptr;  // the rows being read
    int FRow = 0;
    bool FStarted = false;        // a read sent, its rows being read
    std::deque<PGresult *> FHeld; // rows read ahead, by Hold
};

TPostgresBackend::TPostgresBackend(const QString &Address, bool Create) : FAddress(Address) {
    FConn = PQconnectdb(Address.toUtf8().constData());
    if (PQstatus(FConn) != CONNECTION_OK) {
        const QString why = QString::fromUtf8(PQerrorMessage(FConn)).trimmed();
        PQfinish(FConn);
        throw EDatabase(Address + QStringLiteral(": cannot open: ") + why);
    }
    try {
        if (PQsetClientEncoding(FConn, "UTF8") != 0)
            Fail(QStringLiteral("cannot open"));
        Execute(SessionSql);
        if (!Create && Empty())
            throw EDatabase(Address + QStringLiteral(": no such database (import creates one)"));
    } catch (...) {
        FinaliseStatements();
        PQfinish(FConn);
        throw;
    }
}

TPostgresBackend::~TPostgresBackend() {
    FinaliseStatements();
    PQfinish(FConn);
}

void TPostgresBackend::Fail(const QString &What) {
    throw EDatabase(FAddress + QStringLiteral(": ") + What + QStringLiteral(": ") +
                    (FError.isEmpty() ? Message(FConn, nullptr) : FError));
}

PGresult *TPostgresBackend::Run(bool Writes, const std::function<PGresult *()> &Call) {
    Free();
    // A write outside a transaction is a transaction of its own, as in SQLite.
    const bool own = Writes && !InTransaction();
    if (own)
        Begin(true);
    PGresult *result = Call();
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        FError = Message(FConn, result);
        PQclear(result);
        if (own)
            Rollback();
        Fail(QStringLiteral("cannot run a statement"));
    }
    FError.clear();
    if (Writes)
        FWritten = QByteArray(PQcmdTuples(result)).toLongLong();
    if (own)
        Commit();
    return result;
}

// In single-row mode libpq makes a result of each row as it comes; the
// server waits while the rows not read yet fill the socket.
void TPostgresBackend::Stream(TStatement *Statement, const QByteArray &Name, const std::vector<const char *> &Values) {
    Free();
    FError.clear();
    if (PQsendQueryPrepared(FConn, Name.constData(), int(Values.size()), Values.data(), nullptr, nullptr, 0) != 1)
        Fail(QStringLiteral("cannot run a statement"));
    PQsetSingleRowMode(FConn);
    FStreaming = Statement;
}

PGresult *TPostgresBackend::NextRows() {
    PGresult *rows = PQgetResult(FConn);
    switch (PQresultStatus(rows)) {
    case PGRES_SINGLE_TUPLE:
        return rows;
    case PGRES_TUPLES_OK: // the last, without a row in single-row mode
    case PGRES_COMMAND_OK: // a statement without rows (SAVEPOINT)
        Discard();
        return rows;
    default:
        FError = Message(FConn, rows);
        PQclear(rows);
        Discard();
        Fail(QStringLiteral("cannot run a statement"));
    }
}

void TPostgresBackend::Discard() {
    while (PGresult *rest = PQgetResult(FConn))
        PQclear(rest);
    FStreaming = nullptr;
}

void TPostgresBackend::Release() {
    if (FStreaming)
        FStreaming->Hold();
}

void TPostgresBackend::SendGathered() {
    if (TStatement *gathering = std::exchange(FGathering, nullptr))
        gathering->SendGathered();
}

void TPostgresBackend::Free() {
    SendGathered();
    Release();
    if (!Settle())
        Fail(QStringLiteral("cannot run a statement"));
}

// Sent on in pipeline mode while the server works through the batch before,
// whose answers are read once the next batch is on its way: a round trip per
// batch, not per statement.
void TPostgresBackend::Queue(const QByteArray &Name, const std::vector<const char *> &Values) {
    SendGathered();
    if (PQpipelineStatus(FConn) == PQ_PIPELINE_OFF) {
        Release();
        if (PQenterPipelineMode(FConn) != 1)
            Fail(QStringLiteral("cannot run a statement"));
        FError.clear();
    }
    if (PQsendQueryPrepared(FConn, Name.constData(), int(Values.size()), Values.data(), nullptr, nullptr, 0) != 1)
        FError = Message(FConn, nullptr);
    else if (++FQueued == QueuedBatch)
        Sync(1);
    if (!FError.isEmpty()) {
        Settle();
        Fail(QStringLiteral("cannot run a statement"));
    }
}

// Ends the batch, then reads answers until no more than Unread batches are unread.
void TPostgresBackend::Sync(int Unread) {
    FQueued = 0;
    if (PQpipelineSync(FConn) != 1) {
        FError = Message(FConn, nullptr);
        return;
    }
    ++FSyncs;
    while (FSyncs > Unread) {
        PGresult *result = PQgetResult(FConn);
        if (!result) {
            // Between one statement's answers and the next, or none will come.
            if (PQstatus(FConn) == CONNECTION_BAD) {
                FError = Message(FConn, nullptr);
                FSyncs = 0;
            }
            continue;
        }
        switch (PQresultStatus(result)) {
        case PGRES_PIPELINE_SYNC:
            --FSyncs;
            break;
        case PGRES_COMMAND_OK:
            FWritten = QByteArray(PQcmdTuples(result)).toLongLong();
            break;
        case PGRES_PIPELINE_ABORTED: // after the failure that is kept
            break;
        default:
            if (FError.isEmpty())
                FError = Message(FConn, result);
        }
        PQclear(result);
    }
}

bool TPostgresBackend::Settle() {
    if (PQpipelineStatus(FConn) == PQ_PIPELINE_OFF)
        return true;
    Sync(0);
    PQexitPipelineMode(FConn);
    return FError.isEmpty();
}

int64_t TPostgresBackend::WrittenRows() {
    if (!Settle())
        Fail(QStringLiteral("cannot run a statement"));
    return FWritten;
}

void TPostgresBackend::Plain(const char *Sql) { PQclear(Run(false, [&] { return PQexec(FConn, Sql); })); }

std::unique_ptr<TBackendStatement> TPostgresBackend::Prepare(const QByteArray &Sql) {
    return std::make_unique<TStatement>(*this, Sql);
}

void TPostgresBackend::Execute(const QByteArray &Sql) {
    const QByteArray sql = ServerSql(Sql);
    PQclear(Run(IsWrite(Sql), [&] { return PQexec(FConn, sql.constData()); }));
}

int64_t TPostgresBackend::Integer(const QByteArray &Sql) {
    TBackendStatement &s = Statement(Sql);
    const auto reset = qScopeGuard([&] { s.Reset(); });
    return s.Step() ? s.Column(0).toLongLong() : 0;
}

bool TPostgresBackend::ReadOnly() {
    return Integer("SELECT current_setting('transaction_read_only') = 'on' OR NOT has_table_privilege('devices', "
                   "'UPDATE')") != 0;
}

// The notifications that came with any answer, or are waiting on the socket, without waiting for more.
int64_t TPostgresBackend::Changes() {
    PQconsumeInput(FConn);
    while (PGnotify *notice = PQnotifies(FConn)) {
        if (notice->be_pid != PQbackendPID(FConn))
            ++FChanges;
        PQfreemem(notice);
    }
    return FChanges;
}

// Told once, as the transaction commits, and not when it is rolled back.
void TPostgresBackend::NoteChange() {
    if (InTransaction())
        FChanged = true;
    else
        Notify();
}

void TPostgresBackend::Notify() { Plain(("NOTIFY " + Channel).constData()); }

// A command in progress hides the answer: the rows of a read are read first.
bool TPostgresBackend::InTransaction() {
    Release();
    return PQtransactionStatus(FConn) != PQTRANS_IDLE;
}

// Either way at once: a transaction that may write reads with the lock held,
// so what it reads is what it writes over.
void TPostgresBackend::Begin(bool) {
    Plain("BEGIN");
    try {
        Plain(LockSql);
    } catch (...) {
        Rollback();
        throw;
    }
}

void TPostgresBackend::Commit() {
    if (std::exchange(FChanged, false))
        Notify();
    Plain("COMMIT");
}

void TPostgresBackend::Rollback() {
    if (TStatement *gathering = std::exchange(FGathering, nullptr))
        gathering->DropGathered();
    if (FStreaming)
        Discard();
    Settle();
    FChanged = false;
    PQclear(PQexec(FConn, "ROLLBACK"));
}

// The snapshot is taken by the first read, and a write is refused.
void TPostgresBackend::BeginReading() { Plain("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"); }

// The server has no version number of a database's own: a table holds it.
int TPostgresBackend::SchemaVersion() {
    if (Integer("SELECT count(*) FROM pg_tables WHERE schemaname = current_schema() AND tablename = 'schema_version'") ==
        0)
        return 0;
    return int(Integer("SELECT Version FROM schema_version"));
}

void TPostgresBackend::SetSchemaVersion(int Version) {
    Execute("CREATE TABLE IF NOT EXISTS schema_version (Version INTEGER NOT NULL); DELETE FROM schema_version;"
            " INSERT INTO schema_version VALUES (" +
            QByteArray::number(Version) + ")");
}

bool TPostgresBackend::Empty() {
    return Integer("SELECT count(*) FROM pg_tables WHERE schemaname = current_schema()") == 0;
}

bool TPostgresBackend::HasColumn(const char *Table, const char *Column) {
    TBackendStatement &s = Statement("SELECT 1 FROM information_schema.columns WHERE table_schema = current_schema()"
                                     " AND table_name = lower(?) AND column_name = lower(?)");
    const auto reset = qScopeGuard([&] { s.Reset(); });
    s.Bind(1, QString::fromLatin1(Table));
    s.Bind(2, QString::fromLatin1(Column));
    return s.Step();
}

// A PL/pgSQL function for the body, called by the trigger.
QByteArray TPostgresBackend::Trigger(const QByteArray &Name, const QByteArray &Event, const QByteArray &When,
                                     const QByteArray &Body) {
    const QByteArray body = When.isEmpty() ? Body : "IF " + When + " THEN " + Body + " END IF;";
    return "CREATE OR REPLACE FUNCTION " + Name + "() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN " + body +
           " RETURN NULL; END$$; CREATE OR REPLACE TRIGGER " + Name + ' ' + Event + " FOR EACH ROW EXECUTE FUNCTION " +
           Name + "();";
}

QByteArray TPostgresBackend::DropTrigger(const QByteArray &Name, const QByteArray &Table) {
    return "DROP TRIGGER IF EXISTS " + Name + " ON " + Table;
}

QByteArray TPostgresBackend::ServerSql(const QByteArray &Sql, std::vector<int> *Parameters) {
    // Word for word outside the texts in single quotes.
    static const std::pair<QRegularExpression, QString> rewrites[] = {
        {QRegularExpression(QStringLiteral("\"")), QString()},
        {QRegularExpression(QStringLiteral("\\)\\s*STRICT(,\\s*WITHOUT ROWID)?")), QStringLiteral(")")},
        {QRegularExpression(QStringLiteral("\\s+INDEXED BY \\w+")), QString()},
        {QRegularExpression(QStringLiteral("\\bINTEGER\\b")), QStringLiteral("BIGINT")},
        // SQLite compares texts byte by byte, and so must the prefix ranges.
        {QRegularExpression(QStringLiteral("\\bTEXT\\b")), QStringLiteral("TEXT COLLATE \"C\"")},
        {QRegularExpression(QStringLiteral("\\bchar\\(")), QStringLiteral("chr(")},
        {QRegularExpression(QStringLiteral("\\bIS NOT (?!NULL\\b)")), QStringLiteral("IS DISTINCT FROM ")},
        {QRegularExpression(QStringLiteral("\\bIS (?!NOT\\b|NULL\\b|DISTINCT\\b)")),
         QStringLiteral("IS NOT DISTINCT FROM ")},
        // No limit is -1 to SQLite, NULL to the server.
        {QRegularExpression(QStringLiteral("\\bLIMIT (\\?\\d*)")), QStringLiteral("LIMIT nullif(\\1, -1)")},
    };
    static const QRegularExpression parameter(QStringLiteral("\\?(\\d*)"));
    const QStringList parts = QString::fromUtf8(Sql).split(QLatin1Char('\''));
    // The parameters used, by SQLite's numbers: a bare ? is the one after the highest so far.
    std::vector<std::vector<int>> numbers(std::size_t(parts.size()));
    std::vector<int> used;
    int highest = 0;
    for (qsizetype i = 0; i < parts.size(); i += 2)
        for (const QRegularExpressionMatch &m : parameter.globalMatch(parts[i])) {
            const int n = m.captured(1).isEmpty() ? highest + 1 : m.captured(1).toInt();
            highest = std::max(highest, n);
            numbers[std::size_t(i)].push_back(n);
            used.push_back(n);
        }
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
    if (Parameters) {
        Parameters->assign(std::size_t(highest), -1);
        for (std::size_t k = 0; k < used.size(); ++k)
            (*Parameters)[std::size_t(used[k] - 1)] = int(k);
    }
    QStringList server;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QString part = parts[i];
        if (i % 2 == 0) {
            for (const auto &[pattern, replacement] : rewrites)
                part.replace(pattern, replacement);
            part.replace(parameter, QStringLiteral("\x01"));
            for (const int n : numbers[std::size_t(i)]) {
                const auto at = std::lower_bound(used.begin(), used.end(), n) - used.begin();
                part.replace(part.indexOf(QLatin1Char('\x01')), 1, QLatin1Char('$') + QString::number(at + 1));
            }
        }
        server << part;
    }
    return server.join(QLatin1Char('\'')).toUtf8();
}
