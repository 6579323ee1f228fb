// The device dialog around a device frame: what the title, the conflict line
// and the Apply/Close strip show as the frame reports, what Apply stores, the
// host's own findings, new ranges, and plug-in failures that must leave the
// database as it was.

#include "windows/DeviceDialog.h"
#include "DialogPanel.h"
#include "WindowTesting.h"

#include <QPushButton>
#include <QSpinBox>

namespace {

class DeviceDialogTest : public TFrameDialogTest {
protected:
    // A shown, active dialog, or none when it did not start.
    TFrameDialog *Open(TDeviceAction Action, const TDeviceRecord &Record) {
        return Show(new TDeviceDialog(Database, Module, Action, Record));
    }
    TFrameDialog *OpenNew(int64_t ProfileID = 1) {
        TDeviceRecord record;
        record.ProfileID = ProfileID;
        return Open(TDeviceAction::New, record);
    }
};

TEST_F(DeviceDialogTest, NewDeviceFollowsTheFrameUntilApplyStoresIt) {
    // The empty MAC address is no key: another device's does not block this one's.
    TDeviceRecord beta = *Database.LoadDevice(2);
    beta.MacAddress = {};
    Database.SaveDevice(beta);
    ASSERT_TRUE(OpenNew());
    EXPECT_EQ(Module.LastFrame->Flags, TPluginFrameFlags({pffCreating}));
    // A new device counts as modified from the start; its empty ID is the frame's error.
    EXPECT_EQ(Title(), "New Device*");
    EXPECT_EQ(ConflictText(), "Device ID is empty");
    EXPECT_FALSE(ConflictInItalics());
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_EQ(CloseCaption(), "&Cancel");

    Type("edUniqueID", "gamma");
    Type("edProxyPassword", "pw");
    EXPECT_EQ(ConflictText(), "");
    EXPECT_TRUE(ConflictIcon().isNull());
    ClickApply();

    EXPECT_EQ(Stored, 1);
    EXPECT_EQ(StoredDevices(), QStringList({"alpha 00-01-E1-00-00-01 1", "beta 00-00-00-00-00-00 2",
                                            "gamma 00-00-00-00-00-00 1"}));
    EXPECT_EQ(Database.LoadDevices().back().ProxyPassword, "pw");
    EXPECT_EQ(Title(), "Device gamma");
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_EQ(CloseCaption(), "&Close");

    // Applying again updates the same row.
    Type("edProxyPassword", "pw2");
    EXPECT_EQ(Title(), "Device gamma*");
    ClickApply();
    EXPECT_EQ(Database.LoadDevices().size(), 3u);
    EXPECT_EQ(Database.LoadDevices().back().ProxyPassword, "pw2");
}

// Another device's ID or MAC address on the conflict line is the end-to-end walk's.
TEST_F(DeviceDialogTest, AnInputErrorReadsInItalicsAndApplyIsRefusedWithTheMessageKept) {
    ASSERT_TRUE(Open(TDeviceAction::Edit, *Database.LoadDevice(1)));
    const QStringList before = StoredDevices();
    Type("edMACAddress", "00-01");
    EXPECT_EQ(ConflictText(), "Invalid MAC address");
    EXPECT_TRUE(ConflictInItalics());
    EXPECT_TRUE(Dialog->Conflict().Input);
    ASSERT_TRUE(ApplyEnabled());

    ClickApply();
    EXPECT_EQ(Stored, 0);
    EXPECT_EQ(StoredDevices(), before);
    EXPECT_TRUE(Dialog->isVisible());
    EXPECT_EQ(ConflictText(), "Invalid MAC address");
    EXPECT_EQ(Title(), "Device alpha*");

    Type("edUniqueID", "odd");
    Type("edMACAddress", "00-01-E1-00-00-09");
    EXPECT_EQ(ConflictText(), "Device ID looks odd");
    EXPECT_EQ(ConflictIcon(), Mark(clvWarning));
    EXPECT_FALSE(ConflictInItalics());
    ClickApply();
    EXPECT_EQ(Stored, 1);
}

TEST_F(DeviceDialogTest, CancelWithUnappliedChangesAsksToSaveDiscardOrStay) {
    struct TCase {
        QMessageBox::StandardButton Answer;
        bool Open;
        QString Stored;
    } cases[] = {
        {QMessageBox::Yes, false, "alpha2"},
        {QMessageBox::No, false, "alpha"},
        {QMessageBox::Cancel, true, "alpha"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(int(c.Answer));
        ASSERT_TRUE(Open(TDeviceAction::Edit, *Database.LoadDevice(1)));
        Type("edUniqueID", "alpha2");
        Boxes.clear();
        Answers = {c.Answer};
        ClickClose();
        EXPECT_EQ(Boxes, QStringList{"Save the changes to device \"alpha\"?"});
        EXPECT_EQ(Dialog->isVisible(), c.Open);
        EXPECT_EQ(Database.LoadDevice(1)->UniqueID, c.Stored);
        Database.SaveDevice(Device(1, 1, "alpha", 0x01));
    }
    // Without changes Close closes without asking, and Escape does the same.
    Boxes.clear();
    ASSERT_TRUE(Open(TDeviceAction::Edit, *Database.LoadDevice(1)));
    QTest::keyClick(Dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_TRUE(Boxes.isEmpty());
}

TEST_F(DeviceDialogTest, WithoutEditRightsTheFrameIsReadOnlyAndApplyStaysOff) {
    TSystemValues system = Database.LoadSystem();
    system.EditRights = false;
    Database.SaveSystem(system);
    ASSERT_TRUE(Open(TDeviceAction::Edit, *Database.LoadDevice(1)));
    EXPECT_EQ(Module.LastFrame->Flags, TPluginFrameFlags({pffReadOnly}));
    EXPECT_EQ(ConflictText(), "Read-only: changes need edit rights");
    // Whatever the frame reports, nothing can be applied, so nothing is unapplied.
    QTest::mouseClick(Field<QCheckBox>("cbIDLinkedToMAC"), Qt::LeftButton);
    EXPECT_EQ(Title(), "Device alpha");
    EXPECT_EQ(CloseCaption(), "&Close");
}

TEST_F(DeviceDialogTest, ANewRangeCreatesEveryDeviceWithConsecutiveMACsOrNone) {
    Database.SaveDevice(Device(3, 1, "ext1", 0x31));
    TDeviceRecord pattern;
    pattern.ProfileID = 1;
    ASSERT_TRUE(Open(TDeviceAction::NewRange, pattern));
    EXPECT_EQ(Module.LastFrame->Flags, TPluginFrameFlags({pffCreating, pffRange}));
    EXPECT_EQ(Title(), "New Devices*");
    EXPECT_TRUE(Field<QSpinBox>("seCount")->isVisible());

    // The host answers the first free start number for the prefix.
    Type("edUniqueID", "ext");
    EXPECT_EQ(Field<QSpinBox>("vqseStartNumber")->value(), 2);
    Type("edMACAddress", "00-01-E1-00-00-FE");
    Field<QSpinBox>("seCount")->setValue(3);
    ClickApply();
    EXPECT_EQ(Stored, 1);
    EXPECT_EQ(StoredDevices().mid(2), QStringList({"ext1 00-01-E1-00-00-31 1", "ext2 00-01-E1-00-00-FE 1",
                                                   "ext3 00-01-E1-00-00-FF 1", "ext4 00-01-E1-00-01-00 1"}));
    // Created, the range has nothing left to show.
    QCoreApplication::processEvents();
    EXPECT_FALSE(Dialog->isVisible());

    // Any device that cannot be created stops them all, with the reason on the conflict line.
    ASSERT_TRUE(Open(TDeviceAction::NewRange, pattern));
    Field<QSpinBox>("seCount")->setValue(3);
    struct TCase {
        QString Prefix, MAC;
        int Start;
        QString Conflict;
    } cases[] = {
        {"ext", "00-01-E1-00-02-00", 4, "Device ID \"ext4\" is already used by another device"},
        {"ext", "00-01-E1-00-00-FC", 5, "MAC address 00-01-E1-00-00-FE of device \"ext7\" is already used by device \"ext2\""},
        {"bad", "00-01-E1-00-03-00", 1, "Device \"bad1\": judged bad1"},
        {"abcdefghijklmnopqrstuvwxyz1234", "00-01-E1-00-04-00", 9,
         "Device ID \"abcdefghijklmnopqrstuvwxyz123410\" is longer than 31 characters"},
        {"far", "FF-FF-FF-FF-FF-FE", 1, "The range runs past the last MAC address"},
        {"late", "00-01-E1-00-06-00", 1, "Device ID \"late1\" is already used by another device"},
    };
    // Stored by another session while the dialog is open.
    TConfigDatabase(Dir.filePath("site.db")).InsertDevice(Device(0, 1, "late1", 0x50));
    const QStringList before = StoredDevices();
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Conflict.toStdString());
        Type("edUniqueID", c.Prefix);
        Type("edMACAddress", c.MAC);
        Field<QSpinBox>("vqseStartNumber")->setValue(c.Start);
        ClickApply();
        EXPECT_EQ(ConflictText(), c.Conflict);
        EXPECT_EQ(StoredDevices(), before);
        // Apply can be pressed again once the cause is gone.
        EXPECT_TRUE(ApplyEnabled());
    }
    EXPECT_EQ(Stored, 1);
}

TEST_F(DeviceDialogTest, APluginFailureIsShownAndChangesNothing) {
    const QStringList before = StoredDevices();
    for (const char *operation : {"CreateDeviceFrame", "ShowDevice"}) {
        SCOPED_TRACE(operation);
        Module.Throw = operation;
        Boxes.clear();
        EXPECT_EQ(OpenNew(), nullptr);
        EXPECT_EQ(Boxes, QStringList{QString(operation) + " broke"});
        Dialog.reset();
        EXPECT_EQ(Module.Frames, 0);
    }

    Module.Throw = "ApplyChanges";
    Boxes.clear();
    ASSERT_TRUE(OpenNew());
    Type("edUniqueID", "gamma");
    ClickApply();
    EXPECT_EQ(Boxes, QStringList{"ApplyChanges broke"});
    EXPECT_TRUE(Dialog->isVisible());
    // The frame goes back to the module with the dialog.
    Dialog.reset();
    EXPECT_EQ(Module.Frames, 0);

    Module.Throw = "ValidateDevice";
    Boxes.clear();
    TDeviceRecord pattern;
    pattern.ProfileID = 1;
    ASSERT_TRUE(Open(TDeviceAction::NewRange, pattern));
    Type("edUniqueID", "ext");
    Type("edMACAddress", "00-01-E1-00-00-FE");
    ClickApply();
    EXPECT_EQ(Boxes, QStringList{"ValidateDevice broke"});
    EXPECT_EQ(StoredDevices(), before);
    EXPECT_EQ(Stored, 0);
}

// A device another session deleted since the dialog opened is not stored
// again: the conflict line says so, and there is nothing to reload.
TEST_F(DeviceDialogTest, ADeviceDeletedMeanwhileIsNotStoredAgain) {
    ASSERT_TRUE(Open(TDeviceAction::Edit, *Database.LoadDevice(1)));
    ASSERT_TRUE(TConfigDatabase(Dir.filePath("site.db")).DeleteDevice(1, Database.LoadDevice(1)->Revision));
    Type("edProxyPassword", "pw");
    ClickApply();
    EXPECT_EQ(ConflictText(), "Device alpha was deleted by another session since you opened it");
    EXPECT_FALSE(Dialog->findChild<QPushButton *>("btReload")->isVisible());
    EXPECT_EQ(StoredDevices(), QStringList({"beta 00-01-E1-00-00-02 2"}));
}

} // namespace
