// vqadmin automate end to end, with the built plug-in: the exit statuses and
// the result lines a script gets, and what the database holds afterwards.

#include "HostRun.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class VqadminAutomate : public TDemoSiteTest {
protected:
    // What vqadmin export writes, read as JSON.
    QJsonObject ExportedSite() {
        const TRun run = Vqadmin({"export"});
        EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
        return QJsonDocument::fromJson(run.Out.toUtf8()).object();
    }
    // The exported object of the device or profile whose key field has that value; empty when none has.
    static QJsonObject Find(const QJsonObject &Site, const char *List, const char *Key, const QString &Value) {
        for (const QJsonValue &v : Site[QLatin1String(List)].toArray()) {
            const QJsonObject o = v.toObject();
            if ((o.contains(QLatin1String(Key)) ? o[QLatin1String(Key)] : o["fields"].toObject()[QLatin1String(Key)])
                    .toString() == Value)
                return o;
        }
        return {};
    }
    static QJsonObject ExportedDevice(const QJsonObject &Site, const QString &UniqueID) {
        return Find(Site, "devices", "UniqueID", UniqueID);
    }
    static QJsonObject ExportedProfile(const QJsonObject &Site, const QString &Name) {
        return Find(Site, "profiles", "name", Name);
    }
    // The script's result lines; a failed script adds its standard error.
    QStringList Results(const QByteArray &Script) {
        const TRun run = Automate(Script);
        QStringList lines = run.Out.split('\n');
        lines.removeLast();
        if (run.Status != 0)
            lines << QStringLiteral("status %1: %2").arg(run.Status).arg(run.Err);
        return lines;
    }
};

TEST_F(VqadminAutomate, StatusesTellScriptErrorsFromUsageErrors) {
    const TRun empty = Automate("# nothing to do\n\n");
    EXPECT_EQ(empty.Status, 0);
    EXPECT_EQ(empty.Out, "");

    const TRun stopped = Automate("\nconflict\nmodified\n");
    EXPECT_EQ(stopped.Status, 1);
    EXPECT_EQ(stopped.Out, "error: line 2: no dialog is open\n");

    const TRun missing = Vqadmin({"automate", "missing.txt"});
    EXPECT_EQ(missing.Status, 2);
    EXPECT_TRUE(missing.Err.contains("missing.txt: cannot read")) << missing.Err.toStdString();

    const TRun usage = Vqadmin({"automate", "a", "b"});
    EXPECT_EQ(usage.Status, 2);
    EXPECT_TRUE(usage.Err.contains("usage: vqadmin")) << usage.Err.toStdString();
}

// A MAC address in any form, a LAN IP, a profile's name or a device ID begins the rows shown.
TEST_F(VqadminAutomate, TheFilterNarrowsTheDeviceListThatTheTableCommandsSee) {
    EXPECT_EQ(Results("table-count\n"
                      "table-count lvProfiles\n"
                      "filter 00:01:e1:00:00:0\n"
                      "filter 192.168.1\n"
                      "filter Front\n"
                      "table-find DeviceID 0001E1000020\n"
                      "table-count\n"
                      "filter 0001E1000002\n"
                      "filter ''\n"),
              QStringList({"9", "4", "4", "4", "1", "true", "1", "2", "9"}));
}

TEST_F(VqadminAutomate, WhatsThisAsksTheHostsHelpForTheClickedControl) {
    const TRun run = Automate("help\n"
                              "whatsthis\n"
                              "whatsthis\n"
                              "helpclick lvDevices\n"
                              "help\n"
                              "new device Sales\n"
                              "helpclick edMACAddress\n"
                              "helpclick stProfile\n"
                              "help\n"
                              "click btHelp\n"
                              "help\n");
    EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
    // The popup's position first, then the topic: the device list's, the MAC address's,
    // and for a label the topic of its control, the profile list. The dialog's Help
    // button opens the dialog's topic.
    const QStringList expected = {"none", "on", "off", "ok", "13 \\d+; 8 1002", "ok", "ok", "ok",
                                  "13 \\d+; 8 2102; 13 \\d+; 8 2100", "ok", "1 2000", ""};
    const QStringList lines = run.Out.split('\n');
    ASSERT_EQ(lines.size(), expected.size()) << run.Out.toStdString();
    for (qsizetype i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(expected[i])).match(lines[i]).hasMatch())
            << lines[i].toStdString();
}

