#pragma once
// The vqadmin commands behind the command line. Each prints its result on
// standard output and returns the exit status; failures are raised.

#include "HostRecords.h"

#include <QString>

// Exit statuses: done; findings, or a site file refused; usage or failure.
constexpr int ExitOK = 0;
constexpr int ExitFindings = 1;
constexpr int ExitFailure = 2;

// The plug-in's identity and version entries. Raises EPluginLoad.
int CommandInfo(const QString &PluginPath);
// Replaces the database's site with the file's; the file is read whole before
// the database is touched. Raises ESiteFile (naming the file) for a refused
// file, Exception for a file that cannot be read, EDatabase.
int CommandImport(const QString &DatabasePath, const QString &FileName);
// The site a file describes. Raises ESiteFile naming the file for a refused
// file, Exception for a file that cannot be read.
TSite ReadSiteFileNamed(const QString &FileName);
// The database's site as a site file, on standard output when FileName is empty.
int CommandExport(const QString &DatabasePath, const QString &FileName);
// Every profile and device through the plug-in's module: ExitFindings when
// anything is an error.
int CommandValidate(const QString &DatabasePath, const QString &PluginPath, bool Json);
