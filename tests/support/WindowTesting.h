#pragma once
// The host's windows over a small site in a temporary database, with the fake
// device module, message boxes answered from a list and the window settings
// kept in the temporary folder.

#include "database/ConfigDatabase.h"
#include "DialogPanel.h"
#include "FakeDeviceModule.h"
#include "windows/FrameDialog.h"
#include "VQControls.h"

#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &Text, std::ostream *Out) { *Out << '"' << Text.toStdString() << '"'; }

class THostWindowTest : public ::testing::Test {
protected:
    THostWindowTest() : Database(Dir.filePath("site.db")) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Dir.path());
        TSite site;
        site.System.EditRights = true;
        site.Profiles = {Profile(1, "Sales"), Profile(2, "Lab")};
        site.Devices = {Device(1, 1, "alpha", 0x01), Device(2, 2, "beta", 0x02)};
        Database.ReplaceSite(site);
        FPreviousHandler = SetMessageBoxHandler([this](const TMessageBoxRequest &Request) {
            Boxes << Request.Text;
            return Answers.isEmpty() ? QMessageBox::Ok : Answers.takeFirst();
        });
    }
    ~THostWindowTest() override { SetMessageBoxHandler(FPreviousHandler); }

    static TProfileRecord Profile(int64_t ID, const QString &Name) {
        TProfileRecord profile;
        profile.ProfileID = ID;
        profile.DeviceType = QStringLiteral("LYN 2");
        profile.Name = Name;
        return profile;
    }
    static TDeviceRecord Device(int64_t ID, int64_t ProfileID, const QString &UniqueID, uint8_t LastMACByte) {
        TDeviceRecord device;
        device.DeviceID = ID;
        device.Protocol = ptSIP;
        device.ProfileID = ProfileID;
        device.UniqueID = UniqueID;
        device.MacAddress = {{0x00, 0x01, 0xE1, 0x00, 0x00, LastMACByte}};
        return device;
    }

    // Each stored device as "ID MAC profile".
    QStringList StoredDevices() {
        QStringList rows;
        for (const TDeviceRecord &d : Database.LoadDevices())
            rows << QStringLiteral("%1 %2 %3").arg(d.UniqueID, MACToText(d.MacAddress)).arg(d.ProfileID);
        return rows;
    }

    // Shows Window and waits until it has the keyboard.
    static void Activate(QWidget *Window) {
        Window->show();
        Window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window));
    }

    QTemporaryDir Dir;
    TConfigDatabase Database;
    TFakeDeviceModule Module;
    QStringList Boxes;                              // message boxes shown, in order
    QList<QMessageBox::StandardButton> Answers;     // the user's answers to them; OK when none is left

private:
    TMessageBoxHandler FPreviousHandler;
};

// An editing dialog of the host, and what its user reads and does.
class TFrameDialogTest : public THostWindowTest {
protected:
    // Starts the dialog and shows it active; none when it did not start.
    TFrameDialog *Show(TFrameDialog *NewDialog) {
        Dialog.reset(NewDialog);
        QObject::connect(NewDialog, &TFrameDialog::Stored, [this] { ++Stored; });
        if (!Dialog->Start())
            return nullptr;
        Activate(NewDialog);
        return NewDialog;
    }

    template <class T = QLineEdit>
    T *Field(const char *Name) {
        T *field = Dialog->findChild<T *>(Name);
        EXPECT_NE(field, nullptr) << Name;
        return field;
    }
    // Selects the edit's text and types over it, as a user does.
    void Type(const char *Name, const QString &Text) {
        QLineEdit *edit = Field(Name);
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, Text);
    }
    void ClickApply() { QTest::mouseClick(Dialog->Panel()->btApply, Qt::LeftButton); }
    void ClickClose() { QTest::mouseClick(Dialog->Panel()->btClose, Qt::LeftButton); }

    // What the user reads: the title bar, the conflict line, the buttons.
    QString Title() const { return Dialog->windowHandle()->title(); }
    QString ConflictText() const { return Dialog->findChild<QLabel *>("stConflict")->text(); }
    bool ConflictInItalics() const { return Dialog->findChild<QLabel *>("stConflict")->font().italic(); }
    QImage ConflictIcon() const { return Dialog->findChild<QLabel *>("imgConflict")->pixmap().toImage(); }
    static QImage Mark(TConflictLevel Level) { return LevelIcon(Level).pixmap(16, 16).toImage(); }
    bool ApplyEnabled() const { return Dialog->Panel()->btApply->isEnabled(); }
    QString CloseCaption() const { return Dialog->Panel()->btClose->text(); }

    std::unique_ptr<TFrameDialog> Dialog;
    int Stored = 0; // Stored signals
};
