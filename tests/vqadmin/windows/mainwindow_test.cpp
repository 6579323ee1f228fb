// The host's main window: the lists with the plug-in's verdicts, the device
// and profile dialogs opened from the menus and what the lists show after
// them, deleting, importing under a progress dialog that can cancel,
// exporting, the validation list and the remembered geometry.

#include "DialogPanel.h"
#include "windows/MainWindow.h"
#include "sitefile/SiteFile.h"
#include "VarnelGrid.h"
#include "WindowTesting.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

namespace {

class MainWindowTest : public THostWindowTest {
protected:
    MainWindowTest() {
        // A profile and devices for each verdict of the fake module.
        Database.SaveProfile(Profile(3, "badprofile"));
        Database.SaveDevice(Device(3, 1, "warnphone", 0x03));
        Database.SaveDevice(Device(4, 0, "loose", 0x04));
        Window.reset(new TMainWindow(Database, Module));
    }

    // Each row's texts as the view shows them, then its tooltip when there is one.
    static QStringList Rows(const QAbstractItemView *List) {
        QStringList rows;
        const QAbstractItemModel *model = List->model();
        for (int i = 0; i < model->rowCount(); ++i) {
            QStringList texts;
            for (int c = 0; c < model->columnCount(); ++c)
                texts << model->index(i, c).data().toString();
            if (const QString tip = model->index(i, 0).data(Qt::ToolTipRole).toString(); !tip.isEmpty())
                texts << "(" + tip + ")";
            rows << texts.join(" | ");
        }
        return rows;
    }
    static QImage Picture(const QIcon &Icon) { return Icon.pixmap(16, 16).toImage(); }
    static QImage Mark(const TVarnelGrid *List, int Row) {
        return Picture(List->model()->index(Row, 0).data(Qt::DecorationRole).value<QIcon>());
    }

    QAction *Action(const char *Name) { return Window->findChild<QAction *>(Name); }
    QString WriteFile(const QString &Name, const QByteArray &Bytes) {
        const QString path = Dir.filePath(Name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Bytes);
        return path;
    }

    std::unique_ptr<TMainWindow> Window;
};

TEST_F(MainWindowTest, EachRowShowsTheVerdictAsIconAndTooltip) {
    EXPECT_EQ(Rows(Window->Profiles()), QStringList({"Sales | 2", "Lab | 1", "badprofile | 0 | (judged badprofile)"}));
    EXPECT_EQ(Rows(Window->Devices()), QStringList({
                                           "alpha | 00-01-E1-00-00-01 |  | Sales",
                                           "beta | 00-01-E1-00-00-02 |  | Lab",
                                           "warnphone | 00-01-E1-00-00-03 |  | Sales | (judged warnphone)",
                                           "loose | 00-01-E1-00-00-04 |  | ",
                                       }));
    EXPECT_EQ(Mark(Window->Profiles(), 0), Picture(LevelIcon(clvNone)));
    EXPECT_EQ(Mark(Window->Profiles(), 2), Picture(LevelIcon(clvError)));
    EXPECT_EQ(Mark(Window->Devices(), 2), Picture(LevelIcon(clvWarning)));
    EXPECT_NE(Picture(LevelIcon(clvWarning)), Picture(LevelIcon(clvError)));
    EXPECT_EQ(Window->statusBar()->currentMessage(), "3 profiles and 4 devices checked: 1 error, 1 warning");

    // What the host alone sees joins the verdict: two devices with one ID.
    Database.SaveDevice(Device(5, 2, "alpha", 0x05));
    Window->Refresh();
    EXPECT_EQ(Rows(Window->Devices()).first(),
              "alpha | 00-01-E1-00-00-01 |  | Sales | (Device ID \"alpha\" is also used by device 5 (MAC "
              "00-01-E1-00-00-05))");
    EXPECT_EQ(Mark(Window->Devices(), 0), Picture(LevelIcon(clvError)));
    // Deleting one of them judges the other again.
    Answers = {QMessageBox::Yes};
    EXPECT_TRUE(Window->DeleteDevice(5));
    EXPECT_EQ(Rows(Window->Devices()).first(), "alpha | 00-01-E1-00-00-01 |  | Sales");

    // A module that raises does not take the window down: the row carries the failure.
    Module.Throw = "ValidateDevice";
    Window->Refresh();
    EXPECT_EQ(Rows(Window->Devices())[3], "loose | 00-01-E1-00-00-04 |  |  | (ValidateDevice broke)");
}

TEST_F(MainWindowTest, TheMenusDeviceDialogUpdatesTheListsWhenItStores) {
    Activate(Window.get());
    Window->Profiles()->SelectRow(1);
    Action("actNewDevice")->trigger();
    TDeviceDialog *dialog = Window->DeviceDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->Action(), TDeviceAction::New);
    Activate(dialog);
    // One dialog at a time.
    EXPECT_EQ(Window->NewRange(1), nullptr);

