#include "DatabaseBackend.h"
#include "PostgresBackend.h"
#include "SQLiteBackend.h"

#include <QRegularExpression>

bool IsServerAddress(const QString &Database) {
    static const QRegularExpression address(QStringLiteral("^(postgres(ql)?://|\\s*\\w+\\s*=)"));
    return address.match(Database).hasMatch();
}

TBackendStatement &TDatabaseBackend::Statement(const QByteArray &Sql) {
    TBackendStatement *&cached = FStatements[Sql];
    if (!cached) {
        try {
            cached = Prepare(Sql).release();
        } catch (...) {
            FStatements.remove(Sql);
            throw;
        }
    }
    return *cached;
}

std::unique_ptr<TDatabaseBackend> OpenBackend(const QString &Database, bool Create) {
    if (IsServerAddress(Database))
        return std::make_unique<TPostgresBackend>(Database, Create);
    return std::make_unique<TSQLiteBackend>(Database, Create);
}
