#pragma once
// A fresh database on the tests' own PostgreSQL server, which ctest starts
// (tests/support/postgres-server.sh) and names in VQ_TEST_POSTGRES; dropped
// when the test ends. Without the server the test fails: it never skips.

#include <QCoreApplication>
#include <QString>

#include <libpq-fe.h>

#include <stdexcept>

// Runs SQL on the database as any PostgreSQL tool would: the server's message, or none.
inline QString ServerSql(const QString &Address, const QByteArray &Sql) {
    PGconn *conn = PQconnectdb(Address.toUtf8().constData());
    QString message;
    if (PQstatus(conn) != CONNECTION_OK)
        message = QString::fromUtf8(PQerrorMessage(conn));
    else {
        PGresult *result = PQexec(conn, Sql.constData());
        if (PQresultStatus(result) != PGRES_COMMAND_OK && PQresultStatus(result) != PGRES_TUPLES_OK)
            message = QString::fromUtf8(PQresultErrorMessage(result));
        PQclear(result);
    }
    PQfinish(conn);
    return message;
}

// The first column of the first row of a query; -1 when there is none.
inline qlonglong ServerScalar(const QString &Address, const char *Sql) {
    PGconn *conn = PQconnectdb(Address.toUtf8().constData());
    PGresult *result = PQexec(conn, Sql);
    const qlonglong value = PQntuples(result) > 0 ? QByteArray(PQgetvalue(result, 0, 0)).toLongLong() : -1;
    PQclear(result);
    PQfinish(conn);
    return value;
}

class TServerDatabase {
public:
    TServerDatabase() : FName(QStringLiteral("vqtest_%1_%2").arg(QCoreApplication::applicationPid()).arg(++Made())) {
        if (Server().isEmpty())
            throw std::runtime_error("VQ_TEST_POSTGRES names no server: run the test through ctest, which starts one");
        const QString failed = ServerSql(Server() + QStringLiteral(" dbname=postgres"), "CREATE DATABASE " + FName.toUtf8());
        if (!failed.isEmpty())
            throw std::runtime_error(failed.toStdString());
    }
    ~TServerDatabase() { ServerSql(Server() + QStringLiteral(" dbname=postgres"), "DROP DATABASE " + FName.toUtf8() + " WITH (FORCE)"); }
    TServerDatabase(const TServerDatabase &) = delete;
    TServerDatabase &operator=(const TServerDatabase &) = delete;

    // libpq's key=value form, as --db takes it.
    QString Address() const { return Server() + QStringLiteral(" dbname=") + FName; }

private:
    static QString Server() { return qEnvironmentVariable("VQ_TEST_POSTGRES"); }
    static int &Made() {
        static int made = 0;
        return made;
    }
    QString FName;
};
