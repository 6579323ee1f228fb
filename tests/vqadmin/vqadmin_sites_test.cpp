// vqadmin end to end, as an administrator runs it: the plug-in it loads and
// what info, --help and --version say of it, and the site commands import,
// export and validate against a database file and the real plug-in.

#include "HostRun.h"
#include "plugin/PluginFile.h"
#include "ServerDatabase.h"
#include "SiteSamples.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class VqadminSitesTest : public ::testing::Test {
protected:
    QString Path(const char *name) const { return FDir.filePath(QLatin1String(name)); }

    TRun Vqadmin(const QStringList &args) const { return RunVqadmin(args, FDir.path()); }
    TRun OnDb(const char *db, const QStringList &args) const { return Vqadmin(QStringList{"--db", Path(db)} + args); }
    void Import(const char *db, const QString &file) const {
        const TRun r = OnDb(db, {"import", file});
        ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
        EXPECT_EQ(r.Out.left(9), "Imported ");
    }
    QString Write(const char *name, const QByteArray &text) const {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return f.fileName();
    }
    // Every command that reads the database refuses it, naming it and why
    // (after what Qt may say), and leaves no export behind.
    void ExpectRefused(const char *db, const QString &why) const {
        const QStringList commands[] = {{"validate"}, {"export", Path("x.json")}, {"automate", Write("s.txt", "")}};
        for (const QStringList &command : commands) {
            const TRun r = OnDb(db, command);
            EXPECT_EQ(r.Status, 2) << command.join(' ').toStdString();
            EXPECT_TRUE(r.Err.endsWith("vqadmin: " + Path(db) + ": " + why + "\n")) << r.Err.toStdString();
        }
        EXPECT_FALSE(QFile::exists(Path("x.json")));
    }

    QTemporaryDir FDir;
};

TEST_F(VqadminSitesTest, ExportOfAnImportGivesBackTheSameRows) {
    // Besides the demo site, devices without an ID (each taking the next ID no
    // device of the file holds, in file order) and the unspecified addresses,
    // which are not the empty ones. Import takes only what export writes back
    // and import reads again; the forms each value takes are the site file's
    // and the database's tests.
    const QString full = Write("full.json", R"({"devices": [{"fields": {"UniqueID": "A2"}},
        {"fields": {"DeviceID": 2, "AssignedIP": "fe80::1:2"}},
        {"fields": {"DeviceID": 1, "UniqueID": "A1", "AssignedIP": "0.0.0.0", "DHCP_SRV_Start_IP": "::"}},
        {"fields": {"UniqueID": "A3"}}]})");
    for (const QString &file : {BinPath("demo-site.json"), full}) {
        Import("a.db", file);
        ASSERT_EQ(OnDb("a.db", {"export", Path("a.json")}).Status, 0);
        Import("b.db", Path("a.json"));
        const QString rows = DumpDatabase(Path("a.db"));
        EXPECT_GT(rows.count("devices|"), 1);
        EXPECT_EQ(DumpDatabase(Path("b.db")), rows);
    }
    const QString rows = DumpDatabase(Path("a.db"));
    EXPECT_TRUE(rows.contains("|3:0.0.0.0|"));
    EXPECT_TRUE(rows.contains("devices|1:3|3:ptNotSet|5:|3:A2|") && rows.contains("devices|1:4|3:ptNotSet|5:|3:A3|"))
        << rows.toStdString();
}

