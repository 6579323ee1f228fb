#pragma once
// Running the built host as a user runs it, for the end-to-end tests.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include "ServerDatabase.h"

#include <gtest/gtest.h>

#include <ostream>

// Result lines read one a line in a test's failure.
inline void PrintTo(const QStringList &Lines, std::ostream *Out) {
    *Out << "\n  " << Lines.join(QStringLiteral("\n  ")).toStdString();
}

// A file of the build's bin folder, where the tests, the host and the plug-in live.
inline QString BinPath(const char *name) {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(name));
}

struct TRun {
    int Status; // -1 when the host crashed
    QString Out;
    QString Err;
};

inline TRun RunVqadmin(const QStringList &args, const QString &workingDirectory = {}) {
    QProcess p;
    if (!workingDirectory.isEmpty())
        p.setWorkingDirectory(workingDirectory);
    p.start(BinPath("vqadmin"), args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// The demo site in a database of a temporary folder, or on the tests'
// PostgreSQL server, and the host run over it.
class TDemoSiteTest : public ::testing::Test {
protected:
    explicit TDemoSiteTest(bool OnServer = false)
        : Server(OnServer ? std::make_unique<TServerDatabase>() : nullptr),
          Site(OnServer ? Server->Address() : Dir.filePath("site.db")) {
        const TRun seeded = Vqadmin({"import", BinPath("demo-site.json")});
        EXPECT_EQ(seeded.Status, 0) << seeded.Err.toStdString();
    }
    TRun Vqadmin(const QStringList &Args) { return RunVqadmin(QStringList{"--db", Site} + Args, Dir.path()); }
    // vqadmin automate with the script, written to a file.
    TRun Automate(const QByteArray &Script, const QStringList &Options = {}) {
        QFile file(Dir.filePath("script.txt"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Script);
        file.close();
        return Vqadmin(Options + QStringList{"automate", file.fileName()});
    }

    QTemporaryDir Dir;
    std::unique_ptr<TServerDatabase> Server;
    QString Site; // what --db names
};