// ---- the LYN 2 plug-in's frames ----
// Each script runs on a fresh copy of the demo site; what it prints and what
// export writes afterwards are the user's view.

TEST_F(VqadminAutomate, ANewDeviceLinkedToItsMACWithPasswordAndLANIP) {
    EXPECT_EQ(Results("new device Lab\n"
                      "state cbIDLinkedToMAC\n"
                      "modified\n"
                      "type edMACAddress 00-01-E1-00-00-42\n"
                      "state edUniqueID\n"
                      "conflict\n"
                      "click cbIDLinkedToMAC\n"
                      "type edUniqueID lab42\n"
                      "type edProxyPassword \"se cret!\"\n"
                      "type vqipIP 192.168.10.42\n"
                      "conflict\n"
                      "apply\n"
                      "modified\n"
                      "close\n"),
              QStringList({"ok", "text=&Use MAC Address as Device ID enabled=true visible=true checked=true", "true",
                           "00-01-E1-00-00-42", "text=0001E1000042 enabled=false visible=true readonly=false",
                           // The profile gives no LAN IP by DHCP.
                           "error: Invalid LAN IP address", "unchecked", "lab42",
                           // A space is not in the password's character set.
                           "secret!", "192.168.10.42", "none", "applied", "false", "ok"}));
    const QJsonObject device = ExportedDevice(ExportedSite(), "lab42");
    EXPECT_EQ(device["profile"].toString(), "Lab");
    const QJsonObject fields = device["fields"].toObject();
    EXPECT_EQ(fields["MacAddress"].toString(), "00-01-E1-00-00-42");
    EXPECT_EQ(fields["ProxyPassword"].toString(), "secret!");
    EXPECT_EQ(fields["AssignedIP"].toString(), "192.168.10.42");
    EXPECT_EQ(fields["Protocol"].toString(), "ptSIP");
}

TEST_F(VqadminAutomate, AnEditedDeviceThatTakesAnotherDevicesKeysIsRefused) {
    const QJsonObject before = ExportedSite();
    EXPECT_EQ(Results("open device 0001E1000010\n"
                      "type edMACAddress 00-01-E1-00-00-20\n"
                      "conflict\n"
                      "click cbIDLinkedToMAC\n"
                      "type edUniqueID home\n"
                      "conflict\n"
                      // Only hexadecimal digits enter, however they come.
                      "paste edMACAddress 00-01-E1-00-00-GG\n"
                      "set MAC zz-zz-zz-zz-zz-zz\n"
                      "type edMACAddress ab\n"
                      "apply\n"
                      "close\n"),
              QStringList({"ok", "00-01-E1-00-00-20",
                           "error: Device ID \"0001E1000020\" is already used by another device; MAC address "
                           "00-01-E1-00-00-20 is already used by device \"0001E1000020\"",
                           // The host's finding and the frame's, the more severe first.
                           "unchecked", "home",
                           "error: MAC address 00-01-E1-00-00-20 is already used by device \"0001E1000020\"; Device "
                           "ID equals to one of meta devices",
                           "00-01-E1-00-00-__", "false", "AB-__-__-__-__-__", "refused", "ok"}));
    EXPECT_EQ(ExportedSite(), before);

    // The ID follows the MAC address it is linked to; cleared fields take what is typed then.
    EXPECT_EQ(Results("open device 0001E1000010\n"
                      "clear edMACAddress\n"
                      "type edMACAddress 00-01-E1-00-00-11\n"
                      "leave edMACAddress\n"
                      "state edUniqueID\n"
                      "clear edProxyPassword\n"
                      "type edProxyPassword new!\n"
                      "clear vqipIP\n"
                      "type vqipIP 192.168.10.33\n"
                      "apply\n"
                      "close\n"),
              QStringList({"ok", "__-__-__-__-__-__", "00-01-E1-00-00-11", "00-01-E1-00-00-11",
                           "text=0001E1000011 enabled=false visible=true readonly=false", "", "new!", "",
                           "192.168.10.33", "applied", "ok"}));
    const QJsonObject after = ExportedSite();
    EXPECT_TRUE(ExportedDevice(after, "0001E1000010").isEmpty());
    const QJsonObject device = ExportedDevice(after, "0001E1000011");
    EXPECT_EQ(device["profile"].toString(), "Warehouse");
    const QJsonObject fields = device["fields"].toObject();
    EXPECT_EQ(fields["MacAddress"].toString(), "00-01-E1-00-00-11");
    EXPECT_EQ(fields["ProxyPassword"].toString(), "new!");
    EXPECT_EQ(fields["AssignedIP"].toString(), "192.168.10.33");
    EXPECT_EQ(after["devices"].toArray().size(), before["devices"].toArray().size());
}