TEST_F(VqadminSitesTest, ARefusedFileLeavesTheDatabaseAsItWas) {
    Import("site.db", BinPath("demo-site.json"));
    const QString before = DumpDatabase(Path("site.db"));
    const std::pair<QByteArray, QString> files[] = {
        {"{\"profiles\": [", "line 1, column 15: not valid JSON"},
        {R"({"profiles": [{"name": "A"}], "devices": [{"profile": "A"}, {"profile": "B"}]})",
         "devices[1].profile: unknown profile \"B\""},
        {R"({"devices": [{"fields": {"DeviceID": 1}}, {}, {"fields": {"DeviceID": 1}}]})",
         "devices[2].fields.DeviceID: DeviceID 1 is given twice"},
    };
    for (const auto &[text, place] : files) {
        const QString file = Write("bad.json", text);
        const TRun r = OnDb("site.db", {"import", file});
        EXPECT_EQ(r.Status, 1) << text.constData();
        EXPECT_TRUE(r.Out.isEmpty());
        EXPECT_EQ(r.Err.count(QLatin1Char('\n')), 1) << r.Err.toStdString();
        EXPECT_TRUE(r.Err.startsWith("vqadmin: " + file + ": " + place)) << r.Err.toStdString();
        EXPECT_EQ(DumpDatabase(Path("site.db")), before);
    }
    // A refused file never creates a database either.
    EXPECT_EQ(OnDb("new.db", {"import", Write("bad.json", "[]")}).Status, 1);
    EXPECT_FALSE(QFile::exists(Path("new.db")));
}

TEST_F(VqadminSitesTest, TheDefaultDatabaseAndFailures) {
    // Without --db, the database is the working directory's.
    ASSERT_EQ(Vqadmin({"import", BinPath("demo-site.json")}).Status, 0);
    EXPECT_TRUE(QFile::exists(Path("vqadmin.db")));
    EXPECT_EQ(Vqadmin({"export"}).Out, OnDb("vqadmin.db", {"export"}).Out);
    EXPECT_EQ(Vqadmin({"list", "profiles"}).Out, "Sales\nWarehouse\nFront Desk\nLab\n");

    const std::pair<QStringList, QString> failures[] = {
        {{"--db", Write("notes.txt", "just notes\n"), "export"},
         Path("notes.txt") + ": cannot prepare a statement: file is not a database"},
        {{"import", Path("missing.json")}, Path("missing.json") + ": cannot read: No such file or directory"},
        // Options may follow the command.
        {{"list", "devices", "--db", Path("none.db")}, Path("none.db") + ": no such database (import creates one)"},
        {{"--plugin", BinPath("fixtures/nomodule.plg"), "validate"},
         BinPath("fixtures/nomodule.plg") + ": the plug-in has no device module, so nothing can be validated"},
    };
    for (const auto &[args, error] : failures) {
        const TRun r = Vqadmin(args);
        EXPECT_EQ(r.Status, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.Out.isEmpty());
        EXPECT_EQ(r.Err, "vqadmin: " + error + "\n");
    }
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
    ASSERT_TRUE(root.mkpath("bin") && root.mkpath("lib/vqadmin/plugins"));
    const std::pair<const char *, const char *> copies[] = {
        {"vqadmin", "bin/vqadmin"},
        {"DP_Lyn2.plg", "bin/DP_Lyn2.plg"},
        {"fixtures/nomodule.plg", "lib/vqadmin/plugins/nomodule.plg"},
        {"vqadmin.1", "lib/vqadmin/plugins/broken.plg"},
    };
    for (const auto &[from, to] : copies)
        ASSERT_TRUE(QFile::copy(BinPath(from), root.filePath(to))) << to;
    QProcess info;
    info.start(root.filePath("bin/vqadmin"), {"info"});
    ASSERT_TRUE(info.waitForFinished(60000));
    QStringList listed;
    for (const QString &line : QString::fromUtf8(info.readAllStandardOutput()).split('\n'))
        if (line.startsWith("Plug-in:") || line.startsWith("Modules:"))
            listed << line;
    const QString plugins = QDir::cleanPath(root.filePath("lib/vqadmin/plugins"));
    // The one it cannot load fails the command, not the listing of the others.
    EXPECT_EQ(info.exitCode(), 2);
    EXPECT_EQ(listed, QStringList({"Plug-in:     " + root.filePath("bin/DP_Lyn2.plg"), "Modules:     1",
                                   "Plug-in:     " + plugins + "/nomodule.plg", "Modules:     0"}));
    EXPECT_EQ(info.readAllStandardError(), "vqadmin: " + plugins + "/broken.plg: not a plug-in library (not an ELF file)\n");
}

