#pragma once
// The LYN 2 frames as the host embeds them, through the loaded plug-in, over a
// fake container that records what it hears: a device frame over a device of
// profile "Static", with a second profile "Dhcp"; a profile frame over profile
// "Lobby phones" of a user with edit rights, with the user's ways of reading
// and working its controls.

#include "ControlTesting.h"
#include "FakeHost.h"
#include "plugin/PluginLibrary.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>

using Lines = std::vector<std::string>;

// A frame the loaded plug-in makes, in the active window.
class TPluginFrameTest : public TActiveWindow {
protected:
    // What the container heard since the last call.
    Lines Heard() { return std::exchange(servant.Heard, {}); }

    template <class T = QWidget>
    T *Control(const char *Name) const {
        T *control = widget->findChild<T *>(QString::fromLatin1(Name));
        EXPECT_NE(control, nullptr) << Name;
        return control;
    }
    bool Enabled(const char *Name) const { return Control(Name)->isEnabled(); }
    bool Shown(const char *Name) const { return Control(Name)->isVisibleTo(widget); }
    void Click(const char *Name) {
        auto *box = Control<QAbstractButton>(Name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    }

    const TPluginLibrary lib{DefaultPluginPath()};
    IDevicePluginModule *module = lib.Module();
    TFakeServant servant;
    QWidget *widget = nullptr;
};

class TDeviceFrameTest : public TPluginFrameTest {
protected:
    void SetUp() override {
        staticProfile.ProfileID = 4;
        staticProfile.Name = TdpNameString::From(QStringLiteral("Static"));
        staticProfile.CustomData = "IPComm{DHCP=false}";
        dhcpProfile.ProfileID = 5;
        dhcpProfile.Name = TdpNameString::From(QStringLiteral("Dhcp"));
        dhcpProfile.CustomData = "IPComm{DHCP=true}";
        profiles.Items = {&staticProfile, &dhcpProfile};
        device.ProfileID = 4;
        device.UniqueID = TdpNameString::From(QStringLiteral("desk1"));
        device.MacAddress = {{0x00, 0x01, 0xE1, 0x00, 0x00, 0x01}};
        device.AssignedIP = IPv4Rec("192.168.1.20");
        widget = module->CreateDeviceFrame(&servant);
        Layout->addWidget(widget);
        frame = FrameInterface<IPluginDeviceFrame>(widget);
    }
    void TearDown() override {
        frame->HideDevice();
        module->FreeFrame(widget);
        EXPECT_EQ(widget, nullptr);
        EXPECT_EQ(device.Refs + servant.Refs + staticProfile.Refs + dhcpProfile.Refs, 0);
    }

    void ShowDevice(TPluginFrameFlags Flags) {
        ASSERT_TRUE(frame->ShowDevice(&device, &profiles, Flags));
        Show();
        Heard();
    }
    QString Text(const char *Name) const { return Control<QLineEdit>(Name)->text(); }

    TFakeProfile staticProfile, dhcpProfile;
    TFakeProfileList profiles;
    TFakeDevice device;
    IPluginDeviceFrame *frame = nullptr;
};

class TProfileFrameTest : public TPluginFrameTest {
protected:
    void SetUp() override {
        profile.ProfileID = 7;
        profile.Name = TdpNameString::From(QStringLiteral("Lobby phones"));
        servant.Values[svEditRights] = 1;
        servant.Values[svSIPAddress] = 0x0A000001; // 10.0.0.1
        servant.Values[svSIPPort] = 5070;
        servant.Texts[svDomainName] = "corp.example";
        widget = module->CreateProfileFrame(&servant);
        Layout->addWidget(widget);
        frame = FrameInterface<IPluginProfileFrame>(widget);
    }
    void TearDown() override {
        frame->HideProfile();
        module->FreeFrame(widget);
        EXPECT_EQ(profile.Refs + servant.Refs, 0);
        EXPECT_EQ(servant.Outstanding() + servant.ForeignFrees, 0);
    }

    void ShowProfile(const char *CustomData, TPluginFrameFlags Flags = {}) {
        profile.CustomData = CustomData;
        ASSERT_TRUE(frame->ShowProfile(&profile, Flags));
        Show();
        Heard();
    }
    // The stored custom data after a forced apply.
    std::string Stored() {
        EXPECT_TRUE(frame->ApplyChanges(true));
        Heard();
        return profile.CustomData;
    }

    // The text a control shows: an edit's, a list's chosen item, a spin
    // edit's number, an address, a label's or a button's caption.
    QString Text(const char *Name) const {
        QWidget *control = Control(Name);
        if (auto *edit = qobject_cast<QLineEdit *>(control))
            return edit->text();
        if (auto *list = qobject_cast<QComboBox *>(control))
            return list->currentText();
        if (auto *label = qobject_cast<QLabel *>(control))
            return label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(control))
            return button->text();
        if (QWidget *mask = control->findChild<QFrame *>(QString(), Qt::FindDirectChildrenOnly);
            mask && !control->property("text").isValid())
            return mask->property("text").toString();
        return control->property("text").toString();
    }
    bool Checked(const char *Name) const { return Control<QAbstractButton>(Name)->isChecked(); }

    void OpenPage(const char *Caption) {
        auto *tabs = Control<QTabWidget>("pcSettings")->tabBar();
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == QLatin1String(Caption))
                QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(i).center());
    }
    // Picks the item with that text from the keyboard, as a user would.
    void Choose(const char *Name, const QString &Item) {
        auto *list = Control<QComboBox>(Name);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < list->count() && list->currentText() != Item; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        ASSERT_EQ(list->currentText(), Item);
    }
    // Focuses the field (a spin edit's number, an address's first group)
    // with everything selected, and types Text.
    void TypeInto(const char *Name, const QString &Text) {
        Control(Name)->setFocus(Qt::TabFocusReason);
        if (auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget()))
            edit->selectAll();
        Type(Text);
    }
    QString PagePath() {
        intptr_t result = 0;
        EXPECT_TRUE(frame->ProcessRequest(frqGetPagePath, 0, result));
        auto *path = reinterpret_cast<PAnsiStringRef>(result);
        return TakeAnsiStringRef(frame, path);
    }
    bool SetPagePath(const char *Path) {
        TAnsiStringRef path{Path};
        intptr_t result = 0;
        return frame->ProcessRequest(frqSetPagePath, reinterpret_cast<uintptr_t>(&path), result);
    }

    TFakeProfile profile;
    IPluginProfileFrame *frame = nullptr;
};