    auto *id = dialog->findChild<QLineEdit *>("edUniqueID");
    id->setFocus();
    QTest::keyClicks(id, "warn2");
    // Changed elsewhere, a device the dialog does not touch is judged again with it.
    Database.SaveDevice(Device(4, 0, "warnloose", 0x04));
    QTest::mouseClick(dialog->Panel()->btApply, Qt::LeftButton);
    EXPECT_EQ(Rows(Window->Devices()).mid(3), QStringList({"warnloose | 00-01-E1-00-00-04 |  |  | (judged warnloose)",
                                                           "warn2 | 00-00-00-00-00-00 |  | Lab | (judged warn2)"}));
    EXPECT_EQ(Rows(Window->Profiles())[1], "Lab | 2");

    QTest::mouseClick(dialog->Panel()->btClose, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Window->DeviceDialog(), nullptr);
    EXPECT_EQ(Module.Frames, 0);

    // Edit opens the current device.
    Window->Devices()->SelectRow(1);
    Action("actEditDevice")->trigger();
    ASSERT_TRUE(Window->DeviceDialog());
    EXPECT_EQ(Window->DeviceDialog()->windowTitle(), "Device beta[*]");
}

TEST_F(MainWindowTest, TheFilterAndTheCheckBoxNarrowTheDeviceList) {
    Activate(Window.get());
    QTest::keyClick(Window.get(), Qt::Key_T, Qt::AltModifier);
    QWidget *filter = QApplication::focusWidget();
    QTest::keyClicks(filter, "La");
    EXPECT_EQ(Rows(Window->Devices()), QStringList{"beta | 00-01-E1-00-00-02 |  | Lab"});
    QTest::keyClick(filter, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(filter, Qt::Key_Backspace);
    QTest::mouseClick(Window->findChild<QCheckBox *>("chbFlaggedOnly"), Qt::LeftButton);
    EXPECT_EQ(Rows(Window->Devices()), QStringList{"warnphone | 00-01-E1-00-00-03 |  | Sales | (judged warnphone)"});
    EXPECT_EQ(Window->statusBar()->currentMessage(),
              "3 profiles and 4 devices checked: 1 error, 1 warning; the device list shows 1");
}

TEST_F(MainWindowTest, TheProfileMenuActsOnTheCurrentProfile) {
    EXPECT_FALSE(Action("actEditProfile")->isEnabled());
    EXPECT_FALSE(Action("actDeleteProfile")->isEnabled());
    Activate(Window.get());
    Window->Profiles()->SelectRow(1);
    EXPECT_TRUE(Action("actEditProfile")->isEnabled());
    EXPECT_TRUE(Action("actDeleteProfile")->isEnabled());

    Action("actEditProfile")->trigger();
    TProfileDialog *dialog = Window->ProfileDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Profile Lab[*]");
    Activate(dialog);
    auto *name = dialog->findChild<QLineEdit *>("edName");
    QTest::keyClick(name, Qt::Key_End);
    QTest::keyClicks(name, " 2");
    QTest::mouseClick(dialog->Panel()->btApply, Qt::LeftButton);
    EXPECT_EQ(Rows(Window->Profiles())[1], "Lab 2 | 1");
    EXPECT_EQ(Rows(Window->Devices())[1], "beta | 00-01-E1-00-00-02 |  | Lab 2");
    QTest::mouseClick(dialog->Panel()->btClose, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Window->Dialog(), nullptr);
    Action("actNewProfile")->trigger();
    ASSERT_TRUE(Window->ProfileDialog());
    EXPECT_EQ(Window->ProfileDialog()->Action(), TProfileAction::New);
}

TEST_F(MainWindowTest, DeleteIsRefusedForTheDefaultProfileAndWhileDevicesUseIt) {
    TProfileRecord bad = *Database.LoadProfile(3);
    bad.IsDefault = true;
    Database.SaveProfile(bad);
    Database.SaveProfile(Profile(4, "Spare"));
    Window->Refresh();
    const QString boxes[] = {
        "Profile \"Sales\" cannot be deleted: 2 devices use it. Give those devices another profile first.",
        "Profile \"Lab\" cannot be deleted: 1 device uses it. Give that device another profile first.",
        "Profile \"badprofile\" is the default profile and cannot be deleted.",
        "Delete profile \"Spare\"?",
    };
    for (int row = 0; row < 4; ++row) {
        Boxes.clear();
        Answers = {QMessageBox::Yes};
        Window->Profiles()->SelectRow(row);
        Action("actDeleteProfile")->trigger();
        EXPECT_EQ(Boxes, QStringList{boxes[row]});
    }
    EXPECT_EQ(Rows(Window->Profiles()).size(), 3);
}

TEST_F(MainWindowTest, DeletingAsksFirst) {
    Window->Devices()->SelectRow(1);
    Answers = {QMessageBox::No};
    Action("actDeleteDevice")->trigger();
    EXPECT_EQ(Boxes, QStringList{"Delete device \"beta\"?"});
    EXPECT_TRUE(Database.LoadDevice(2));

    Answers = {QMessageBox::Yes};
    Action("actDeleteDevice")->trigger();
    EXPECT_FALSE(Database.LoadDevice(2));
    EXPECT_EQ(Rows(Window->Devices()).size(), 3);
    EXPECT_EQ(Rows(Window->Profiles())[1], "Lab | 0");
}

TEST_F(MainWindowTest, ImportReplacesTheSiteUnlessCancelledOrRefused) {
    TSite site;
    site.Profiles = {Profile(7, "Imported")};
    for (int i = 1; i <= 5; ++i)
        site.Devices.push_back(Device(i, 7, QStringLiteral("new%1").arg(i), uint8_t(0x40 + i)));
    const QString file = WriteFile("site.json", WriteSiteFile(site));
    Activate(Window.get());
    const QStringList before = StoredDevices();

    // The user cancels as soon as the progress dialog shows.
    QTimer::singleShot(0, [this] {
        auto *progress = Window->findChild<QProgressDialog *>();
        ASSERT_TRUE(progress);
        QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
    });
    EXPECT_FALSE(Window->ImportSite(file));
    EXPECT_EQ(StoredDevices(), before);
    EXPECT_EQ(Rows(Window->Profiles()).size(), 3);

    EXPECT_FALSE(Window->ImportSite(WriteFile("broken.json", "{\"profiles\": 3}")));
    ASSERT_EQ(Boxes.size(), 1);
    EXPECT_TRUE(Boxes[0].startsWith(Dir.filePath("broken.json") + ": ")) << Boxes[0].toStdString();
    EXPECT_EQ(StoredDevices(), before);

    EXPECT_TRUE(Window->ImportSite(file));
    EXPECT_EQ(StoredDevices().size(), 5);
    EXPECT_EQ(Rows(Window->Profiles()), QStringList{"Imported | 5"});
    EXPECT_EQ(Window->statusBar()->currentMessage(),
              QStringLiteral("Imported 1 profiles and 5 devices from %1").arg(file));
}

TEST_F(MainWindowTest, ExportWritesTheSiteFile) {
    const QString path = Dir.filePath("out.json");
    ASSERT_TRUE(Window->ExportSite(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), WriteSiteFile(Database.LoadSite()));

    EXPECT_FALSE(Window->ExportSite(Dir.filePath("no/such/folder/out.json")));
    EXPECT_EQ(Boxes.size(), 1);
}

TEST_F(MainWindowTest, ValidationListsEveryObjectWithTheCount) {
    QDialog *results = Window->ShowValidation();
    ASSERT_TRUE(results);
    EXPECT_EQ(Rows(results->findChild<QTreeWidget *>("lvResults")),
              QStringList({
                  "profile \"Sales\" |  | ok | ",
                  "profile \"Lab\" |  | ok | ",
                  "profile \"badprofile\" |  | error | judged badprofile",
                  "device \"alpha\" | Sales | ok | ",
                  "device \"warnphone\" | Sales | warning | judged warnphone",
                  "device \"beta\" | Lab | ok | ",
                  "device \"loose\" |  | ok | ",
              }));
    EXPECT_EQ(results->findChild<QLabel *>("stSummary")->text(), "3 profiles and 4 devices checked: 1 error, 1 warning");
}

TEST_F(MainWindowTest, TheWindowComesBackWhereItWas) {
    Window->show();
    Window->resize(640, 360);
    Window->close();
    TMainWindow again(Database, Module);
    EXPECT_EQ(again.size(), QSize(640, 360));
    // With the application's icon, drawn from its SVG.
    EXPECT_FALSE(again.windowIcon().pixmap(48, 48).isNull());
}

// What another session stores, the window follows by itself: the rows
// concerned change and the selection stays; an import reads everything again.
// A device changed since the list showed it is not deleted.
TEST_F(MainWindowTest, TheListsFollowAnotherSessionAndDeleteOnlyWhatTheyShow) {
    Window->Devices()->SelectRow(1);
    TConfigDatabase other(Dir.filePath("site.db"));
    TDeviceRecord alpha = *other.LoadDevice(1);
    alpha.UniqueID = "alpha2";
    ASSERT_TRUE(other.UpdateDevice(alpha));
    other.InsertDevice(Device(0, 2, "gamma", 0x05));
    Window->FollowChanges();
    EXPECT_EQ(Rows(Window->Devices()), QStringList({
                                           "alpha2 | 00-01-E1-00-00-01 |  | Sales",
                                           "beta | 00-01-E1-00-00-02 |  | Lab",
                                           "warnphone | 00-01-E1-00-00-03 |  | Sales | (judged warnphone)",
                                           "loose | 00-01-E1-00-00-04 |  | ",
                                           "gamma | 00-01-E1-00-00-05 |  | Lab",
                                       }));
    EXPECT_EQ(Window->Devices()->Row(), 1);
    EXPECT_EQ(Rows(Window->Profiles()).value(1), "Lab | 2");

    TDeviceRecord beta = *other.LoadDevice(2);
    ASSERT_TRUE(other.UpdateDevice(beta));
    Answers = {QMessageBox::Yes};
    EXPECT_FALSE(Window->DeleteDevice(2));
    EXPECT_EQ(Boxes.last(), "Device \"beta\" was changed by another session since the list showed it: it was not deleted.");
    Answers = {QMessageBox::Yes};
    EXPECT_TRUE(Window->DeleteDevice(2));

    other.ReplaceSite({{}, {Profile(1, "Only")}, {Device(1, 1, "solo", 0x09)}});
    Window->FollowChanges();
    EXPECT_EQ(Rows(Window->Devices()), QStringList({"solo | 00-01-E1-00-00-09 |  | Only"}));
}

// Opened again, the window shows the verdicts the database keeps and judges
// again only what changed since, elsewhere: a device, and a profile with its
// devices.
TEST_F(MainWindowTest, AtOpenOnlyWhatChangedSinceIsJudgedAgain) {
    Window.reset();
    {
        TConfigDatabase other(Database.Path());
        // Verdicts that judging again would not give.
        other.KeepDeviceVerdicts({{{}, {}, clvWarning, "kept", 1}, {{}, {}, clvWarning, "kept", 4}});
        TDeviceRecord beta = *other.LoadDevice(2);
        beta.UniqueID = "warnbeta";
        other.SaveDevice(beta);
        TProfileRecord sales = *other.LoadProfile(1);
        sales.Name = "Sales 2";
        other.SaveProfile(sales);
    }
    Window.reset(new TMainWindow(Database, Module));
    EXPECT_EQ(Rows(Window->Devices()), QStringList({
                                           "alpha | 00-01-E1-00-00-01 |  | Sales 2",
                                           "warnbeta | 00-01-E1-00-00-02 |  | Lab | (judged warnbeta)",
                                           "warnphone | 00-01-E1-00-00-03 |  | Sales 2 | (judged warnphone)",
                                           "loose | 00-01-E1-00-00-04 |  |  | (kept)",
                                       }));
    EXPECT_EQ(Window->statusBar()->currentMessage(), "3 profiles and 4 devices checked: 1 error, 3 warnings");
}

// A verdict is kept only if the site did not change while it was judged: a
// profile stored meanwhile leaves no trace on devices that are stale already.
TEST_F(MainWindowTest, VerdictsJudgedWhileTheSiteChangedAreNotKept) {
    Window.reset();
    Database.MarkAllStale();
    Module.Judging = [&] { Database.SaveProfile(*Database.LoadProfile(1)); };
    Window.reset(new TMainWindow(Database, Module));
    EXPECT_EQ(Database.CountStale(), Database.CountProfiles() + Database.CountDevices());
}

// Many stale verdicts are judged in slices between events, the window usable
// meanwhile with a progress line, the counts following as they land.
TEST_F(MainWindowTest, ManyStaleVerdictsAreJudgedInSlicesWithAProgressLine) {
    Window.reset();
    Database.ReplaceSite([&] {
        Database.SaveProfile(Profile(1, "Sales"));
        for (int i = 1; i <= 2500; ++i) {
            TDeviceRecord device = Device(i, 1, i == 2500 ? QStringLiteral("warnlast") : QString::number(i), 0);
            device.MacAddress = EmptyMACAddress;
            Database.SaveDevice(device);
        }
    });
    Window.reset(new TMainWindow(Database, Module));
    auto *progress = Window->findChild<QLabel *>("stProgress");
    ASSERT_TRUE(Window->Judging());
    EXPECT_TRUE(progress->isVisibleTo(Window.get()));
    EXPECT_EQ(progress->text(), "Checking the site: 0 of 2,501");
    EXPECT_EQ(Rows(Window->Devices()).first(), "1 | 00-00-00-00-00-00 |  | Sales");
    while (Window->Judging())
        QCoreApplication::processEvents();
    EXPECT_FALSE(progress->isVisibleTo(Window.get()));
    EXPECT_EQ(Window->statusBar()->currentMessage(), "1 profile and 2500 devices checked: 0 errors, 1 warning");
}

} // namespace
