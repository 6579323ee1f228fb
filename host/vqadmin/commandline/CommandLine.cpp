#include "CommandLine.h"

#include <QRegularExpression>

namespace {

const TOptionEntry HelpOption{{QStringLiteral("h"), QStringLiteral("help")}, {},
                             QStringLiteral("Shows this help: the program's, or the command's.")};

// Help lines fit a terminal of 80 columns.
constexpr qsizetype HelpWidth = 79;

// The options a command line may give: the program's, the command's own, help.
QList<TOptionEntry> OptionsOf(const TProgramTable &Program, const TCommandEntry *Command) {
    QList<TOptionEntry> options = Command ? Command->Options : QList<TOptionEntry>{};
    return options + Program.Options + QList<TOptionEntry>{HelpOption};
}

std::unique_ptr<QCommandLineParser> MakeParser(const QList<TOptionEntry> &Options) {
    auto parser = std::make_unique<QCommandLineParser>();
    for (const TOptionEntry &entry : Options) {
        QCommandLineOption option(entry.Names, entry.Description, entry.ValueName, entry.DefaultValue);
        if (entry.Hidden)
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser->addOption(option);
    }
    return parser;
}

// Where to turn after a usage error.
QString SeeHelp(const TProgramTable &Program) { return QStringLiteral(" (see %1 --help)").arg(Program.Name); }

// Qt's message, as one of ours: "unknown option 'x' (see vqadmin --help)".
QString ParserError(const TProgramTable &Program, const QCommandLineParser &Parser) {
    QString text = Parser.errorText();
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text.left(1).toLower() + text.mid(1) + SeeHelp(Program);
}

// "-h, --help", "--db PATH".
QString OptionSyntax(const TOptionEntry &Option) {
    QStringList names;
    for (const QString &name : Option.Names)
        names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    return names.join(QStringLiteral(", ")) +
           (Option.ValueName.isEmpty() ? QString() : QLatin1Char(' ') + Option.ValueName);
}

// The command with its own options and its arguments: "validate [--json]",
// "utc [--wid HANDLE] SOCKET KIND NAME [P2 [P3]]".
QString CommandSyntax(const TCommandEntry &Command) {
    QStringList words{Command.Name};
    for (const TOptionEntry &option : Command.Options)
        words << QLatin1Char('[') + OptionSyntax(option) + QLatin1Char(']');
    if (!Command.Arguments.isEmpty())
        words << Command.Arguments;
    return words.join(QLatin1Char(' '));
}

// Text broken into lines of at most Width characters, each after Indent spaces.
QStringList Wrapped(const QString &Text, qsizetype Indent, qsizetype Width = HelpWidth) {
    QStringList lines;
    QString line;
    for (const QString &word : Text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && Indent + line.size() + 1 + word.size() > Width) {
            lines << QString(Indent, QLatin1Char(' ')) + line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        lines << QString(Indent, QLatin1Char(' ')) + line;
    return lines;
}

// Rows of a two-column list: the term, then its text wrapped beside it.
QString Listing(const QList<std::pair<QString, QString>> &Rows) {
    qsizetype column = 0;
    for (const auto &[term, text] : Rows)
        column = std::max(column, term.size());
    column = std::min<qsizetype>(column + 4, 28);
    QString out;
    for (const auto &[term, text] : Rows) {
        QStringList lines = Wrapped(text, column);
        const QString head = QStringLiteral("  ") + term;
        if (head.size() + 2 <= column && !lines.isEmpty())
            lines[0].replace(0, head.size(), head);
        else
            lines.prepend(head);
        out += lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    return out;
}

QString OptionListing(const QList<TOptionEntry> &Options) {
    QList<std::pair<QString, QString>> rows;
    for (const TOptionEntry &option : Options)
        if (!option.Hidden)
            rows.append({OptionSyntax(option), option.Description});
    return Listing(rows);
}

// ---- roff ---------------------------------------------------------------------

// Text for roff: backslashes escaped, and the dashes of options as minus signs.
QString Roff(QString Text) {
    Text.replace(QLatin1Char('\\'), QStringLiteral("\\e"));
    static const QRegularExpression optionDashes(QStringLiteral("(?<![\\w-])(-+)(?=\\w)"));
    QString out;
    qsizetype at = 0;
    for (const QRegularExpressionMatch &m : optionDashes.globalMatch(Text)) {
        out += Text.mid(at, m.capturedStart() - at) + QString(QStringLiteral("\\-")).repeated(m.capturedLength());
        at = m.capturedEnd();
    }
    return out + Text.mid(at);
}

// Syntax in the manual's fonts: words to type in bold, words to replace in italics.
QString RoffSyntax(const QString &Syntax) {
    static const QRegularExpression word(QStringLiteral("[A-Z][A-Z0-9]*|-*[a-z][a-z-]*"));
    QString out;
    qsizetype at = 0;
    for (const QRegularExpressionMatch &m : word.globalMatch(Syntax)) {
        const bool replaced = m.captured().at(0).isUpper();
        out += Syntax.mid(at, m.capturedStart() - at) + (replaced ? QStringLiteral("\\fI") : QStringLiteral("\\fB")) +
               Roff(m.captured()) + QStringLiteral("\\fR");
        at = m.capturedEnd();
    }
    return out + Syntax.mid(at);
}

QString RoffOptions(const QList<TOptionEntry> &Options) {
    QString out;
    for (const TOptionEntry &option : Options)
        if (!option.Hidden)
            out += QStringLiteral(".TP\n") + RoffSyntax(OptionSyntax(option)) + QLatin1Char('\n') +
                   Roff(option.Description) + QLatin1Char('\n');
    return out;
}

} // namespace

const TCommandEntry *FindCommand(const TProgramTable &Program, const QString &Name) {
    for (const TCommandEntry &command : Program.Commands)
        if (command.Name == Name)
            return &command;
    return nullptr;
}

TParsedCommandLine ParseCommandLine(const TProgramTable &Program, const QStringList &Arguments) {
    const QStringList line = QStringList{Program.Name} + Arguments;
    TParsedCommandLine parsed;
    // First every option any command knows, up to the command's name.
    QList<TOptionEntry> all = OptionsOf(Program, nullptr);
    for (const TCommandEntry &command : Program.Commands)
        all += command.Options;
    parsed.Options = MakeParser(all);
    parsed.Options->setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parsed.Options->parse(line)) {
        parsed.Error = ParserError(Program, *parsed.Options);
        return parsed;
    }
    const QStringList words = parsed.Options->positionalArguments();
    if (words.isEmpty())
        return parsed;
    parsed.Command = FindCommand(Program, words[0]);
    if (!parsed.Command) {
        parsed.Error = UnknownCommand(Program, words[0]);
        return parsed;
    }
    // Then the command's line without its name, with the options it knows.
    const qsizetype name = Arguments.size() - words.size();
    parsed.Options = MakeParser(OptionsOf(Program, parsed.Command));
    if (parsed.Command->ArgumentsAsGiven)
        parsed.Options->setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parsed.Options->parse(line.mid(0, name + 1) + Arguments.mid(name + 1))) {
        parsed.Error = ParserError(Program, *parsed.Options);
        return parsed;
    }
    parsed.Arguments = parsed.Options->positionalArguments();
    const qsizetype count = parsed.Arguments.size();
    if (!parsed.Options->isSet(HelpOption.Names[0]) &&
        (count < parsed.Command->MinArguments || count > parsed.Command->MaxArguments))
        parsed.Error = QStringLiteral("usage: ") + Synopsis(Program, parsed.Command);
    return parsed;
}

