// The host end to end: vqadmin run as a user runs it, and the plug-in library
// file as the host sees it.

#include "HostRun.h"
#include "plugin/PluginFile.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Readable failure messages.
void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

TEST(PluginFile, ExportsOnlyTheTwoEntryPoints) {
    QProcess nm;
    nm.start(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"), BinPath("DP_Lyn2.plg")});
    ASSERT_TRUE(nm.waitForFinished(30000));
    ASSERT_EQ(nm.exitCode(), 0);
    QStringList exported;
    for (const QString &line : QString::fromUtf8(nm.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList cols = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        // Code symbols only: the linker's own markers are not functions.
        if (cols.size() == 3 && (cols[1] == QLatin1String("T") || cols[1] == QLatin1String("W")))
            exported << cols[2];
    }
    exported.sort();
    EXPECT_EQ(exported, (QStringList{QStringLiteral("CreatePlugin"), QStringLiteral("DestroyPlugin")}));
}

TEST(PluginFile, VersionFit) {
    const auto fit = [](const char *dp, const char *min, const char *sw) {
        return CheckVersionFit({{"Device Plugin Interface", dp}, {"Min DP Interface", min}, {"Min Software Version", sw}});
    };
    EXPECT_TRUE(fit("7", "7", "2.5.47300").isEmpty());
    EXPECT_TRUE(fit("9", "8", "1.0").isEmpty());
    EXPECT_FALSE(fit("6", "5", "1.0").isEmpty());
    EXPECT_FALSE(fit("10", "9", "1.0").isEmpty());
    EXPECT_FALSE(fit("8", "7", "2.5.47301").isEmpty());
    EXPECT_FALSE(fit("eight", "7", "1.0").isEmpty());
}

TEST(PluginFile, DamagedFilesAreRefusedNotTrusted) {
    QTemporaryDir dir;
    QFile f(dir.filePath("broken.plg"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QFile real(BinPath("DP_Lyn2.plg"));
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    QByteArray bytes = real.readAll();
    // Section headers pointing past the end of the file.
    bytes.truncate(bytes.size() / 2);
    f.write(bytes);
    f.close();
    QString error;
    EXPECT_FALSE(ReadVersionEntries(f.fileName(), error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(ReadVersionEntries(dir.filePath("absent.plg"), error));
    EXPECT_EQ(error, "no such file");
}

TEST(VqadminInfo, PrintsTheIdentityAndVersionEntries) {
    const TRun r = RunVqadmin({QStringLiteral("info")});
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.isEmpty());
    for (const char *expected : {"Type:        DevicePlugin\n", "ID:          LYN 2 Device\n",
                                 "Description: LYN 2 device plugin. Contains LYN 2 device's frames\n", "Modules:     1\n",
                                 "  Device Plugin Interface: 8\n", "  Min DP Interface: 7\n",
                                 "  Min Software Version: 2.5.47300\n", "  FileVersion: 14.0.6.0\n",
                                 "  InternalName: DP_LYN2\n"})
        EXPECT_TRUE(r.Out.contains(QLatin1String(expected))) << expected << "\n" << r.Out.toStdString();
}

// A copy of the host finds plug-ins beside itself and in its installation's
// plug-in folder, lists every one, and reports those it cannot load.
TEST(VqadminInfo, ListsEveryPluginBesideItAndInItsPluginFolder) {
    QTemporaryDir dir;
    const QDir root(dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("bin")) && root.mkpath(QStringLiteral("lib/vqadmin/plugins")));
    const std::pair<QString, QString> copies[] = {
        {BinPath("vqadmin"), QStringLiteral("bin/vqadmin")},
        {BinPath("DP_Lyn2.plg"), QStringLiteral("bin/DP_Lyn2.plg")},
        {BinPath("DP_Lyn2.plg"), QStringLiteral("lib/vqadmin/plugins/DP_Lyn2.plg")},
        {BinPath("fixtures/nomodule.plg"), QStringLiteral("lib/vqadmin/plugins/nomodule.plg")},
    };
    for (const auto &[from, to] : copies)
        ASSERT_TRUE(QFile::copy(from, root.filePath(to))) << to.toStdString();

    const auto run = [&] {
        QProcess p;
        p.start(root.filePath(QStringLiteral("bin/vqadmin")), {QStringLiteral("info")});
        p.waitForFinished(60000);
        return TRun{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                    QString::fromUtf8(p.readAllStandardError())};
    };
    const auto listed = [](const QString &out) {
        QStringList plugins;
        for (const QString &line : out.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("Plug-in:")) || line.startsWith(QLatin1String("Modules:")))
                plugins << line;
        return plugins;
    };
    const QString plugins = QDir::cleanPath(root.filePath(QStringLiteral("lib/vqadmin/plugins")));
    const QStringList expected{
        QStringLiteral("Plug-in:     ") + root.filePath(QStringLiteral("bin/DP_Lyn2.plg")), QStringLiteral("Modules:     1"),
        QStringLiteral("Plug-in:     ") + plugins + QStringLiteral("/DP_Lyn2.plg"), QStringLiteral("Modules:     1"),
        QStringLiteral("Plug-in:     ") + plugins + QStringLiteral("/nomodule.plg"), QStringLiteral("Modules:     0")};
    TRun r = run();
    EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_EQ(listed(r.Out), expected);
    EXPECT_EQ(r.Err, "");

    QFile broken(root.filePath(QStringLiteral("lib/vqadmin/plugins/broken.plg")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a library\n");
    broken.close();
    r = run();
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(listed(r.Out), expected);
    EXPECT_EQ(r.Err, "vqadmin: " + plugins + "/broken.plg: not a plug-in library (not an ELF file)\n");
}

TEST(VqadminInfo, RefusesWhatIsNotAUsablePlugin) {
    QTemporaryDir dir;
    QFile text(dir.filePath("text.plg"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("just some text\n");
    text.close();
    const QString cases[] = {dir.filePath("missing.plg"), text.fileName(), BinPath("libVQUILibA.so"),
                             BinPath("fixtures/noexports.plg"), BinPath("fixtures/oldinterface.plg")};
    const char *reasons[] = {"no such file", "not an ELF file", "no version entries", "not exported",
                             "does not fit host interface 8"};
    for (int i = 0; i < 5; ++i) {
        const TRun r = RunVqadmin({QStringLiteral("--plugin"), cases[i], QStringLiteral("info")});
        EXPECT_EQ(r.Status, 2) << reasons[i];
        EXPECT_TRUE(r.Out.isEmpty());
        EXPECT_EQ(r.Err.count(QLatin1Char('\n')), 1) << r.Err.toStdString();
        EXPECT_TRUE(r.Err.contains(QLatin1String(reasons[i]))) << r.Err.toStdString();
    }
}

TEST(VqadminInfo, UsageErrors) {
    const std::pair<QStringList, QString> cases[] = {
        {{}, "usage: vqadmin [OPTIONS] COMMAND [ARGUMENTS] (see vqadmin --help)"},
        {{"frobnicate"}, "unknown command 'frobnicate' (see vqadmin --help)"},
        {{"--plugin"}, "missing value after '--plugin' (see vqadmin --help)"},
        {{"info", "--json"}, "unknown option 'json' (see vqadmin --help)"},
        {{"validate", "--json=yes"}, "unexpected value after '--json' (see vqadmin --help)"},
        {{"list"}, "usage: vqadmin [OPTIONS] list profiles|devices"},
        {{"help", "frobnicate"}, "unknown command 'frobnicate' (see vqadmin --help)"},
    };
    for (const auto &[args, error] : cases) {
        const TRun r = RunVqadmin(args);
        EXPECT_EQ(r.Status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.Out, "");
        EXPECT_EQ(r.Err, "vqadmin: " + error + "\n");
    }
}

// The help texts and the manual page name every command and each of its
// options, which the parser takes (with --help, a command runs nothing).
TEST(VqadminHelp, NamesEveryCommandAndOption) {
    const std::pair<QString, QStringList> commands[] = {
        {"info", {}},   {"import", {}},       {"export", {}}, {"validate", {"--json"}}, {"gui", {"--automation", "S"}},
        {"automate", {}}, {"utc", {"--wid", "1"}}, {"list", {}}, {"help", {}},
    };
    const QStringList everywhere{"--db PATH", "--plugin PATH", "--version", "-h, --help"};
    const TRun program = RunVqadmin({"--help"});
    EXPECT_EQ(program.Status, 0);
    QFile file(BinPath("vqadmin.1"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // The manual's text, its fonts and minus signs aside.
    const QString manual =
        QString::fromUtf8(file.readAll()).remove(QRegularExpression(R"(\\f[BIR])")).replace("\\-", "-");
    const QString listed = "\n" + program.Out.section("\nCommands:\n", 1).section("\n\n", 0, 0);
    EXPECT_EQ(listed.count(QRegularExpression("\n  [a-z]")), qsizetype(std::size(commands))) << listed.toStdString();
    for (const auto &[command, options] : commands) {
        const TRun help = RunVqadmin(options + QStringList{command, "--help"});
        EXPECT_EQ(help.Status, 0) << command.toStdString() << help.Err.toStdString();
        EXPECT_TRUE(help.Out.startsWith("Usage: vqadmin [OPTIONS] " + command)) << help.Out.toStdString();
        EXPECT_EQ(help.Out, RunVqadmin({"help", command}).Out);
        EXPECT_TRUE(listed.contains("\n  " + command + " ")) << command.toStdString();
        EXPECT_TRUE(manual.contains("\n.TP\n" + command)) << command.toStdString();
        for (const QString &option : everywhere + options.mid(0, 1))
            for (const QString &text : {help.Out, manual})
                EXPECT_TRUE(text.contains(option)) << command.toStdString() << ": " << option.toStdString();
    }
    for (const QString &option : everywhere)
        EXPECT_TRUE(program.Out.contains("\n  " + option + " ")) << option.toStdString();
}

TEST(VqadminHelp, VersionNamesThePluginItWouldLoad) {
    const QString host = "vqadmin 14.0.6.0 (software version 2.5.47300, device plug-in interface 8)\n";
    EXPECT_EQ(RunVqadmin({"--version"}).Out, host + "Plug-in: " + BinPath("DP_Lyn2.plg") + ", version 14.0.6.0\n");
    const TRun other = RunVqadmin({"--plugin", BinPath("missing.plg"), "--version"});
    EXPECT_EQ(other.Status, 0);
    EXPECT_EQ(other.Out, host + "Plug-in: " + BinPath("missing.plg") + ", no such file\n");
}

} // namespace
