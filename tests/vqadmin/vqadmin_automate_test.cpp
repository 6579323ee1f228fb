// The automation end to end, with the built plug-in: the exit statuses and
// the result lines a vqadmin automate script gets, a driver process (vqadmin
// utc) talking to a running vqadmin gui --automation, and what vqadmin export
// writes afterwards.

#include "HostRun.h"
#include "automation/UTCProtocol.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class VqadminAutomate : public TDemoSiteTest {
protected:
    using TDemoSiteTest::TDemoSiteTest;
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
    // The exported device's profile and these fields, one word each.
    static QString Stored(const QJsonObject &Device, const QStringList &Fields) {
        QStringList words{Device["profile"].toString()};
        for (const QString &field : Fields)
            words << Device["fields"][field].toString();
        return words.join(' ');
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
    EXPECT_EQ(Results("# nothing to do\n\n"), QStringList());

    const TRun stopped = Automate("\nconflict\nmodified\n");
    EXPECT_EQ(stopped.Status, 1);
    EXPECT_EQ(stopped.Out, "error: line 2: no dialog is open\n");

    const TRun missing = Vqadmin({"automate", "missing.txt"});
    EXPECT_EQ(missing.Status, 2);
    EXPECT_TRUE(missing.Err.contains("missing.txt: cannot read")) << missing.Err.toStdString();
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
    const QString out = Results("help\n"
                                "whatsthis\n"
                                "whatsthis\n"
                                "helpclick lvDevices\n"
                                "help\n"
                                "new device Sales\n"
                                "helpclick edMACAddress\n"
                                "helpclick stProfile\n"
                                "help\n"
                                "click btHelp\n"
                                "help\n")
                            .join('\n');
    // The popup's position first, then the topic: the device list's, the MAC address's,
    // and for a label the topic of its control, the profile list. The dialog's Help
    // button opens the dialog's topic.
    EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(
                                       "none\non\noff\nok\n13 \\d+; 8 1002\nok\nok\nok\n"
                                       "13 \\d+; 8 2102; 13 \\d+; 8 2100\nok\n1 2000"))
                    .match(out)
                    .hasMatch())
        << out.toStdString();
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
    EXPECT_EQ(Stored(ExportedDevice(ExportedSite(), "lab42"), {"MacAddress", "ProxyPassword", "AssignedIP", "Protocol"}),
              "Lab 00-01-E1-00-00-42 secret! 192.168.10.42 ptSIP");
}

TEST_F(VqadminAutomate, AnEditedDeviceThatTakesAnotherDevicesKeysIsRefused) {
    const QJsonObject before = ExportedSite();
    EXPECT_EQ(Results("open device 0001E1000010\n"
                      "type edMACAddress 00-01-E1-00-00-20\n"
                      "conflict\n"
                      "click cbIDLinkedToMAC\n"
                      "type edUniqueID home\n"
                      "conflict\n"
                      "apply\n"
                      "close\n"),
              QStringList({"ok", "00-01-E1-00-00-20",
                           "error: Device ID \"0001E1000020\" is already used by another device; MAC address "
                           "00-01-E1-00-00-20 is already used by device \"0001E1000020\"",
                           // The host's finding and the frame's, the more severe first.
                           "unchecked", "home",
                           "error: MAC address 00-01-E1-00-00-20 is already used by device \"0001E1000020\"; Device "
                           "ID equals to one of meta devices",
                           "refused", "ok"}));
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
    EXPECT_EQ(Stored(ExportedDevice(after, "0001E1000011"), {"MacAddress", "ProxyPassword", "AssignedIP"}),
              "Warehouse 00-01-E1-00-00-11 new! 192.168.10.33");
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
    QStringList stored;
    for (const char *id : {"wh1", "wh2", "wh3"})
        stored << Stored(ExportedDevice(after, id), {"MacAddress", "AssignedIP"});
    EXPECT_EQ(stored, QStringList({"Warehouse 00-01-E1-00-01-00 10.1.0.11", "Warehouse 00-01-E1-00-01-01 10.1.0.12",
                                   "Sales 00-01-E1-00-03-10 "}));
    EXPECT_EQ(after["devices"].toArray().size(), before["devices"].toArray().size() + 3);
}

