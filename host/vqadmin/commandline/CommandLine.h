#pragma once
// vqadmin's command line as one table of commands and options, from which
// the parser, the help texts and the manual page are all made, so that they
// cannot tell different stories.

#include <QCommandLineParser>
#include <QList>
#include <QStringList>

#include <functional>
#include <memory>

struct TOptionEntry {
    QStringList Names; // "db"; "h", "help"
    QString ValueName; // empty for a switch
    QString Description;
    QString DefaultValue = {};
    bool Hidden = false; // for the build, not for people: in no help
};

struct TCommandEntry {
    QString Name;
    QString Arguments; // as usage shows them after the command's options: "FILE", "[FILE]"
    qsizetype MinArguments, MaxArguments;
    QString Summary; // one short line, for the program's help
    QString Details; // more, for the command's help and the manual
    QList<TOptionEntry> Options = {}; // the command's own
    // Options only before the first argument: what follows is taken as it is,
    // even with a leading "-".
    bool ArgumentsAsGiven = false;
    std::function<int(const QCommandLineParser &Options, const QStringList &Arguments)> Run = {};
};

struct TProgramTable {
    QString Name;
    QString Summary; // the manual's NAME line
    QString Description;
    QList<TOptionEntry> Options; // every command's, beside -h/--help
    QList<TCommandEntry> Commands;
};

// A command line parsed: the command it names (none when it names none) with
// its arguments and options, or a usage error. Asked for help, the arguments
// are not counted.
struct TParsedCommandLine {
    const TCommandEntry *Command = nullptr;
    QStringList Arguments;
    std::unique_ptr<QCommandLineParser> Options;
    QString Error; // one line; empty when parsed
};

TParsedCommandLine ParseCommandLine(const TProgramTable &Program, const QStringList &Arguments);
const TCommandEntry *FindCommand(const TProgramTable &Program, const QString &Name);

// "vqadmin [OPTIONS] COMMAND [ARGUMENTS]", or the command's usage.
QString Synopsis(const TProgramTable &Program, const TCommandEntry *Command);
// The lines for a command line that names no command, or one there is not.
QString UsageError(const TProgramTable &Program);
QString UnknownCommand(const TProgramTable &Program, const QString &Name);
// The help of the program (no command) or of one command, as --help prints it.
QString HelpText(const TProgramTable &Program, const TCommandEntry *Command);
// The manual page's sections from NAME to OPTIONS in roff, after its title line.
QString ManualSections(const TProgramTable &Program, const QString &Version);
