#pragma once
// The vqadmin commands behind the command line. Each prints its result on
// standard output and returns the exit status; failures are raised.

#include "database/ConfigDatabase.h"

#include <QString>

class QIODevice;

// Exit statuses: done; findings, or a site file refused; usage or failure.
constexpr int ExitOK = 0;
constexpr int ExitFindings = 1;
constexpr int ExitFailure = 2;

// "vqadmin: " and the line, on standard error.
void PrintError(const QString &Line);
// Whether everything written to standard output reached it (flushed without
// error); says why not on standard error.
bool StandardOutputWritten();

// Each plug-in's identity and version entries, one block each. One that cannot
// be loaded is reported on standard error and the others are still listed;
// then the status is ExitFailure. Raises EPluginLoad when there is none.
int CommandInfo(const QStringList &PluginPaths);
// Replaces the database's site with the file's as it is read, in one
// transaction, creating the database when missing: it appears only once it
// holds the site. A refused file changes nothing and leaves no new database behind. Raises ESiteFile (naming the
// file) for a refused file, Exception for a file that cannot be read, EDatabase.
int CommandImport(const QString &DatabasePath, const QString &FileName);
// The database's site as a site file, on standard output when FileName is
// empty; a file is written beside FileName and renamed into place when
// complete. A FileName that is not a regular file, or is the database, is refused.
int CommandExport(const QString &DatabasePath, const QString &FileName);
// Every profile and device through the plug-in's module, reported as they are
// judged: ExitFindings when anything is an error. With Changed, the same
// report from the verdicts the database keeps, judging only the stale ones
// (and keeping them, unless the database is read-only).
int CommandValidate(const QString &DatabasePath, const QString &PluginPath, bool Json, bool Changed = false);
// Export and validate refuse a database that is missing; progress shows on a
// terminal's standard error.

// The profiles' names or the devices' IDs (What: "profiles", "devices"), one
// a line, in ID order: what a shell's completion offers. The database must exist.
int CommandList(const QString &DatabasePath, const QString &What);

// The halves of import and export that work on any device. ImportSite
// replaces the database's site with the file's, in one transaction; Progress
// hears of each record saved. Raises ESiteFile for a refused file, EDatabase.
struct TImported {
    std::size_t Profiles = 0, Devices = 0;
};
TImported ImportSite(TConfigDatabase &Database, QIODevice &File, const std::function<void()> &Progress = {});
// Writes the site as it is when the export begins; Name is Out's, for
// messages; Progress hears of each device before it is written.
void ExportSite(TConfigDatabase &Database, QIODevice &Out, const QString &Name,
                const std::function<void(int64_t Done, int64_t Total)> &Progress = {});
