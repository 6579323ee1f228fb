#pragma once
// A fresh database on the tests' own PostgreSQL server, which ctest starts
// (tests/support/postgres-server.sh) and names in VQ_TEST_POSTGRES; dropped
// when the test ends. Without the server the test fails: it never skips.

#include <QCoreApplication>
#include <QString>

#include <libpq-fe.h>

#include <stdexcept>

// Runs SQL on the database as any PostgreSQL tool would: the server's
// message, or else the first column of the first row (none without rows).
inline QString ServerSql(const QString &Address, const QByteArray &Sql) {
    PGconn *conn = PQconnectdb(Address.toUtf8().constData());
    PGresult *result = PQexec(conn, Sql.constData());
    const ExecStatusType status = PQresultStatus(result);
    const QString answer = status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK ? PQerrorMessage(conn)
                           : PQntuples(result) > 0                                 ? PQgetvalue(result, 0, 0)
                                                                                   : "";
    PQclear(result);
    PQfinish(conn);
    return answer;
}

class TServerDatabase {
public:
    TServerDatabase() : FName(QStringLiteral("vqtest_%1_%2").arg(QCoreApplication::applicationPid()).arg(++Made)) {
        if (Server().isEmpty())
            throw std::runtime_error("VQ_TEST_POSTGRES names no server: run the test through ctest, which starts one");
        if (const QString failed = ServerSql(Server() + " dbname=postgres", "CREATE DATABASE " + FName.toUtf8());
            !failed.isEmpty())
            throw std::runtime_error(failed.toStdString());
    }
    ~TServerDatabase() { ServerSql(Server() + " dbname=postgres", "DROP DATABASE " + FName.toUtf8() + " WITH (FORCE)"); }

    // libpq's key=value form, as --db takes it.
    QString Address() const { return Server() + " dbname=" + FName; }

private:
    static QString Server() { return qEnvironmentVariable("VQ_TEST_POSTGRES"); }
    static inline int Made = 0;
    const QString FName;
};
