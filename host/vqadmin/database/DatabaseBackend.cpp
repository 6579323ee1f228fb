#include "DatabaseBackend.h"
#include "SQLiteBackend.h"

std::unique_ptr<TDatabaseBackend> OpenBackend(const QString &Database, bool Create) {
    return std::make_unique<TSQLiteBackend>(Database, Create);
}