TEST(VqadminInfo, RefusesWhatIsNotAUsablePlugin) {
    QTemporaryDir dir;
    QFile plugin(BinPath("DP_Lyn2.plg")), half(dir.filePath("half.plg"));
    ASSERT_TRUE(plugin.open(QIODevice::ReadOnly) && half.open(QIODevice::WriteOnly));
    half.write(plugin.read(plugin.size() / 2)); // section headers pointing past the end of the file
    half.close();
    const std::pair<QString, const char *> cases[] = {
        {dir.filePath("missing.plg"), "no such file"},         {half.fileName(), "damaged library"},
        {BinPath("libVQUILibA.so"), "no version entries"},      {BinPath("fixtures/noexports.plg"), "not exported"},
        {BinPath("fixtures/oldinterface.plg"), "does not fit host interface 8"}};
    for (const auto &[file, reason] : cases) {
        const TRun r = RunVqadmin({QStringLiteral("--plugin"), file, QStringLiteral("info")});
        EXPECT_EQ(r.Status, 2) << reason;
        EXPECT_TRUE(r.Out.isEmpty());
        EXPECT_EQ(r.Err.count(QLatin1Char('\n')), 1) << r.Err.toStdString();
        EXPECT_TRUE(r.Err.contains(QLatin1String(reason))) << r.Err.toStdString();
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
        {{"import"}, "usage: vqadmin [OPTIONS] import FILE"},
        {{"export", "a", "b"}, "usage: vqadmin [OPTIONS] export [FILE]"},
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

// A tool may leave rows that do not hold together; export and validate refuse
// them by name instead of reading past the ends of what the host holds, and so
// does automate, which reads only the rows written since their verdicts were kept.
TEST_F(VqadminSitesTest, ADatabaseEditedBehindTheHostsBackIsRefusedNamingTableAndRow) {
    const struct {
        const char *Sql;
        const char *Message;
    } cases[] = {
        {"INSERT INTO profile_options VALUES (999, 1, 1)",
         "table profile_options, row ProfileID 999 Tag 1: refers to profile 999, which is not there"},
        {"PRAGMA ignore_check_constraints = ON; INSERT INTO profile_options VALUES"
         " (2, 9, 0), (2, 10, 0), (2, 11, 0), (2, 12, 0), (2, 13, 0), (2, 14, 0), (2, 15, 0), (2, 16, 0)",
         "table profile_options, row ProfileID 2 Tag 9: no option has this tag"},
        {"DELETE FROM profile_options WHERE ProfileID = 1; DELETE FROM profiles WHERE ProfileID = 1",
         "table devices, row DeviceID 1: refers to profile 1, which is not there"},
        {"UPDATE devices SET Protocol = 'SIP' WHERE DeviceID = 2",
         "table devices, row DeviceID 2, column Protocol: expected one of ptNotSet, ptAnalog, ptSIP, ptClientUI, ptDebug"},
        {"PRAGMA ignore_check_constraints = ON; UPDATE devices SET DeviceID = -4 WHERE DeviceID = 4",
         "table devices, row DeviceID -4, column DeviceID: not positive"},
        {"UPDATE profiles SET CustomData = 'x' || char(9786) WHERE ProfileID = 4",
         "table profiles, row ProfileID 4, column CustomData: holds a character outside Windows-1252"},
        {"UPDATE profile_options SET Value = 5000000000 WHERE ProfileID = 1 AND Tag = 6",
         "table profile_options, row ProfileID 1 Tag 6, column Value: out of range for a 32-bit integer"},
        {"UPDATE system SET SIPPort = 70000", "table system, column SIPPort: out of range 1..65535"},
        {"UPDATE system SET SIPAddress = '10.0.0.5 junk'",
         "table system, column SIPAddress: not an IPv4 address like 10.0.0.5"},
        {"INSERT INTO node_addresses VALUES (5000000000, '10.0.0.6')",
         "table node_addresses, row Node 5000000000: out of range -2147483648..2147483647"},
    };
    Import("demo.db", BinPath("demo-site.json"));
    OnDb("demo.db", {"validate", "--changed"});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Sql);
        QFile::remove(Path("site.db"));
        ASSERT_TRUE(QFile::copy(Path("demo.db"), Path("site.db")));
        ASSERT_EQ(RawSql(Path("site.db"), c.Sql), "");
        ExpectRefused("site.db", c.Message);
    }
}

