#pragma once
// Running the built host as a user runs it, for the end-to-end tests.

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStringList>

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