QString Synopsis(const TProgramTable &Program, const TCommandEntry *Command) {
    return QStringLiteral("%1 [OPTIONS] %2")
        .arg(Program.Name, Command ? CommandSyntax(*Command) : QStringLiteral("COMMAND [ARGUMENTS]"));
}

QString UsageError(const TProgramTable &Program) {
    return QStringLiteral("usage: ") + Synopsis(Program, nullptr) + SeeHelp(Program);
}

QString UnknownCommand(const TProgramTable &Program, const QString &Name) {
    return QStringLiteral("unknown command '%1'").arg(Name) + SeeHelp(Program);
}

QString HelpText(const TProgramTable &Program, const TCommandEntry *Command) {
    QString out = QStringLiteral("Usage: ") + Synopsis(Program, Command) + QLatin1Char('\n');
    if (!Command) {
        out += Wrapped(Program.Description, 0).join(QLatin1Char('\n')) + QStringLiteral("\n\nCommands:\n");
        QList<std::pair<QString, QString>> rows;
        for (const TCommandEntry &command : Program.Commands)
            rows.append({CommandSyntax(command), command.Summary});
        out += Listing(rows) + QStringLiteral("\nOptions:\n") + OptionListing(OptionsOf(Program, nullptr));
        return out + QLatin1Char('\n') +
               Wrapped(QStringLiteral("'%1 help COMMAND' or '%1 COMMAND --help' shows a command's own options; "
                                      "the manual page %1(1) tells the rest.")
                           .arg(Program.Name),
                       0)
                   .join(QLatin1Char('\n')) +
               QLatin1Char('\n');
    }
    out += Wrapped(Command->Summary + QLatin1Char(' ') + Command->Details, 0).join(QLatin1Char('\n'));
    return out + QStringLiteral("\n\nOptions:\n") + OptionListing(OptionsOf(Program, Command));
}

QString ManualSections(const TProgramTable &Program, const QString &Version) {
    QString out = QStringLiteral(".TH %1 1 \"\" \"%2 %3\" \"User Commands\"\n")
                      .arg(Program.Name.toUpper(), Program.Name, Version);
    out += QStringLiteral(".SH NAME\n%1 \\- %2\n.SH SYNOPSIS\n").arg(Program.Name, Roff(Program.Summary));
    for (const TCommandEntry &command : Program.Commands)
        out += QStringLiteral(".br\n\\fB%1\\fR [\\fIOPTIONS\\fR] %2\n")
                   .arg(Program.Name, RoffSyntax(CommandSyntax(command)));
    out += QStringLiteral(".SH DESCRIPTION\n") + Roff(Program.Description) + QStringLiteral("\n.SH COMMANDS\n");
    for (const TCommandEntry &command : Program.Commands) {
        out += QStringLiteral(".TP\n") + RoffSyntax(CommandSyntax(command)) + QLatin1Char('\n') +
               Roff(command.Summary + QLatin1Char(' ') + command.Details) + QLatin1Char('\n');
        if (!command.Options.isEmpty())
            out += QStringLiteral(".RS\n") + RoffOptions(command.Options) + QStringLiteral(".RE\n");
    }
    return out + QStringLiteral(".SH OPTIONS\n") + RoffOptions(OptionsOf(Program, nullptr));
}