TEST_F(VqadminSitesTest, ExportReplacesOnlyARegularFileAndNeverTheDatabase) {
    Import("site.db", BinPath("demo-site.json"));
    const QString rows = DumpDatabase(Path("site.db"));
    ASSERT_EQ(mkfifo(Path("fifo").toUtf8().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(Path("fifo"), Path("link")));
    ASSERT_EQ(link(Path("site.db").toUtf8().constData(), Path("hard.db").toUtf8().constData()), 0);
    const std::pair<QString, QString> refused[] = {
        {Path("fifo"), "not a regular file, so export does not replace it"},
        {Path("link"), "not a regular file, so export does not replace it"},
        {FDir.path(), "not a regular file, so export does not replace it"},
        {Path("site.db"), "is the database itself"},
        {FDir.path() + "/./site.db", "is the database itself"},
        {Path("hard.db"), "is the database itself"},
    };
    for (const auto &[target, why] : refused) {
        const TRun r = OnDb("site.db", {"export", target});
        EXPECT_EQ(r.Status, 2) << target.toStdString();
        EXPECT_EQ(r.Err, "vqadmin: " + target + ": " + why + "\n");
    }
    EXPECT_TRUE(QFileInfo(Path("fifo")).isSymLink() == false && QFileInfo(Path("fifo")).exists() &&
                !QFileInfo(Path("fifo")).isFile());
    EXPECT_EQ(DumpDatabase(Path("site.db")), rows);

    // A file is replaced only by a complete export: one that fails leaves it as it was.
    Write("old.json", "old");
    ASSERT_EQ(RawSql(Path("site.db"), "UPDATE devices SET MacAddress = 'none' WHERE DeviceID = 9"), "");
    EXPECT_EQ(OnDb("site.db", {"export", Path("old.json")}).Status, 2);
    QFile old(Path("old.json"));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
    EXPECT_EQ(QDir(FDir.path()).entryList({"old.json*"}, QDir::Files | QDir::Hidden), QStringList{"old.json"});
}

TEST_F(VqadminSitesTest, OnlyImportCreatesADatabase) {
    ExpectRefused("missing.db", "no such database (import creates one)");
    EXPECT_FALSE(QFile::exists(Path("missing.db")));
    // An empty file is no database either, and stays as it is.
    Write("empty.db", "");
    ExpectRefused("empty.db", "not a vqadmin database");
    EXPECT_EQ(QFileInfo(Path("empty.db")).size(), 0);
    for (const char *db : {"missing.db", "empty.db"})
        EXPECT_EQ(OnDb(db, {"gui"}).Status, 2) << db;
}

// Damage that SQLite's quick check finds (the MAC address index's page is no
// index page any more) is refused wherever an answer depends on the rows.
TEST_F(VqadminSitesTest, ADamagedDatabaseIsRefused) {
    Import("site.db", BinPath("demo-site.json"));
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(Path("site.db").toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, "SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_schema"
                           " WHERE name = 'devices_mac'", -1, &s, nullptr);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    const qint64 page = sqlite3_column_int64(s, 0), offset = (page - 1) * sqlite3_column_int64(s, 1);
    sqlite3_finalize(s);
    sqlite3_close(db);
    QFile file(Path("site.db"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.seek(offset));
    file.write(QByteArray(8, '\xff'));
    file.close();
    ExpectRefused("site.db", QStringLiteral("the database is damaged: Page %1: btreeInitPage() returns error code 11")
                                 .arg(page));
    EXPECT_EQ(OnDb("site.db", {"gui"}).Status, 2); // the window ends when the check, made meanwhile, finds it
}

// What a command writes must reach its destination: a full device or disk is a
// failure that says so.
TEST_F(VqadminSitesTest, OutputThatDoesNotReachItsDestinationIsAFailure) {
    Import("site.db", BinPath("demo-site.json"));
    const TServerDatabase server;
    ASSERT_EQ(Vqadmin({"--db", server.Address(), "import", BinPath("demo-site.json")}).Status, 0);
    // Export writes its own output, and the server's connection closes after
    // it; the other commands' output is flushed at the end.
    const QStringList commands[] = {{Path("site.db"), "info"},
                                    {Path("site.db"), "export"},
                                    {server.Address(), "export"},
                                    {Path("site.db"), "automate", Write("s.txt", "help")}};
    for (const QStringList &command : commands) {
        QProcess p;
        p.setStandardOutputFile("/dev/full");
        p.start(BinPath("vqadmin"), QStringList{"--db"} + command);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 2) << command.join(' ').toStdString();
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_TRUE(err.endsWith("vqadmin: standard output: cannot write: No space left on device\n")) << err.toStdString();
    }
    // A file system of its own, too small for the export.
    ASSERT_TRUE(QDir(FDir.path()).mkdir("full"));
    QProcess full;
    full.start("unshare", {"-rm", "sh", "-c",
                           "mount -t tmpfs -o size=4k tmpfs \"$1\" && exec \"$2\" --db \"$3\" export \"$1/x\"", "sh",
                           Path("full"), BinPath("vqadmin"), Path("site.db")});
    ASSERT_TRUE(full.waitForFinished(60000));
    EXPECT_EQ(full.exitCode(), 2);
    EXPECT_EQ(full.readAllStandardError(), "vqadmin: " + Path("full") + "/x: cannot write: No space left on device\n");
}

// A first import killed while it reads the site leaves no database behind.
TEST_F(VqadminSitesTest, AKilledFirstImportLeavesNoDatabase) {
    ASSERT_EQ(mkfifo(Path("site.json").toUtf8().constData(), 0600), 0);
    QProcess import;
    import.start(BinPath("vqadmin"), {"--db", Path("site.db"), "import", Path("site.json")});
    const int fifo = open(Path("site.json").toUtf8().constData(), O_WRONLY);
    ASSERT_GE(fifo, 0);
    // More than a pipe holds: once it is written, the import is reading it into its database.
    const QByteArray begun = "{\"profiles\": [" + QByteArray(1 << 20, ' ');
    EXPECT_EQ(write(fifo, begun.constData(), std::size_t(begun.size())), begun.size());
    import.kill();
    import.waitForFinished();
    ::close(fifo);
    EXPECT_EQ(OnDb("site.db", {"validate"}).Err,
              "vqadmin: " + Path("site.db") + ": no such database (import creates one)\n");
}

// Two administrators at work at once both succeed: each waits for the other's lock.
TEST_F(VqadminSitesTest, ALockedDatabaseIsWaitedFor) {
    Import("site.db", BinPath("demo-site.json"));
    for (const QStringList &command :
         {QStringList{"validate"}, QStringList{"export", Path("site.json")}, QStringList{"import", BinPath("demo-site.json")}}) {
        sqlite3 *holder = nullptr;
        ASSERT_EQ(sqlite3_open(Path("site.db").toUtf8().constData(), &holder), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        QProcess p;
        p.start(BinPath("vqadmin"), QStringList{"--db", Path("site.db")} + command);
        ASSERT_TRUE(p.waitForStarted());
        QThread::msleep(1500);
        EXPECT_EQ(p.state(), QProcess::Running) << command.join(' ').toStdString();
        sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(holder);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), command[0] == "validate" ? 1 : 0) << p.readAllStandardError().constData();
    }
    // Imports started together, into databases that are not there yet.
    for (int pair = 0; pair < 20; ++pair) {
        const QString db = Path("pair.db");
        QFile::remove(db);
        QProcess a, b;
        for (QProcess *p : {&a, &b})
            p->start(BinPath("vqadmin"), {"--db", db, "import", BinPath("demo-site.json")});
        for (QProcess *p : {&a, &b}) {
            ASSERT_TRUE(p->waitForFinished(60000));
            EXPECT_EQ(p->exitCode(), 0) << "pair " << pair << ": " << p->readAllStandardError().constData();
        }
    }
}