TEST_F(VqadminAutomate, ARangeIsCreatedWholeOrNotAtAll) {
    const QJsonObject before = ExportedSite();
    // The Warehouse's phones have fixed LAN IP addresses: each next one the next.
    EXPECT_EQ(Results("new range Warehouse\n"
                      "conflict\n"
                      "type edUniqueID wh\n"
                      "type edMACAddress 00-01-E1-00-01-00\n"
                      "key seCount Up\n"
                      "apply\n"
                      "conflict\n"
                      "type edFirstIP 10.1.0.9\n"
                      "apply\n"
                      "conflict\n"
                      "type edFirstIP 10.1.0.11\n"
                      "apply\n"),
              QStringList({"ok", "error: Device prefix is empty", "wh", "00-01-E1-00-01-00", "2", "refused",
                           "error: First LAN IP address is empty", "10.1.0.9", "refused",
                           "error: LAN IP address 10.1.0.10 of device \"wh2\" is already used by device "
                           "\"0001E1000010\"",
                           "10.1.0.11", "applied"}));

    // The next range's start number follows its prefix even when it was
    // typed while the MAC address was incomplete.
    EXPECT_EQ(Results("new range Sales\n"
                      "type edMACAddress 00-01-E1-00-03\n"
                      "type edUniqueID wh\n"
                      "type edMACAddress 00-01-E1-00-03-10\n"
                      "state vqseStartNumber\n"
                      "apply\n"),
              QStringList({"ok", "00-01-E1-00-03-__", "wh", "00-01-E1-00-03-10",
                           "text=3 enabled=true visible=true readonly=false", "applied"}));
    const QJsonObject after = ExportedSite();
    const QStringList ids = {"wh1", "wh2", "wh3"};
    const QStringList macs = {"00-01-E1-00-01-00", "00-01-E1-00-01-01", "00-01-E1-00-03-10"};
    const QStringList ips = {"10.1.0.11", "10.1.0.12", ""};
    for (int i = 0; i < ids.size(); ++i) {
        const QJsonObject device = ExportedDevice(after, ids[i]);
        EXPECT_EQ(device["profile"].toString(), i < 2 ? "Warehouse" : "Sales") << i;
        EXPECT_EQ(device["fields"].toObject()["MacAddress"].toString(), macs[i]) << i;
        EXPECT_EQ(device["fields"].toObject()["AssignedIP"].toString(), ips[i]) << i;
    }
    EXPECT_EQ(after["devices"].toArray().size(), before["devices"].toArray().size() + ids.size());
}

