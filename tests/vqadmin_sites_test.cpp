// vqadmin's site commands end to end, as an administrator runs them: import,
// export and validate against a database file and the real plug-in.

#include "SiteSamples.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString BinPath(const char *name) { return QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(name)); }

struct TRun {
    int Status;
    QString Out;
    QString Err;
};

class VqadminSitesTest : public ::testing::Test {
protected:
    QString Path(const char *name) const { return FDir.filePath(QLatin1String(name)); }

    TRun Vqadmin(const QStringList &args) const {
        QProcess p;
        p.setWorkingDirectory(FDir.path());
        p.start(BinPath("vqadmin"), args);
        p.waitForFinished(120000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    TRun OnDb(const char *db, QStringList args) const {
        args.prepend(Path(db));
        args.prepend(QStringLiteral("--db"));
        return Vqadmin(args);
    }
    QString Write(const char *name, const QByteArray &text) const {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return f.fileName();
    }
    static QByteArray Read(const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir FDir;
};

TEST_F(VqadminSitesTest, ExportOfAnImportGivesBackTheSameRows) {
    ASSERT_EQ(OnDb("a.db", {QStringLiteral("import"), BinPath("demo-site.json")}).Status, 0);
    ASSERT_EQ(OnDb("a.db", {QStringLiteral("export"), Path("a.json")}).Status, 0);
    const TRun imported = OnDb("b.db", {QStringLiteral("import"), Path("a.json")});
    ASSERT_EQ(imported.Status, 0) << imported.Err.toStdString();
    EXPECT_EQ(imported.Out, "Imported 4 profiles and 9 devices into " + Path("b.db") + "\n");
    const QString rows = DumpDatabase(Path("a.db"));
    EXPECT_EQ(rows.count(QLatin1String("\ndevices|")), 9);
    EXPECT_EQ(DumpDatabase(Path("b.db")), rows);
    // Standard output carries the same file.
    const TRun out = OnDb("b.db", {QStringLiteral("export")});
    ASSERT_EQ(out.Status, 0);
    EXPECT_TRUE(out.Err.isEmpty());
    EXPECT_EQ(out.Out.toUtf8(), Read(Path("a.json")));
}

TEST_F(VqadminSitesTest, EveryStoredValueSurvivesTheRoundTrip) {
    // Values a hand-written file hardly holds: IPv6, text beyond ASCII, custom
    // data that is no tree, options, a device without a profile.
    const QString file = Write("full.json", R"({
        "system": {"sipAddress": "10.0.0.5", "nodeAddresses": {"2": "10.0.0.6"}},
        "profiles": [{"name": "\u00c9quipe", "fields": {"ProfileID": 3, "Codecs": 15, "FailoverSIPIP": "10.0.0.6"},
                      "customData": "General{SoftwareVersion=\"2.3\u00e9\"} extra=1",
                      "options": {"POT_AutoAnswerType": 2, "POT_SilenceSuppression": -1}}],
        "devices": [{"profile": "\u00c9quipe", "fields": {"DeviceID": 8, "AssignedIP": "fe80::1:2",
                     "Greeting": "Gr\u00fc\u00df Gott \u263a", "MacAddress": "00-01-E1-AB-CD-08"}},
                    {"fields": {"DeviceID": 9, "UniqueID": "A9", "NormalLocationID": 1099511627776}}]})");
    ASSERT_EQ(OnDb("a.db", {QStringLiteral("import"), file}).Status, 0);
    ASSERT_EQ(OnDb("a.db", {QStringLiteral("export"), Path("a.json")}).Status, 0);
    ASSERT_EQ(OnDb("b.db", {QStringLiteral("import"), Path("a.json")}).Status, 0);
    EXPECT_EQ(DumpDatabase(Path("b.db")), DumpDatabase(Path("a.db")));
    const QString rows = DumpDatabase(Path("a.db"));
    EXPECT_TRUE(rows.contains(QStringLiteral("Gr\u00FC\u00DF Gott \u263A")));
    EXPECT_TRUE(rows.contains(QLatin1String("|3:fe80::1:2|")));
    EXPECT_TRUE(rows.contains(QLatin1String("|1:1099511627776|")));
    EXPECT_TRUE(rows.contains(QLatin1String("profile_options|1:3|1:6|1:-1")));
}

TEST_F(VqadminSitesTest, ARefusedFileLeavesTheDatabaseAsItWas) {
    ASSERT_EQ(OnDb("site.db", {QStringLiteral("import"), BinPath("demo-site.json")}).Status, 0);
    const QString before = DumpDatabase(Path("site.db"));
    const std::pair<QByteArray, QString> files[] = {
        {"{\"profiles\": [", "line 1, column 15: not valid JSON"},
        {R"({"profiles": [{"name": "A", "fields": {"Colour": 1}}]})", "profiles[0].fields.Colour: unknown field"},
        {R"({"profiles": [{"name": "A", "settings": {"SIP/Colour": 1}}]})", "profiles[0].settings.SIP/Colour: unknown path"},
        {R"({"profiles": [{"name": "A"}], "devices": [{"profile": "A"}, {"profile": "B"}]})",
         "devices[1].profile: unknown profile \"B\""},
        {R"({"profiles": [{"name": "A", "settings": {"IPComm/DHCP": "no"}}]})",
         "profiles[0].settings.IPComm/DHCP: expected a Boolean"},
    };
    for (const auto &[text, place] : files) {
        const QString file = Write("bad.json", text);
        const TRun r = OnDb("site.db", {QStringLiteral("import"), file});
        EXPECT_EQ(r.Status, 1) << text.constData();
        EXPECT_TRUE(r.Out.isEmpty());
        EXPECT_EQ(r.Err.count(QLatin1Char('\n')), 1) << r.Err.toStdString();
        EXPECT_TRUE(r.Err.startsWith("vqadmin: " + file + ": " + place)) << r.Err.toStdString();
        EXPECT_EQ(DumpDatabase(Path("site.db")), before);
    }
    // A refused file never creates a database either.
    EXPECT_EQ(OnDb("new.db", {QStringLiteral("import"), Write("bad.json", "[]")}).Status, 1);
    EXPECT_FALSE(QFile::exists(Path("new.db")));
}

TEST_F(VqadminSitesTest, UsageAndDatabaseFailures) {
    const QString text = Write("notes.txt", "not a database, just notes\n");
    for (const QStringList &args : {QStringList{QStringLiteral("--db"), text, QStringLiteral("export")},
                                    QStringList{QStringLiteral("import"), Path("missing.json")},
                                    QStringList{QStringLiteral("import")},
                                    QStringList{QStringLiteral("export"), Path("a"), Path("b")},
                                    QStringList{QStringLiteral("validate"), QStringLiteral("--xml")},
                                    QStringList{QStringLiteral("--db")},
                                    QStringList{QStringLiteral("--colour"), QStringLiteral("red"), QStringLiteral("info")}}) {
        const TRun r = Vqadmin(args);
        EXPECT_EQ(r.Status, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.Out.isEmpty());
        EXPECT_EQ(r.Err.count(QLatin1Char('\n')), 1) << r.Err.toStdString();
    }
    EXPECT_TRUE(Vqadmin({QStringLiteral("--db"), text, QStringLiteral("export")}).Err.contains(QLatin1String("not a database")));
}

TEST_F(VqadminSitesTest, TheDatabaseDefaultsToTheWorkingDirectory) {
    ASSERT_EQ(Vqadmin({QStringLiteral("import"), BinPath("demo-site.json")}).Status, 0);
    EXPECT_TRUE(QFile::exists(Path("vqadmin.db")));
    EXPECT_EQ(Vqadmin({QStringLiteral("export")}).Out, OnDb("vqadmin.db", {QStringLiteral("export")}).Out);
}

TEST_F(VqadminSitesTest, ValidateNeedsAModule) {
    ASSERT_EQ(OnDb("site.db", {QStringLiteral("import"), BinPath("demo-site.json")}).Status, 0);
    const TRun r = OnDb("site.db", {QStringLiteral("--plugin"), BinPath("nomodule.plg"), QStringLiteral("validate")});
    EXPECT_EQ(r.Status, 2);
    EXPECT_TRUE(r.Out.isEmpty());
    EXPECT_EQ(r.Err, "vqadmin: " + BinPath("nomodule.plg") +
                         ": the plug-in has no device module, so nothing can be validated\n");
}

// From here on the real LYN 2 module does the judging.

TEST_F(VqadminSitesTest, ValidateTheDemoSite) {
    ASSERT_EQ(OnDb("site.db", {QStringLiteral("import"), BinPath("demo-site.json")}).Status, 0);
    const TRun r = OnDb("site.db", {QStringLiteral("validate")});
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
    // Validation writes nothing back.
    const QString rows = DumpDatabase(Path("site.db"));
    OnDb("site.db", {QStringLiteral("validate"), QStringLiteral("--json")});
    EXPECT_EQ(DumpDatabase(Path("site.db")), rows);
}

TEST_F(VqadminSitesTest, ValidateAsJson) {
    ASSERT_EQ(OnDb("site.db", {QStringLiteral("import"), BinPath("demo-site.json")}).Status, 0);
    const TRun r = OnDb("site.db", {QStringLiteral("validate"), QStringLiteral("--json")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out.count(QLatin1Char('\n')), 1);
    EXPECT_TRUE(r.Out.startsWith(QLatin1String(
        "{\"profiles\":[{\"name\":\"Sales\",\"level\":\"none\",\"message\":\"\"},"
        "{\"name\":\"Warehouse\",\"level\":\"error\",\"message\":\"Invalid LAN Subnet mask\"},")))
        << r.Out.toStdString();
    const QJsonObject report = QJsonDocument::fromJson(r.Out.toUtf8()).object();
    const QJsonArray devices = report[QLatin1String("devices")].toArray();
    ASSERT_EQ(devices.size(), 9);
    EXPECT_EQ(devices[2].toObject()[QLatin1String("id")].toString(), "0001E1 000003");
    EXPECT_EQ(devices[2].toObject()[QLatin1String("profile")].toString(), "Sales");
    EXPECT_EQ(devices[2].toObject()[QLatin1String("level")].toString(), "error");
    EXPECT_EQ(devices[2].toObject()[QLatin1String("message")].toString(), "Invalid character \" \" in Device ID");
    EXPECT_EQ(devices[4].toObject()[QLatin1String("level")].toString(), "none");
}

TEST_F(VqadminSitesTest, ValidateAValidSiteAndADeviceWithoutProfile) {
    const QString file = Write("site.json", R"({
        "profiles": [{"name": "Sales", "settings": {"IPComm/DHCP": true}}],
        "devices": [{"profile": "Sales", "fields": {"UniqueID": "0001E1000001", "MacAddress": "00-01-E1-00-00-01"}}]})");
    ASSERT_EQ(OnDb("site.db", {QStringLiteral("import"), file}).Status, 0);
    TRun r = OnDb("site.db", {QStringLiteral("validate")});
    EXPECT_EQ(r.Status, 0) << r.Out.toStdString() << r.Err.toStdString();
    EXPECT_EQ(r.Out, "profile \"Sales\": ok\ndevice \"0001E1000001\": ok\n"
                     "1 profile and 1 device checked: 0 errors, 0 warnings\n");

    // A SIP phone cannot be checked without its profile: the module's failure
    // is that device's error, and the run goes on.
    const QString loose = Write("loose.json", R"({
        "devices": [{"fields": {"UniqueID": "0001E1000009", "MacAddress": "00-01-E1-00-00-09"}}]})");
    ASSERT_EQ(OnDb("loose.db", {QStringLiteral("import"), loose}).Status, 0);
    r = OnDb("loose.db", {QStringLiteral("validate"), QStringLiteral("--json")});
    EXPECT_EQ(r.Status, 1);
    const QJsonObject device =
        QJsonDocument::fromJson(r.Out.toUtf8()).object()[QLatin1String("devices")][0].toObject();
    EXPECT_TRUE(device[QLatin1String("profile")].isNull());
    EXPECT_EQ(device[QLatin1String("level")].toString(), "error");
    EXPECT_TRUE(device[QLatin1String("message")].toString().startsWith(QLatin1String("Assertion failure")))
        << r.Out.toStdString();
}

} // namespace