TEST_F(VqadminSitesTest, PathsAndNamesAreNeverReadAsPlaceholders) {
    EXPECT_EQ(OnDb("site%1.db", {"import", BinPath("demo-site.json")}).Out,
              "Imported 4 profiles and 9 devices into " + Path("site%1.db") + "\n");
    ASSERT_EQ(RawSql(Path("site%1.db"), "PRAGMA user_version = 7"), "");
    ExpectRefused("site%1.db", "unknown database schema version 7");
}

// Standard error on a terminal shows how far a command has come, and leaves
// nothing behind when it is done; the output itself is the same.
TEST_F(VqadminSitesTest, ProgressShowsOnATerminalOnly) {
    Import("site.db", BinPath("demo-site.json"));
    const struct {
        QStringList Command;
        const char *Doing;
    } commands[] = {{{"import", BinPath("demo-site.json")}, "importing"},
                    {{"export"}, "exporting"},
                    {{"validate"}, "validating"}};
    for (const auto &c : commands) {
        int master = -1, slave = -1;
        ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        QProcess p;
        p.setStandardErrorFile(QString::fromLocal8Bit(ttyname(slave)));
        p.start(BinPath("vqadmin"), QStringList{"--db", Path("site.db")} + c.Command);
        ASSERT_TRUE(p.waitForFinished(60000));
        ::close(slave);
        QByteArray shown;
        fcntl(master, F_SETFL, O_NONBLOCK);
        char buffer[4096];
        for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;)
            shown.append(buffer, n);
        ::close(master);
        const QString line = QStringLiteral("\\rvqadmin: %1: \\d+%\\x1b\\[K").arg(QLatin1String(c.Doing));
        EXPECT_TRUE(QRegularExpression("^(" + line + ")+\\r\\x1b\\[K$").match(QString::fromLatin1(shown)).hasMatch())
            << shown.toStdString();
        EXPECT_TRUE(shown.startsWith("\rvqadmin: " + QByteArray(c.Doing) + ": 0%"));
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()), OnDb("site.db", c.Command).Out);
    }
}