// The name's own rules are the profile dialog's test.
TEST_F(VqadminAutomate, EditedAndNewProfilesAreWhatExportShows) {
    EXPECT_EQ(Results("open profile Lab\nname \"Lab 2\"\nmodified\nstate vqimLYN2SubnetMask\napply\nclose\n"
                      // The demo's front desk profile is in error: the frame refuses to apply it,
                      // and closing asks to save; the script answers the question.
                      "open profile \"Front Desk\"\nname Desk\napply\nconflict\ndialog DefaultButton\nanswer cancel\n"
                      "dialog Close\nmodified\nanswer no\ndialog Close\n"
                      "new profile\nname Lobby\nconflict\napply\nmodified\nclose\n"),
              QStringList({"ok", "Lab 2", "true", "text=255.255.255.0 enabled=true visible=false readonly=false",
                           "applied", "ok", "ok", "Desk", "refused",
                           "error: Invalid Default Gateway IP address: IP address 192.168.1.255 with a subnet mask of "
                           "255.255.255.0 is the Subnet's broadcast address and cannot be used as a host IP.",
                           "-1", "ok", "-1", "true", "ok", "0", "ok", "Lobby", "none", "applied", "false", "ok"}));
    const QJsonObject site = ExportedSite();
    EXPECT_TRUE(ExportedProfile(site, "Lab").isEmpty());
    EXPECT_EQ(ExportedProfile(site, "Lab 2")["settings"].toObject()["IPSettings/DNS"].toString(), "192.168.10.2");
    EXPECT_EQ(ExportedProfile(site, "Front Desk")["settings"].toObject()["IPSettings/TFTPAddress"].toString(),
              "192.168.1.5");
    // A new profile is of the plug-in's device type, with the model's defaults.
    const QJsonObject lobby = ExportedProfile(site, "Lobby");
    EXPECT_EQ(lobby["fields"].toObject()["DeviceType"].toString(), "LYN 2");
    EXPECT_TRUE(lobby["settings"].toObject()["IPComm/DHCP"].toBool());
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

// With the fake frames' plug-in, raising in the frame's handler of a key,
// inside the toolkit's event delivery. The failures of the other operations
// are the dialogs' tests.
TEST_F(VqadminAutomate, APluginFailureIsTheCommandsErrorAndChangesNothing) {
    const QString before = Vqadmin({"export"}).Out;
    qputenv("VQ_FAKE_THROW", "Typing");
    const TRun run = Automate("new device Sales\ntype edUniqueID x\n", {"--plugin", BinPath("fixtures/fakeframes.plg")});
    qunsetenv("VQ_FAKE_THROW");
    EXPECT_EQ(run.Out, "ok\nerror: line 2: Typing broke\n");
    EXPECT_EQ(run.Status, 1) << run.Err.toStdString();
    EXPECT_EQ(Vqadmin({"export"}).Out, before);
}

// A host with its automation endpoint, offscreen, for as long as the test runs.
class VqadminEndpoint : public VqadminAutomate {
protected:
    explicit VqadminEndpoint(bool OnServer = false) : VqadminAutomate(OnServer), Socket(Dir.filePath("automation")) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        Host.setProcessEnvironment(env);
        Host.setWorkingDirectory(Dir.path());
        Host.start(BinPath("vqadmin"), {"--db", Site, "gui", "--automation", Socket});
        EXPECT_TRUE(Host.waitForStarted());
        // The socket appears once the host listens.
        const QDeadlineTimer deadline(20000);
        while (!QFile::exists(Socket) && !deadline.hasExpired() && Host.state() == QProcess::Running)
            QThread::msleep(50);
        EXPECT_TRUE(QFile::exists(Socket)) << Host.readAllStandardError().toStdString();
    }
    ~VqadminEndpoint() override {
        Host.kill();
        Host.waitForFinished();
    }
    // One command to the running host, for the window with that handle (0:
    // the active one); its printed result, or "status N: ERROR".
    QString Send(const QStringList &Words, uint32_t Window = 0) {
        const QStringList wid = Window ? QStringList{"--wid", QString::number(Window)} : QStringList{};
        const TRun run = RunVqadmin(QStringList{"utc"} + wid + QStringList{Socket} + Words, Dir.path());
        if (run.Status != 0)
            return QStringLiteral("status %1: %2").arg(run.Status).arg(run.Err.trimmed());
        return run.Out.chopped(1);
    }

    QString Socket;
    QProcess Host;
};