// Profile edits: each row edits one profile and names what export must show
// afterwards. Rows for the controls of the profile frame's pages go here.
TEST_F(VqadminAutomate, AnEditedProfileIsWhatExportShows) {
    struct TCase {
        const char *Profile;
        QByteArray Commands; // after the dialog opened
        QStringList Results;
        const char *Name;    // the profile's name in the export afterwards
        const char *Setting; // a setting of the export and its value, or none
        QJsonValue Value;
    } cases[] = {
        {"Lab",
         "name \"Lab 2\"\nmodified\nstate vqimLYN2SubnetMask\napply\n",
         {"Lab 2", "true", "text=255.255.255.0 enabled=true visible=false readonly=false", "applied"},
         "Lab 2", "IPSettings/DNS", "192.168.10.2"},
        // The demo's front desk profile is in error: the frame refuses to apply it,
        // and closing asks to save; the script answers the question.
        {"Front Desk",
         "name Desk\napply\nconflict\ndialog DefaultButton\nanswer cancel\ndialog Close\nmodified\nanswer no\n"
         "dialog Close\nnew device Sales\n",
         {"Desk", "refused",
          "error: Invalid Default Gateway IP address: IP address 192.168.1.255 with a subnet mask of 255.255.255.0 "
          "is the Subnet's broadcast address and cannot be used as a host IP.",
          "-1", "ok", "-1", "true", "ok", "0", "ok"},
         "Front Desk", "IPSettings/TFTPAddress", "192.168.1.5"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Profile);
        const QByteArray script = "open profile \"" + QByteArray(c.Profile) + "\"\n" + c.Commands + "close\n";
        EXPECT_EQ(Results(script), QStringList({"ok"}) + c.Results + QStringList({"ok"}));
        const QJsonObject site = ExportedSite();
        EXPECT_TRUE(ExportedProfile(site, c.Profile).isEmpty() || QLatin1String(c.Profile) == c.Name);
        const QJsonObject profile = ExportedProfile(site, c.Name);
        ASSERT_FALSE(profile.isEmpty());
        if (c.Setting) {
            EXPECT_EQ(profile["settings"].toObject()[QLatin1String(c.Setting)], c.Value);
        }
    }
}

// The name's own rules are the profile dialog's test.
TEST_F(VqadminAutomate, ANewProfileTakesTheModelsDefaults) {
    EXPECT_EQ(Results("new profile\nname Lobby\nconflict\napply\nmodified\nclose\n"),
              QStringList({"ok", "Lobby", "none", "applied", "false", "ok"}));
    const QJsonObject profile = ExportedProfile(ExportedSite(), "Lobby");
    ASSERT_FALSE(profile.isEmpty());
    EXPECT_EQ(profile["fields"].toObject()["DeviceType"].toString(), "LYN 2");
    EXPECT_EQ(profile["fields"].toObject()["IsDefault"].toBool(), false);
    const QJsonObject settings = profile["settings"].toObject();
    EXPECT_EQ(settings["SIP/Proxies/MainProxy/Port"].toInt(), 5060);
    EXPECT_EQ(settings["IPComm/DHCP"].toBool(), true);
}

// The commands that type Text key by key where the focus is, and the lines they print.
QByteArray Keys(const QString &Text) {
    QByteArray script;
    for (QChar c : Text)
        script += "press " + QByteArray(1, c.toLatin1()) + "\n";
    return script;
}
QStringList Repeated(const QString &Line, qsizetype Count) { return QStringList(Count, Line); }

