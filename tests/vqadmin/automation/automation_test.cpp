// The script runner over the host's windows with the fake device module: the
// result line of every command, the error line that ends a script, and what
// the database holds afterwards.

#include "automation/Automation.h"
#include "windows/MainWindow.h"
#include "WindowTesting.h"

#include <QClipboard>
#include <QImage>
#include <QTextStream>

namespace {

class AutomationTest : public THostWindowTest {
protected:
    AutomationTest() : Window(Database, Module) {}

    struct TResult {
        QStringList Lines;
        int Status;
    };
    TResult Run(const QString &Script) {
        QString out;
        QTextStream stream(&out);
        const int status = TAutomation(Window).Run(Script, stream);
        stream.flush();
        QStringList lines = out.split('\n');
        lines.removeLast(); // after the last line's end
        return {lines, status};
    }
    // Runs the script, line by line against the expected results.
    void Expect(const QString &Script, const QStringList &Results, int Status = 0) {
        const TResult r = Run(Script);
        EXPECT_EQ(r.Lines, Results);
        EXPECT_EQ(r.Status, Status);
    }

    TMainWindow Window;
};

TEST_F(AutomationTest, LeaveTabsOutOfTheControlAsTheUserWould) {
    Expect("new range Sales\n"
           "type edUniqueID gamma\n"
           "leave edUniqueID\n",
           {"ok", "gamma", "gamma"});
    ASSERT_TRUE(QApplication::focusWidget());
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "edMACAddress");
    // Out of the spin edit's own field too, to the control after it.
    Expect("leave vqseStartNumber\n", {"1"});
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "cbIDLinkedToMAC");
}

TEST_F(AutomationTest, ControlCommandsPrintWhatTheControlShows) {
    QGuiApplication::clipboard()->clear();
    Expect("open device alpha\n"
           "# typing replaces the text, as after Tab\n"
           "type edUniqueID 'two words'\n"
           "key edUniqueID Backspace\n"
           "paste edProxyPassword \"s3\\\"cret\"\n"
           "clear edUniqueID\n"
           "conflict\n"
           "type edMACAddress 00-01\n"
           "conflict\n"
           "choose cbProfile Lab\n"
           "state vqseStartNumber\n"
           "modified\n",
           {"ok", "two words", "two word", "s3\"cret", "", "error: Device ID is empty",
            "00-01", "error (input): Invalid MAC address", "Lab", "text=1 enabled=true visible=false readonly=false", "true"});
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "s3\"cret");
}

TEST_F(AutomationTest, ACommandThatCannotRunEndsTheScript) {
    struct TCase {
        QString Script;
        QStringList Results;
    } cases[] = {
        {"\n# nothing open yet\nconflict\nmodified\n", {"error: line 3: no dialog is open"}},
        {"frobnicate now", {"error: line 1: unknown command: frobnicate"}},
        {"new device", {"error: line 1: usage: new device PROFILE"}},
        {"new device Nowhere", {"error: line 1: no profile named Nowhere"}},
        {"open device nobody", {"error: line 1: no device with the ID nobody"}},
        {"open device alpha\nopen device beta", {"ok", "error: line 2: a dialog is open already"}},
        {"open device alpha\nclick nothing", {"ok", "error: line 2: no control named nothing"}},
        {"open device alpha\nchoose cbProfile Nowhere", {"ok", "error: line 2: cbProfile has no item Nowhere"}},
        {"open profile Lab\npage tshMore\npage edSWVersion", {"ok", "tshMore", "error: line 3: edSWVersion is not a page"}},
        {"open profile nobody", {"error: line 1: no profile named nobody"}},
        {"open device alpha\ntype vqseStartNumber 5", {"ok", "error: line 2: vqseStartNumber cannot take the focus"}},
        {"open device alpha\nscreenshot /no/such/folder/x.png", {"ok", "error: line 2: cannot write /no/such/folder/x.png"}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Script.toStdString());
        Expect(c.Script, c.Results, 1);
        if (Window.Dialog())
            Window.Dialog()->Discard();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(AutomationTest, AScreenshotIsTheDialogAsPNG) {
    const QString file = Dir.filePath("dialog.png");
    Expect("open device alpha\nscreenshot " + file + "\n", {"ok", "ok"});
    const QImage picture(file);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), Window.DeviceDialog()->size() * Window.DeviceDialog()->devicePixelRatio());
}

} // namespace