TEST_F(VqadminEndpoint, ADriverProcessRunsCommandsOnTheRunningHost) {
    // The main window: its device list, and a dialog it opens.
    EXPECT_EQ(Send({"table-find", "", "DeviceID", "0001E1000002"}), "true");
    EXPECT_EQ(Send({"table-get", "", "Profile"}), "Lab");
    EXPECT_EQ(Send({"table-set", "", "MAC", "x"}), "false"); // the list's columns take no text
    EXPECT_EQ(Send({"command", "NewDevice", "Nowhere"}), "-1");
    const QString dialog = Send({"command", "NewDevice", "Sales"});
    ASSERT_NE(dialog.toInt(), -1) << dialog.toStdString();
    ASSERT_NE(dialog.toInt(), 0) << dialog.toStdString();

    // Window 0 is now the dialog; its settings reach the plug-in's frame.
    EXPECT_EQ(Send({"set", "UseMACAsID", "false"}), "true");
    EXPECT_EQ(Send({"set", "DeviceID", "driven"}), "true");
    EXPECT_EQ(Send({"set", "MAC", "00-01-E1-00-00-77"}), "true");
    // The password takes no such letter: what the edit shows is not the value.
    EXPECT_EQ(Send({"set", "Password", "caf\u00e9"}), "false");
    EXPECT_EQ(Send({"set", "Password", "s3cret"}), "true");
    EXPECT_EQ(Send({"set", "Nope", "1"}), "false");
    EXPECT_EQ(Send({"get", "DeviceID"}), "Error!!!");
    // The handle a command returned names the same window.
    EXPECT_EQ(Send({"set", "IP", "10.0.0.77"}, uint32_t(dialog.toInt())), "true");
    EXPECT_EQ(Send({"command", "DefaultButton"}), "0");
    EXPECT_EQ(Send({"command", "CancelButton"}), "0");

    // The dialog is gone: the main window again.
    EXPECT_EQ(Send({"command", "Close"}, 12345), "status 1: vqadmin: no window or wrapper for the command");

    // The profile dialog likewise. One the frame refuses to apply is left
    // through the save question, whose handle closing answers.
    EXPECT_EQ(Send({"command", "EditProfile", "Nowhere"}), "-1");
    ASSERT_GT(Send({"command", "EditProfile", "Front Desk"}).toInt(), 0);
    EXPECT_EQ(Send({"set", "NTPServer", "192.168.1.123"}), "true");
    EXPECT_EQ(Send({"command", "DefaultButton"}), "-1");
    EXPECT_EQ(Send({"command", "CancelButton"}), "-1");
    ASSERT_GT(Send({"command", "Close"}).toInt(), 0);
    EXPECT_EQ(Send({"command", "No"}), "0");
    ASSERT_GT(Send({"command", "NewProfile"}).toInt(), 0);
    ASSERT_GT(Send({"command", "Close"}).toInt(), 0);
    EXPECT_EQ(Send({"command", "No"}), "0");
    EXPECT_EQ(Send({"sideways", "x"}).section(':', 0, 0), "status 2");

    Host.kill();
    Host.waitForFinished();
    const QJsonObject site = ExportedSite();
    EXPECT_EQ(Stored(ExportedDevice(site, "driven"), {"MacAddress", "ProxyPassword", "AssignedIP"}),
              "Sales 00-01-E1-00-00-77 s3cret 10.0.0.77");
    EXPECT_FALSE(QJsonDocument(site).toJson().contains("192.168.1.123"));
}