// From here on the real LYN 2 module does the judging.

TEST_F(VqadminSitesTest, ValidateTheDemoSite) {
    EXPECT_EQ(OnDb("site.db", {"import", BinPath("demo-site.json")}).Out,
              "Imported 4 profiles and 9 devices into " + Path("site.db") + "\n");
    const QString rows = DumpDatabase(Path("site.db"));
    const TRun r = OnDb("site.db", {"validate"});
    EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();
    EXPECT_EQ(r.Out,
              "profile \"Sales\": ok\n"
              "profile \"Warehouse\": error: Invalid LAN Subnet mask\n"
              "profile \"Front Desk\": error: Invalid Default Gateway IP address: IP address 192.168.1.255 with a "
              "subnet mask of 255.255.255.0 is the Subnet's broadcast address and cannot be used as a host IP.\n"
              "profile \"Lab\": ok\n"
              "device \"0001E1000001\": error: MAC address 00-01-E1-00-00-01 is also used by device \"0001E1000031\"\n"
              "device \"0001E1000002\": error: Device ID \"0001E1000002\" is also used by device 9 (MAC 00-01-E1-00-00-32)\n"
              "device \"0001E1 000003\": error: Invalid character \" \" in Device ID\n"
              "device \"0001E1000004\": error: Invalid MAC address\n"
              "device \"0001E1000010\": ok\n"
              "device \"0001E1000020\": ok\n"
              "device \"0001E1000030\": ok\n"
              "device \"0001E1000031\": error: MAC address 00-01-E1-00-00-01 is also used by device \"0001E1000001\"\n"
              "device \"0001E1000002\": error: Device ID \"0001E1000002\" is also used by device 2 (MAC 00-01-E1-00-00-02)\n"
              "4 profiles and 9 devices checked: 8 errors, 0 warnings\n");
    EXPECT_EQ(r.Status, 1);

    // The report's own form is the validation's test.
    const TRun json = OnDb("site.db", {"validate", "--json"});
    EXPECT_EQ(json.Status, 1);
    EXPECT_TRUE(json.Out.contains(R"({"id":"0001E1 000003","profile":"Sales","level":"error","message":)"
                                  R"("Invalid character \" \" in Device ID"})"))
        << json.Out.toStdString();
    // Validation writes nothing back.
    EXPECT_EQ(DumpDatabase(Path("site.db")), rows);
}