TEST_F(VqadminAutomate, KeysAloneMakeADeviceARangeAndAProfileEditOnEveryPage) {
    // Access keys lead to the fields, Alt+A applies (a created range closes its dialog), Escape closes.
    EXPECT_EQ(Results("new device Sales\nfocus\npress Alt+M\n" + Keys("0001e1000042") + "press Tab\n" +
                      Keys("s3cret") + "press Alt+A\nmodified\npress Escape\n"),
              QStringList({"ok", "cbProfile", "edMACAddress"}) + Repeated("edMACAddress", 12) +
                  Repeated("edProxyPassword", 8) + QStringList({"false", "none"}));
    EXPECT_EQ(Results("new range Sales\npress Alt+D\n" + Keys("rack") + "press Alt+M\n" + Keys("0001e1000100") +
                      "press Alt+V\npress Up\npress Alt+A\n"),
              QStringList({"ok"}) + Repeated("edUniqueID", 5) + Repeated("edMACAddress", 13) +
                  Repeated("seCount", 3));
    // Ctrl+Tab opens the next page with the focus in its first control.
    EXPECT_EQ(Results("open profile Warehouse\nfocus\npress Alt+R\npress Up\npress Ctrl+Tab\npress Alt+I\n"
                      "press Up\npress Ctrl+Tab\npress Alt+B\npress Up\npress Ctrl+Tab\npress Space\n"
                      "press Alt+A\nmodified\n"),
              QStringList({"ok", "edName", "vqseLYN2RingTone", "vqseLYN2RingTone", "cbLYN2TransportProtocol",
                           "vqseLYN2InviteRetrans", "vqseLYN2InviteRetrans", "chbLYN2EnableDHCP",
                           "vqimLYN2SubnetMask", "vqimLYN2SubnetMask", "chbLYN2EnableVLAN", "chbLYN2EnableVLAN",
                           "chbLYN2EnableVLAN", "false"}));
    const QJsonObject site = ExportedSite();
    EXPECT_EQ(ExportedDevice(site, "0001E1000042")["fields"].toObject()["ProxyPassword"].toString(), "s3cret");
    EXPECT_EQ(ExportedDevice(site, "rack2")["fields"].toObject()["MacAddress"].toString(), "00-01-E1-00-01-01");
    const QJsonObject settings = ExportedProfile(site, "Warehouse")["settings"].toObject();
    EXPECT_EQ(settings["General/Audio/RingTone"].toInt(), 2);
    EXPECT_EQ(settings["SIP/RetransInvite"].toInt(), 5);
    EXPECT_EQ(settings["IPSettings/SubnetMask"].toInteger(), 0xFFFFFF80); // 255.255.255.128
    EXPECT_EQ(settings["VLAN/VLANtag"].toInt(), 0);                      // switched on
}

// With the fake frames' plug-in, whose failures the test chooses.
class VqadminAutomateFakeFrames : public VqadminAutomate {
protected:
    ~VqadminAutomateFakeFrames() override { qunsetenv("VQ_FAKE_THROW"); }
    TRun AutomateFake(const QByteArray &Script, const char *Throw = "") {
        qputenv("VQ_FAKE_THROW", Throw);
        QFile file(Dir.filePath("script.txt"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Script);
        file.close();
        return Vqadmin({"--plugin", BinPath("fixtures/fakeframes.plg"), "automate", file.fileName()});
    }
    QString Exported() { return Vqadmin({"export"}).Out; }
};

// The failures of the other operations are the dialogs' tests.
TEST_F(VqadminAutomateFakeFrames, APluginFailureIsTheCommandsErrorAndChangesNothing) {
    struct TCase {
        const char *Throw;
        QByteArray Script;
        QString Out;
    } cases[] = {
        {"CreateDeviceFrame", "new device Sales\n", "error: line 1: CreateDeviceFrame broke\n"},
        // Raised in the frame's handler of a key, inside the toolkit's event delivery.
        {"Typing", "new device Sales\ntype edUniqueID x\n", "ok\nerror: line 2: Typing broke\n"},
    };
    const QString before = Exported();
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Throw);
        const TRun run = AutomateFake(c.Script, c.Throw);
        EXPECT_EQ(run.Out, c.Out);
        EXPECT_EQ(run.Status, 1) << run.Err.toStdString();
        EXPECT_EQ(Exported(), before);
    }
}

} // namespace