// Which requests are malformed is the decoding's test.
TEST_F(VqadminEndpoint, WhatIsNotARequestIsAnsweredByClosingAndTheHostGoesOn) {
    QLocalSocket socket;
    socket.connectToServer(Socket);
    ASSERT_TRUE(socket.waitForConnected(5000));
    socket.write(QByteArray("\x0e\0\0\0\x09\0\0\0\0\0\0\0a\0b\0c\0", 18)); // kind 9
    socket.waitForBytesWritten(5000);
    if (socket.state() == QLocalSocket::ConnectedState)
        socket.waitForDisconnected(10000);
    EXPECT_EQ(socket.state(), QLocalSocket::UnconnectedState);
    EXPECT_TRUE(socket.readAll().isEmpty());
    EXPECT_EQ(Send({"table-find", "", "DeviceID", "0001E1000002"}), "true");
}

// Closing the main window asks to save the open dialog's changes first, and Cancel
// keeps the host running. While it asks, the closing command runs: a byte more on
// its connection closes it, and so does a request not sent whole in time.
TEST_F(VqadminEndpoint, ClosingAsksTheOpenDialogFirstAndAConnectionHoldsOneRequest) {
    const auto connected = [&](QLocalSocket &Connection, const QByteArray &Bytes) {
        Connection.connectToServer(Socket);
        EXPECT_TRUE(Connection.waitForConnected(5000));
        Connection.write(Bytes);
        EXPECT_TRUE(Connection.waitForBytesWritten(5000));
    };
    const auto closed = [](QLocalSocket &Connection) {
        if (Connection.state() == QLocalSocket::ConnectedState)
            Connection.waitForDisconnected(20000);
        return Connection.state() == QLocalSocket::UnconnectedState && Connection.readAll().isEmpty();
    };
    // The offscreen platform numbers windows from 1, the main window first.
    const QByteArray closeMainWindow = EncodeUTCRequest({utc_command, 1, "Close", {}, {}});
    // Once the host asks, the active window is its question, which takes no settings.
    const auto asking = [&] {
        const QDeadlineTimer deadline(20000);
        while (Send({"set", "DeviceID", "unsaved"}) == "true" && !deadline.hasExpired()) {
        }
        return !deadline.hasExpired();
    };
    QLocalSocket idle, running;
    connected(idle, closeMainWindow.left(5));
    ASSERT_GT(Send({"command", "NewDevice", "Sales"}).toInt(), 0);
    ASSERT_EQ(Send({"set", "DeviceID", "unsaved"}), "true");

    connected(running, closeMainWindow);
    ASSERT_TRUE(asking());
    running.write("x");
    running.waitForBytesWritten(5000);
    EXPECT_TRUE(closed(running));
    EXPECT_EQ(Send({"command", "Cancel"}), "0"); // the question

    QProcess closing;
    closing.start(BinPath("vqadmin"), {"utc", "--wid", "1", Socket, "command", "Close"});
    ASSERT_TRUE(asking());
    EXPECT_EQ(Send({"command", "Cancel"}), "0");
    ASSERT_TRUE(closing.waitForFinished(20000));
    EXPECT_EQ(closing.readAllStandardOutput(), "-1\n"); // not closed
    EXPECT_EQ(Send({"set", "DeviceID", "kept"}), "true");
    EXPECT_TRUE(closed(idle));
    EXPECT_EQ(Host.state(), QProcess::Running);
}

// Another administrator on the same site: vqadmin automate, reading each
// command as it comes and answering it before the next.
class TAutomateSession {
public:
    TAutomateSession(const QTemporaryDir &Dir, const QString &Site) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        FHost.setProcessEnvironment(env);
        FHost.setWorkingDirectory(Dir.path());
        FHost.start(BinPath("vqadmin"), {"--db", Site, "automate"});
    }
    ~TAutomateSession() {
        FHost.closeWriteChannel();
        FHost.waitForFinished();
    }
    QString Say(const QByteArray &Command) {
        FHost.write(Command + '\n');
        const QDeadlineTimer deadline(20000);
        while (!FHost.canReadLine() && FHost.waitForReadyRead(int(deadline.remainingTime()))) {
        }
        return QString::fromUtf8(FHost.readLine()).trimmed();
    }

