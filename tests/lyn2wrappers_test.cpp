// The LYN 2 device frame driven by the automation, through the loaded plug-in
// as the host drives it: the plug-in registers its wrapper when it is loaded,
// the host's manager makes it over the frame, and each setting shows in the
// frame's control and reaches the container as a user's edit does. This
// program exports UTC_GetWrapperManager as the host does.

#include "AutomationTesting.h"
#include "DeviceFrameTesting.h"
#include "TestWrapperManager.h"

#include <QCheckBox>
#include <QComboBox>

namespace {

TTestWrapperManager Manager;

class DeviceWrapper : public TDeviceFrameTest {
protected:
    // Runs utc_set NAME VALUE on a wrapper the host's manager makes over the frame.
    bool Set(const QString &Name, const QString &Value) {
        const auto wrapper = Manager.CreateWrapper(widget);
        EXPECT_TRUE(wrapper);
        TCommand command(utc_set, Name, Value);
        return wrapper && command.To(*wrapper).UTCSet();
    }
    // The shown address fields' texts, as the user reads them. (The plug-in's
    // controls are its own classes: only Qt's classes can be looked for here.)
    QString IPText() const {
        const QWidget *ip = widget->findChild<QWidget *>("vqipIP");
        QStringList fields;
        for (const QLineEdit *field : ip->findChildren<QLineEdit *>())
            if (field->isVisibleTo(ip))
                fields.append(field->text());
        return fields.join('.');
    }
    QCheckBox *Link() const { return Control<QCheckBox>("cbIDLinkedToMAC"); }
};

} // namespace

extern "C" TUTCWrapperManager *UTC_GetWrapperManager() { return &Manager; }

TEST_F(DeviceWrapper, TheLoadedPlugInRegistersItsWrapperForTheDeviceFrameOnly) {
    ASSERT_EQ(Manager.Registered.size(), 1u);
    EXPECT_EQ(Manager.Registered.begin()->first->ClassName(), "TLyn2DeviceFrame");
    EXPECT_EQ(Manager.Registered.begin()->second->ClassName(), "TUTCLYN2DeviceWrapper");
    QWidget plain;
    EXPECT_FALSE(Manager.CreateWrapper(&plain));
    EXPECT_EQ(RaisedMessage<EInvalidCast>([&] { Manager.Registered.begin()->second->Create(&plain); }),
              "Invalid class typecast");
}

TEST_F(DeviceWrapper, SettingsShowInTheirControlsAndMarkTheDeviceModified) {
    ShowDevice({});
    struct {
        QString Name, Value;
        bool Took;
    } const cases[] = {
        {"DeviceID", "desk9", true},
        {"DeviceID", QString(40, 'd'), false}, // cut to 31 characters
        {"DeviceID", "desk10", true},
        {"MAC", "00-01-E1-00-00-0A", true},
        {"IP", "10.0.0.5", true},
        {"IP", "10.0.0.300", false},
        {"Password", "s3cret", true},
        {"Profile2", "Dhcp", true},
        {"Profile2", "dhcp", false}, // found, but shown as "Dhcp"
        {"deviceid", "x", false}, // names are exact
        {"Close", "", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Set(c.Name, c.Value), c.Took) << c.Name.toStdString() << " " << c.Value.toStdString();
    EXPECT_EQ(Text("edUniqueID"), "desk10");
    EXPECT_EQ(Text("edMACAddress"), "00-01-E1-00-00-0A");
    EXPECT_EQ(IPText(), "10.0.0.5");
    EXPECT_EQ(Text("edProxyPassword"), "s3cret");
    EXPECT_EQ(widget->findChild<QComboBox *>("cbProfile")->currentText(), "Dhcp");
    EXPECT_EQ(Heard().front(), "modified true");

    ASSERT_TRUE(frame->ApplyChanges(false));
    EXPECT_EQ(device.UniqueID.Text(), "desk10");
    EXPECT_EQ(device.ProfileID, 5);
}

TEST_F(DeviceWrapper, TheLinkBoxTakesTrueInAnyCaseAndADisabledOneStays) {
    ShowDevice({});
    EXPECT_TRUE(Set("UseMACAsID", "TRUE"));
    EXPECT_TRUE(Link()->isChecked());
    EXPECT_EQ(Text("edUniqueID"), "0001E1000001"); // the frame links the ID, as for a click
    EXPECT_TRUE(Set("UseMACAsID", "1")); // anything else unchecks
    EXPECT_FALSE(Link()->isChecked());
    Link()->setEnabled(false);
    EXPECT_FALSE(Set("UseMACAsID", "true"));
    EXPECT_FALSE(Link()->isChecked());
}

TEST_F(DeviceWrapper, TheFrameIsNoFormSoFormCommandsAreNotHandled) {
    ShowDevice({});
    const auto wrapper = Manager.CreateWrapper(widget);
    ASSERT_TRUE(wrapper);
    for (const char *name : {"Close", "DefaultButton", "CancelButton", "GetWndByClass"}) {
        TCommand command(utc_command, name, "TActiveWindow");
        EXPECT_EQ(command.To(*wrapper).UTCCommand(), INVALID_HWND) << name;
    }
    TCommand get(utc_get, "DeviceID");
    EXPECT_EQ(get.To(*wrapper).UTCGet(), "Error!!!");
    EXPECT_FALSE(wrapper->UTCTableFind());
    EXPECT_TRUE(widget->isVisible());
}
