// The automation commands of the built host with the built plug-in, end to
// end: vqadmin automate's set, get, command, dialog and table commands, and a
// driver process (vqadmin utc) talking to a running vqadmin gui --automation.
// What counts is what the commands print and what vqadmin export writes.

#include "HostRun.h"
#include "automation/UTCProtocol.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class VqadminUTC : public TDemoSiteTest {
protected:
    // The exported device with that ID's fields, empty when there is none.
    QJsonObject ExportedDevice(const QString &UniqueID) {
        const TRun exported = Vqadmin({"export"});
        EXPECT_EQ(exported.Status, 0) << exported.Err.toStdString();
        const QJsonArray devices = QJsonDocument::fromJson(exported.Out.toUtf8())["devices"].toArray();
        for (const QJsonValue &device : devices)
            if (device["fields"]["UniqueID"] == UniqueID)
                return device["fields"].toObject();
        return {};
    }
};

// What the names store the driver's test below finds in the export; here, automate's own answers.
TEST_F(VqadminUTC, AutomateSetsTheDeviceFrameByNamesAndTheHostStoresIt) {
    const TRun run = Automate("new device Sales\n"
                              "set UseMACAsID False\n"
                              "set DeviceID ext42\n"
                              "set MAC 00-01-E1-00-00-42\n"
                              // Names are exact; the frame's wrapper reads nothing back.
                              "set deviceid x\n"
                              "set Bogus 1\n"
                              "get DeviceID\n"
                              // The frame is no form.
                              "command Close\n"
                              "state edUniqueID\n"
                              "dialog Bogus\n"
                              "dialog DefaultButton\n"
                              "dialog CancelButton\n"
                              "table-find DeviceID ext42\n"
                              "table-get MAC\n"
                              "table-get Profile\n"
                              "table-find DeviceID nobody\n"
                              "table-set MAC 1\n"
                              "table-add DeviceID x\n");
    ASSERT_EQ(run.Status, 0) << run.Out.toStdString() << run.Err.toStdString();
    EXPECT_EQ(run.Out.split('\n'), QStringList({"ok", "true", "true", "true", "false", "false", "Error!!!", "-1",
                                                "text=ext42 enabled=true visible=true readonly=false", "-1", "0",
                                                "0", "true", "00-01-E1-00-00-42", "Sales", "false", "false",
                                                "false", ""}));
}

TEST_F(VqadminUTC, AutomateReportsCommandsItCannotRun) {
    EXPECT_EQ(Automate("set DeviceID x\n").Out, "error: line 1: no dialog is open\n");
    EXPECT_EQ(Automate("new device Sales\ncommand\n").Out, "ok\nerror: line 2: usage: command NAME [P2 [P3]]\n");
    EXPECT_EQ(Automate("new device Sales\ncommand a b c d\n").Out, "ok\nerror: line 2: usage: command NAME [P2 [P3]]\n");
    EXPECT_EQ(Automate("table-get\n").Out, "error: line 1: usage: table-get COLUMN\n");
}

// A host with its automation endpoint, offscreen, for as long as the test runs.
class VqadminEndpoint : public VqadminUTC {
protected:
    VqadminEndpoint() : Socket(Dir.filePath("automation")) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        Host.setProcessEnvironment(env);
        Host.setWorkingDirectory(Dir.path());
        Host.start(BinPath("vqadmin"), {"--db", Dir.filePath("site.db"), "gui", "--automation", Socket});
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

    // The dialog is gone: the main window again, and the stored device.
    EXPECT_EQ(Send({"table-find", "", "DeviceID", "driven"}), "true");
    EXPECT_EQ(Send({"table-get", "", "DeviceID"}), "driven");
    EXPECT_EQ(Send({"table-get", "", "MAC"}), "00-01-E1-00-00-77");
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
    EXPECT_EQ(Send({"table-find", "", "DeviceID", "driven"}), "true");
    EXPECT_EQ(Send({"sideways", "x"}).section(':', 0, 0), "status 2");

    Host.kill();
    Host.waitForFinished();
    const QJsonObject device = ExportedDevice("driven");
    EXPECT_EQ(device["MacAddress"], "00-01-E1-00-00-77");
    EXPECT_EQ(device["ProxyPassword"], "s3cret");
    EXPECT_EQ(device["AssignedIP"], "10.0.0.77");
    EXPECT_FALSE(Vqadmin({"export"}).Out.contains("192.168.1.123"));
}

TEST_F(VqadminEndpoint, WhatIsNotARequestIsAnsweredByClosingAndTheHostGoesOn) {
    const QByteArray refused[] = {
        QByteArray("\xff\xff\xff\xff", 4),                               // a length no request has
        QByteArray("\x0e\0\0\0\x09\0\0\0\0\0\0\0a\0b\0c\0", 18), // kind 9
        QByteArray("\x0b\0\0\0\x01\0\0\0\0\0\0\0abc", 15),       // texts unterminated
    };
    for (const QByteArray &bytes : refused) {
        QLocalSocket socket;
        socket.connectToServer(Socket);
        ASSERT_TRUE(socket.waitForConnected(5000));
        socket.write(bytes);
        socket.waitForBytesWritten(5000);
        if (socket.state() == QLocalSocket::ConnectedState)
            socket.waitForDisconnected(10000);
        EXPECT_EQ(socket.state(), QLocalSocket::UnconnectedState) << bytes.toHex().toStdString();
        EXPECT_TRUE(socket.readAll().isEmpty());
    }
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

// Another administrator on the same site: vqadmin automate, reading each
// command as it comes and answering it before the next.
class TAutomateSession {
public:
    explicit TAutomateSession(const QTemporaryDir &Dir) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        FHost.setProcessEnvironment(env);
        FHost.setWorkingDirectory(Dir.path());
        FHost.start(BinPath("vqadmin"), {"--db", Dir.filePath("site.db"), "automate"});
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

// Two hosts on one site: the later Apply over the same device is refused
// and loses nothing; different devices and new devices go through on both.
TEST_F(VqadminEndpoint, TwoHostsOnOneSiteOverwriteNothingTheOtherStored) {
    TAutomateSession other(Dir);
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
    EXPECT_EQ(ExportedDevice("0001E1000030")["ProxyPassword"], "lyn2");
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

    // A profile the same, its settings named by their labels.
    EXPECT_EQ(other.Say("open profile Lab"), "ok");
    ASSERT_GT(Send({"command", "EditProfile", "Lab"}).toInt(), 0);
    EXPECT_EQ(Send({"set", "RingTone", "3"}), "true");
    EXPECT_EQ(Send({"command", "DefaultButton"}), "0");
    EXPECT_EQ(other.Say("name 'Lab 2'"), "Lab 2");
    EXPECT_EQ(other.Say("apply"), "refused");
    EXPECT_EQ(other.Say("conflict"), "error: Profile Lab was changed by another session since you opened it: ring tone");

    const QJsonObject changed = ExportedDevice("0001E1000030");
    EXPECT_EQ(changed["MacAddress"], "00-01-E1-00-00-99");
    EXPECT_EQ(changed["AssignedIP"], "192.168.10.99");
    EXPECT_EQ(changed["ProxyPassword"], "theirs");
    EXPECT_EQ(ExportedDevice("0001E1000010")["ProxyPassword"], "w10");
    EXPECT_EQ(ExportedDevice("0001E1000020")["ProxyPassword"], "f20");
    EXPECT_EQ(ExportedDevice("theirs")["MacAddress"], "00-01-E1-00-00-A1");
    EXPECT_EQ(ExportedDevice("ours")["MacAddress"], "00-01-E1-00-00-A2");
}

} // namespace