private:
    QProcess FHost;
};

// The same in an SQLite file and on a PostgreSQL server.
class VqadminTwoHosts : public VqadminEndpoint, public ::testing::WithParamInterface<bool> {
protected:
    VqadminTwoHosts() : VqadminEndpoint(GetParam()) {}
};

// Two hosts on one site: the later Apply over the same device is refused
// and loses nothing; different devices and new devices go through on both;
// of imports at once, each is stored whole or not at all.
TEST_P(VqadminTwoHosts, OverwriteNothingTheOtherStored) {
    const QString demoExport = Vqadmin({"export"}).Out;
    TAutomateSession other(Dir, Site);
    EXPECT_EQ(other.Say("open device 0001E1000030"), "ok");
    ASSERT_GT(Send({"command", "EditDevice", "0001E1000030"}).toInt(), 0);
    EXPECT_EQ(Send({"set", "UseMACAsID", "false"}), "true");
    EXPECT_EQ(Send({"set", "MAC", "00-01-E1-00-00-99"}), "true");
    EXPECT_EQ(Send({"set", "IP", "192.168.10.99"}), "true");
    EXPECT_EQ(Send({"command", "DefaultButton"}), "0");
    EXPECT_EQ(other.Say("set Password theirs"), "true");
    EXPECT_EQ(other.Say("apply"), "refused");
    EXPECT_EQ(other.Say("conflict"), "error: Device 0001E1000030 was changed by another session since you opened it: "
                                     "MAC address, LAN IP");
    EXPECT_EQ(Stored(ExportedDevice(ExportedSite(), "0001E1000030"), {"ProxyPassword"}), "Lab lyn2");
    // Reloaded, the other's Apply goes over the stored device.
    EXPECT_EQ(other.Say("click btReload"), "ok");
    EXPECT_EQ(other.Say("set Password theirs"), "true");
    EXPECT_EQ(other.Say("apply"), "applied");
    EXPECT_EQ(other.Say("close"), "ok");
    EXPECT_EQ(Send({"command", "CancelButton"}), "0");

    EXPECT_EQ(other.Say("open device 0001E1000010"), "ok");
    ASSERT_GT(Send({"command", "EditDevice", "0001E1000020"}).toInt(), 0);
    EXPECT_EQ(other.Say("set Password w10"), "true");
    EXPECT_EQ(Send({"set", "Password", "f20"}), "true");
    EXPECT_EQ(Send({"command", "DefaultButton"}), "0");
    EXPECT_EQ(other.Say("apply"), "applied");
    EXPECT_EQ(other.Say("close"), "ok");
    EXPECT_EQ(Send({"command", "CancelButton"}), "0");

    // Two new devices at once take their IDs as they are stored.
    EXPECT_EQ(other.Say("new device Sales"), "ok");
    ASSERT_GT(Send({"command", "NewDevice", "Sales"}).toInt(), 0);
    EXPECT_EQ(other.Say("set UseMACAsID false"), "true");
    EXPECT_EQ(other.Say("set DeviceID theirs"), "true");
    EXPECT_EQ(other.Say("set MAC 00-01-E1-00-00-A1"), "true");
    EXPECT_EQ(Send({"set", "UseMACAsID", "false"}), "true");
    EXPECT_EQ(Send({"set", "DeviceID", "ours"}), "true");
    EXPECT_EQ(Send({"set", "MAC", "00-01-E1-00-00-A2"}), "true");
    EXPECT_EQ(other.Say("apply"), "applied");
    EXPECT_EQ(Send({"command", "DefaultButton"}), "0");
    EXPECT_EQ(other.Say("close"), "ok");
    EXPECT_EQ(Send({"command", "CancelButton"}), "0");
    // The window follows the other's change without being asked.
    const QDeadlineTimer deadline(20000);
    while (Send({"table-find", "", "DeviceID", "theirs"}) != "true" && !deadline.hasExpired())
        QThread::msleep(50);
    EXPECT_EQ(Send({"table-get", "", "MAC"}), "00-01-E1-00-00-A1");

    // A profile the same, its settings named by their labels.
    EXPECT_EQ(other.Say("open profile Lab"), "ok");
    ASSERT_GT(Send({"command", "EditProfile", "Lab"}).toInt(), 0);
    EXPECT_EQ(Send({"set", "RingTone", "3"}), "true");
    EXPECT_EQ(Send({"command", "DefaultButton"}), "0");
    EXPECT_EQ(other.Say("name 'Lab 2'"), "Lab 2");
    EXPECT_EQ(other.Say("apply"), "refused");
    EXPECT_EQ(other.Say("conflict"), "error: Profile Lab was changed by another session since you opened it: ring tone");

    const QJsonObject site = ExportedSite();
    EXPECT_EQ(Stored(ExportedDevice(site, "0001E1000030"), {"MacAddress", "AssignedIP", "ProxyPassword"}),
              "Lab 00-01-E1-00-00-99 192.168.10.99 theirs");
    EXPECT_EQ(Stored(ExportedDevice(site, "0001E1000010"), {"ProxyPassword"}), "Warehouse w10");
    EXPECT_EQ(Stored(ExportedDevice(site, "0001E1000020"), {"ProxyPassword"}), "Front Desk f20");
    EXPECT_EQ(Stored(ExportedDevice(site, "theirs"), {"MacAddress"}), "Sales 00-01-E1-00-00-A1");
    EXPECT_EQ(Stored(ExportedDevice(site, "ours"), {"MacAddress"}), "Sales 00-01-E1-00-00-A2");

    // Twenty imports at once, each of the demo site with its own domain and
    // passwords: the site is one of them, whole.
    const auto variant = [](QString Text, int I) {
        return Text.replace("pbx.example.com", QStringLiteral("pbx%1.example.com").arg(I))
            .replace("\"lyn2\"", QStringLiteral("\"pw%1\"").arg(I));
    };
    QFile demo(BinPath("demo-site.json"));
    ASSERT_TRUE(demo.open(QIODevice::ReadOnly));
    const QString demoSite = QString::fromUtf8(demo.readAll());
    std::vector<std::unique_ptr<QProcess>> imports;
    for (int i = 0; i < 20; ++i) {
        QFile file(Dir.filePath(QStringLiteral("site%1.json").arg(i)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(variant(demoSite, i).toUtf8());
        file.close();
        imports.push_back(std::make_unique<QProcess>());
        imports.back()->start(BinPath("vqadmin"), {"--db", Site, "import", file.fileName()});
    }
    for (const auto &import : imports) // stored, or refused when it waited too long for the others
        EXPECT_TRUE(import->waitForFinished(120000) && (import->exitCode() == 0 || import->exitCode() == 2));
    const QString exported = Vqadmin({"export"}).Out;
    const int i = QRegularExpression(QStringLiteral("pbx(\\d+)\\.example")).match(exported).captured(1).toInt();
    EXPECT_EQ(exported, variant(demoExport, i));
}

INSTANTIATE_TEST_SUITE_P(, VqadminTwoHosts, ::testing::Values(false, true),
                         [](const auto &Info) { return Info.param ? "PostgreSQL" : "SQLite"; });

TEST(VqadminUTCClient, AHostThatIsNotThereOrATextOutsideTheCodePageIsAFailure) {
    QTemporaryDir dir;
    const TRun run = RunVqadmin({"utc", dir.filePath("none"), "get", "x"});
    EXPECT_EQ(run.Status, 2);
    EXPECT_TRUE(run.Err.contains("cannot connect")) << run.Err.toStdString();
    // Refused before it is sent, rather than arriving as "??".
    const TRun foreign = RunVqadmin({"utc", dir.filePath("none"), "set", "DeviceID", "caf\u00e9\u65e5\u672c"});
    EXPECT_EQ(foreign.Status, 2);
    EXPECT_TRUE(foreign.Err.contains("the character \u65e5 (U+65E5) is not in the host's code page"))
        << foreign.Err.toStdString();
}

} // namespace
