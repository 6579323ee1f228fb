// vqadmin automate end to end, with the built plug-in: the exit statuses and
// the result lines a script gets, and what the database holds afterwards.

#include "HostRun.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using VqadminAutomate = TDemoSiteTest;

TEST_F(VqadminAutomate, StatusesTellScriptErrorsFromUsageErrors) {
    const TRun empty = Automate("# nothing to do\n\n");
    EXPECT_EQ(empty.Status, 0);
    EXPECT_EQ(empty.Out, "");

    const TRun stopped = Automate("\nconflict\nmodified\n");
    EXPECT_EQ(stopped.Status, 1);
    EXPECT_EQ(stopped.Out, "error: line 2: no dialog is open\n");

    const TRun unknown = Automate("open device nobody\n");
    EXPECT_EQ(unknown.Status, 1);
    EXPECT_EQ(unknown.Out, "error: line 1: no device with the ID nobody\n");

    const TRun missing = Vqadmin({"automate", "missing.txt"});
    EXPECT_EQ(missing.Status, 2);
    EXPECT_TRUE(missing.Err.contains("missing.txt: cannot read")) << missing.Err.toStdString();

    const TRun usage = Vqadmin({"automate", "a", "b"});
    EXPECT_EQ(usage.Status, 2);
    EXPECT_TRUE(usage.Err.contains("usage: vqadmin")) << usage.Err.toStdString();
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

} // namespace

namespace {

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

TEST_F(VqadminAutomateFakeFrames, AnAppliedDeviceIsWhatExportShows) {
    const TRun run = AutomateFake("new device Lab\n"
                                  "type edUniqueID gamma\n"
                                  "type edMACAddress 00-01-E1-00-00-42\n"
                                  "paste edProxyPassword pw\n"
                                  "apply\n"
                                  "close\n");
    EXPECT_EQ(run.Out, "ok\ngamma\n00-01-E1-00-00-42\npw\napplied\nok\n");
    EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
    const QString exported = Exported();
    const qsizetype at = exported.indexOf("\"UniqueID\": \"gamma\"");
    ASSERT_GE(at, 0) << exported.toStdString();
    // The device's whole object, whatever the order of its keys.
    const qsizetype start = exported.lastIndexOf("\n        {", at);
    const QString device = exported.mid(start, exported.indexOf("\n        }", at) - start);
    EXPECT_TRUE(device.contains("\"MacAddress\": \"00-01-E1-00-00-42\"")) << device.toStdString();
    EXPECT_TRUE(device.contains("\"ProxyPassword\": \"pw\"")) << device.toStdString();
    EXPECT_TRUE(device.contains("\"profile\": \"Lab\"")) << device.toStdString();
}

TEST_F(VqadminAutomateFakeFrames, APluginFailureIsTheCommandsErrorAndChangesNothing) {
    struct TCase {
        const char *Throw;
        QByteArray Script;
        QString Out;
    } cases[] = {
        {"CreateDeviceFrame", "new device Sales\n", "error: line 1: CreateDeviceFrame broke\n"},
        // Raised in the frame's handler of a key, inside the toolkit's event delivery.
        {"Typing", "new device Sales\ntype edUniqueID x\n", "ok\nerror: line 2: Typing broke\n"},
        {"ApplyChanges", "open device 0001E1000010\ntype edUniqueID x\napply\n",
         "ok\nx\nerror: line 3: ApplyChanges broke\n"},
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
