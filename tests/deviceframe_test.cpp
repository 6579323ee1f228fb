// The LYN 2 device frame as the host embeds it, through the loaded plug-in:
// what the controls show and what the container hears while a user creates
// and edits devices, links the device ID to the MAC address, makes a range,
// changes the profile and types a password.

#include "FrameTesting.h"

#include <QCheckBox>
#include <QComboBox>

namespace {

class DeviceFrame : public TDeviceFrameTest {
protected:
    // The number a spin edit shows.
    QString SpinText(const char *Name) const { return Control(Name)->findChild<QLineEdit *>()->text(); }
    // The chain between the device ID and the MAC address, as "shown" or "hidden"
    // when all four parts agree.
    QString Chain() const {
        const bool top = Shown("shpTop");
        for (const char *part : {"imgChain", "shpVert", "shpBottom"})
            if (Shown(part) != top)
                return QStringLiteral("broken");
        return top ? QStringLiteral("shown") : QStringLiteral("hidden");
    }
    // Focuses the edit as a user would by clicking it, everything selected.
    void Focus(const char *Name) {
        auto *edit = Control<QLineEdit>(Name);
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
    }
    intptr_t StartNumberRequest() {
        intptr_t result = 0;
        EXPECT_TRUE(frame->ProcessRequest(frqStartNumber, 0, result));
        return result;
    }
};

TEST_F(DeviceFrame, ANewDeviceStartsWithItsIDLinkedToTheMACAddress) {
    ASSERT_TRUE(frame->ShowDevice(&device, &profiles, {pffCreating}));
    EXPECT_EQ(Heard(), (Lines{"modified true", "conflict none"}));
    // The model's default address for a new device.
    EXPECT_EQ(Text("edMACAddress"), "00-01-E1-00-00-00");
    EXPECT_EQ(Text("edUniqueID"), "0001E1000000");
    EXPECT_EQ(Chain(), "shown");
    EXPECT_TRUE(frame->ApplyChanges(false));
    EXPECT_EQ(device.UniqueID.Text(), "0001E1000000");
}

TEST_F(DeviceFrame, CheckingTheBoxLinksAnExistingDeviceAndUncheckingFreesTheID) {
    ShowDevice({});
    EXPECT_EQ(Text("edUniqueID"), "desk1");
    EXPECT_TRUE(Enabled("edUniqueID"));
    EXPECT_FALSE(Control<QCheckBox>("cbIDLinkedToMAC")->isChecked());
    EXPECT_EQ(Chain(), "hidden");

    Click("cbIDLinkedToMAC");
    EXPECT_EQ(Text("edUniqueID"), "0001E1000001");
    EXPECT_FALSE(Enabled("edUniqueID"));
    EXPECT_EQ(Chain(), "shown");
    EXPECT_EQ(Heard(), (Lines{"modified true"}));

    Click("cbIDLinkedToMAC");
    EXPECT_TRUE(Enabled("edUniqueID"));
    EXPECT_EQ(Text("edUniqueID"), "0001E1000001"); // unlinking keeps the ID
    EXPECT_EQ(Chain(), "hidden");
}

TEST_F(DeviceFrame, TheMACAddressTakesHexadecimalDigitsInUpperCase) {
    ShowDevice({pffCreating});
    Focus("edMACAddress");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    Type("aBG 12cdef345");
    EXPECT_EQ(Control<QLineEdit>("edMACAddress")->displayText(), "AB-12-CD-EF-34-5_");
    EXPECT_EQ(Heard().back(), "conflict error (input): Invalid MAC address");
    EXPECT_EQ(Text("edUniqueID"), "0001E1000000"); // an incomplete address leaves the ID alone
    EXPECT_FALSE(frame->ApplyChanges(false));
    EXPECT_TRUE(device.Setters.empty());

    Type("6");
    EXPECT_EQ(Text("edMACAddress"), "AB-12-CD-EF-34-56");
    EXPECT_EQ(Text("edUniqueID"), "AB12CDEF3456");
    EXPECT_EQ(Heard().back(), "conflict none");
    EXPECT_TRUE(frame->ApplyChanges(false));
    EXPECT_EQ(device.MacAddress, (TdpMACAddress{{0xAB, 0x12, 0xCD, 0xEF, 0x34, 0x56}}));
    EXPECT_EQ(device.UniqueID.Text(), "AB12CDEF3456");
}

TEST_F(DeviceFrame, ARangeAsksTheHostForTheFirstFreeNumberOfThePrefix) {
    servant.StartNumbers = {{u"desk", 7}};
    device.UniqueID = {};
    ShowDevice({pffCreating, pffRange});
    EXPECT_EQ(Control<QLabel>("stUniqueID")->text(), "&Device Prefix");
    EXPECT_TRUE(Enabled("edUniqueID"));
    EXPECT_EQ(Chain(), "hidden");
    for (const char *name : {"vqipIP", "cbIDLinkedToMAC"})
        EXPECT_FALSE(Shown(name)) << name;
    EXPECT_TRUE(Shown("vqseStartNumber"));
    EXPECT_EQ(SpinText("vqseStartNumber"), "1");
    EXPECT_EQ(StartNumberRequest(), 1);

    Focus("edUniqueID");
    Type("desk");
    EXPECT_EQ(SpinText("vqseStartNumber"), "7");
    EXPECT_EQ(StartNumberRequest(), 7);
    // The host's number is the smallest the user can choose.
    QLineEdit *number = Control("vqseStartNumber")->findChild<QLineEdit *>();
    number->setFocus();
    QTest::keyClick(number, Qt::Key_Down);
    EXPECT_EQ(SpinText("vqseStartNumber"), "7");
    QTest::keyClick(number, Qt::Key_Up);
    EXPECT_EQ(StartNumberRequest(), 8);

    // A prefix the host does not know leaves the number as it is.
    Focus("edUniqueID");
    Type("x");
    EXPECT_EQ(SpinText("vqseStartNumber"), "8");
}

TEST_F(DeviceFrame, TheLANAddressIsEnabledWhileTheProfileGivesStaticAddresses) {
    ShowDevice({});
    EXPECT_TRUE(Enabled("vqipIP"));
    auto *list = Control<QComboBox>("cbProfile");
    EXPECT_EQ(list->itemText(0), "Dhcp"); // sorted
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(list->currentText(), "Dhcp");
    EXPECT_FALSE(Enabled("stIP"));
}

TEST_F(DeviceFrame, ThePasswordTakesItsCharacterSetAndIsStoredTrimmed) {
    ShowDevice({});
    Focus("edProxyPassword");
    Type("a b$c[^]{|}`");
    EXPECT_EQ(Text("edProxyPassword"), "abc");
    const struct {
        QString pasted, shown, stored;
    } rows[] = {
        {".,:;-_#*()'\"@&%/\\<>~+=?", ".,:;-_#*()'\"@&%/\\<>~+=?", ".,:;-_#*()'\"@&%/\\<>~+=?"},
        // The stored set's odd members: low bytes 1A and 1E are blanks to trimming.
        {QStringLiteral(u"\x1Ax\u00C6y\x1E"), QStringLiteral(u"\x1Ax\u00C6y\x1E"), QStringLiteral(u"x\u00C6y")},
    };
    for (const auto &row : rows) {
        Focus("edProxyPassword");
        SetClipboard(row.pasted);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(Text("edProxyPassword"), row.shown);
        EXPECT_TRUE(frame->ApplyChanges(false));
        EXPECT_EQ(device.ProxyPassword.Text(), row.stored);
    }
}

} // namespace