TEST_F(VqadminSitesTest, ValidateAValidSite) {
    Import("site.db", Write("site.json", R"({
        "profiles": [{"name": "Sales", "settings": {"IPComm/DHCP": true}}],
        "devices": [{"profile": "Sales", "fields": {"UniqueID": "0001E1000001", "MacAddress": "00-01-E1-00-00-01"}}]})"));
    const TRun r = OnDb("site.db", {"validate"});
    EXPECT_EQ(r.Status, 0) << r.Out.toStdString() << r.Err.toStdString();
    EXPECT_EQ(r.Out, "profile \"Sales\": ok\ndevice \"0001E1000001\": ok\n"
                     "1 profile and 1 device checked: 0 errors, 0 warnings\n");
}

// validate --changed judges only what changed since the verdicts the
// database keeps were made, whoever changed it, and reports as validate does;
// a read-only database is judged without keeping anything.
TEST_F(VqadminSitesTest, ValidateChangedReportsAsValidateDoesAfterAnyChange) {
    Import("site.db", BinPath("demo-site.json"));
    const auto same = [&](const char *Edit) {
        const TRun full = OnDb("site.db", {"validate"});
        const TRun changed = OnDb("site.db", {"validate", "--changed"});
        EXPECT_EQ(changed.Out, full.Out) << Edit;
        EXPECT_EQ(changed.Status, full.Status) << Edit << changed.Err.toStdString();
    };
    same("a new site");
    for (const char *edit : {
             "UPDATE devices SET MacAddress = '00-01-E1-00-00-55' WHERE UniqueID = '0001E1000031'",
             "UPDATE profiles SET CustomData = replace(CustomData, 'DHCP=false', 'DHCP=true') WHERE Name = 'Warehouse'",
             "UPDATE system SET SIPPort = 5070",
             // Another plug-in's verdicts: all judged again.
             "UPDATE devices SET Verdict = 0, VerdictMessage = ''; UPDATE verdict_basis SET Basis = 'an older plug-in'",
         }) {
        ASSERT_EQ(RawSql(Path("site.db"), edit), "");
        same(edit);
    }

    // Root is not stopped by permissions: it reads without the capability to override them.
    ASSERT_EQ(RawSql(Path("site.db"), "UPDATE devices SET UniqueID = '0001E1000001' WHERE UniqueID = '0001E1000010'"), "");
    const QString rows = DumpDatabase(Path("site.db"));
    const TRun full = OnDb("site.db", {"validate"});
    const auto open = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                      QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(FDir.path(), open));
    ASSERT_TRUE(QFile::setPermissions(Path("site.db"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QProcess p;
    const QStringList validate = {"--db", Path("site.db"), "validate", "--changed"};
    if (geteuid() == 0)
        p.start("setpriv", QStringList{"--bounding-set=-dac_override,-dac_read_search", BinPath("vqadmin")} + validate);
    else
        p.start(BinPath("vqadmin"), validate);
    p.waitForFinished();
    QFile::setPermissions(FDir.path(), open | QFile::WriteOwner);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardError()), "");
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()), full.Out);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(DumpDatabase(Path("site.db")), rows);
}

} // namespace
