#pragma once
// The host's windows over a small site in a temporary database, with the fake
// device module, message boxes answered from a list and the window settings
// kept in the temporary folder.

#include "ConfigDatabase.h"
#include "FakeDeviceModule.h"
#include "VQControls.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

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
