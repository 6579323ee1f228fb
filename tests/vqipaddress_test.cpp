// TVQIPAddress and TVQIPMask: fields, typing, text and value rules, clipboard, events.
#include "ControlTesting.h"
#include "VQIPAddress.h"

namespace {

using IPAddress = TActiveWindow;
using IPMask = TActiveWindow;

QStringList Fields(const TCustomVQIPAddress *ip) {
    QStringList result;
    for (int i = 0; i < ip->FieldCount(); ++i)
        result.append(ip->Field(i)->Text());
    return result;
}

} // namespace

TEST(MaskArithmetic, PrefixLengthsAndMasks) {
    EXPECT_EQ(NMLToMask(0), 0u);
    EXPECT_EQ(NMLToMask(1), 0x80000000u);
    EXPECT_EQ(NMLToMask(24), 0xFFFFFF00u);
    EXPECT_EQ(NMLToMask(32), 0xFFFFFFFFu);
    EXPECT_EQ(MaskToNML(0), 0);
    EXPECT_EQ(MaskToNML(0xFFFFFF00u), 24);
    EXPECT_EQ(MaskToNML(0xFF00FF00u), 24); // only the lowest set bit counts
    EXPECT_EQ(MaskToNML(0xFFFFFFFFu), 32);
    EXPECT_TRUE(IsValidMask(0xFFFFFF00u));
    EXPECT_TRUE(IsValidMask(0x80000000u));
    EXPECT_FALSE(IsValidMask(0));
    EXPECT_FALSE(IsValidMask(0xFFFFFFFFu));
    EXPECT_FALSE(IsValidMask(0xFF00FF00u));
    EXPECT_FALSE(IsValidMask(0x00FFFFFFu));
}

TEST(IPAddressText, WritesTakeOnlyTextsOfTheControlsFamily) {
    TVQIPAddress ip;
    int changes = 0;
    ip.OnChange = [&](QObject *) { ++changes; };
    ip.SetText("192.168.1.10");
    EXPECT_EQ(Fields(&ip), QStringList({"192", "168", "1", "10"}));
    EXPECT_EQ(ip.IPv4(), 0xC0A8010Au);
    EXPECT_EQ(changes, 1);

    ip.SetText("fe80::1");          // the other family
    ip.SetText("255.255.255.255");  // the address parser's error
    ip.SetText("nonsense");
    EXPECT_EQ(ip.Text(), "192.168.1.10");
    EXPECT_EQ(changes, 1);

    ip.SetText("10.1.2.3/24");
    EXPECT_TRUE(ip.ShortMask());
    EXPECT_EQ(Fields(&ip), QStringList({"10", "1", "2", "3", "24"}));
    EXPECT_EQ(ip.Text(), "10.1.2.3/24");
    EXPECT_EQ(ip.Field(4)->isHidden(), false);

    ip.SetText("");
    EXPECT_TRUE(ip.IP().IsNull());
    EXPECT_FALSE(ip.ShortMask());
    EXPECT_EQ(Fields(&ip), QStringList({"", "", "", ""}));
    EXPECT_EQ(changes, 3);
}

TEST(IPAddressText, EmptyAddressShowsEmptyFieldsOrZeros) {
    TVQIPAddress ip;
    ip.SetIPv4(0x0A000001);
    EXPECT_EQ(ip.Text(), "10.0.0.1");
    ip.SetIPv4(0);
    EXPECT_EQ(ip.IPRec().version, 0);
    EXPECT_EQ(Fields(&ip), QStringList({"", "", "", ""}));
    ip.SetNullAsEmpty(false);
    EXPECT_EQ(Fields(&ip), QStringList({"0", "0", "0", "0"}));
}

TEST(IPAddressText, VersionAndRecordWrites) {
    TVQIPAddress ip;
    ip.SetIPv4(0x01020304);
    ip.SetIPVersion(ivIPv6);
    EXPECT_TRUE(ip.IP().IsNull());
    EXPECT_EQ(ip.FieldCount(), 8);
    ip.SetShortMask(true); // not for IPv6
    EXPECT_FALSE(ip.ShortMask());
    ip.SetText("fe80::a:1");
    EXPECT_EQ(Fields(&ip), QStringList({"FE80", "0000", "0000", "0000", "0000", "0000", "000A", "0001"}));
    EXPECT_EQ(ip.Field(0)->maxLength(), 4);
    ip.SetText("10.0.0.1");
    EXPECT_EQ(ip.Text(), "fe80::a:1");

    // A record of the other family brings its family along.
    ip.SetIPRec(IPRecFromIPv4(0x0A000002));
    EXPECT_EQ(ip.IPVersion(), ivIPv4);
    EXPECT_EQ(ip.FieldCount(), 4);
    EXPECT_EQ(ip.Field(0)->maxLength(), 3);
    EXPECT_EQ(ip.Text(), "10.0.0.2");
    TIPAddress value;
    value.SetAsAnsiString("172.16.0.9/12");
    ip.SetIP(value);
    EXPECT_EQ(Fields(&ip), QStringList({"172", "16", "0", "9", "12"}));
    EXPECT_TRUE(ip.IPRec() == IPRecFromIPv4(0xAC100009));
}

TEST_F(IPAddress, TypingFillsTheFieldsAndReportsEachChange) {
    auto *ip = Add<TVQIPAddress>();
    QStringList log;
    ip->OnChange = [&](QObject *) { log.append("Change"); };
    ip->OnChangeEx = [&](QObject *, int index, const QString &value) { log.append(QString("ChangeEx %1 %2").arg(index).arg(value)); };
    Show();
    ip->setFocus();
    Type("192");
    EXPECT_TRUE(ip->Field(1)->hasFocus()); // a full field moves on
    Type("16.1.10");
    EXPECT_EQ(ip->Text(), "192.16.1.10");
    EXPECT_TRUE(ip->IsValidText(false));
    EXPECT_EQ(log.mid(0, 6), QStringList({"Change", "ChangeEx 0 1", "Change", "ChangeEx 0 19", "Change", "ChangeEx 0 192"}));
    EXPECT_EQ(log.size(), 2 * 8); // one change per digit
}

TEST_F(IPAddress, FieldsDropOtherCharactersAndNumbersAbove255) {
    auto *ip = Add<TVQIPAddress>();
    Show();
    ip->setFocus();
    QTest::keyClicks(ip->Field(0), "2a5 6-");
    EXPECT_EQ(ip->Field(0)->Text(), "25");
    EXPECT_EQ(ip->Field(0)->cursorPosition(), 2);
    EXPECT_TRUE(ip->Field(0)->hasFocus());
    QTest::keyClicks(ip->Field(0), "5");
    EXPECT_EQ(ip->Field(0)->Text(), "255");
    // "." in an empty IPv4 field stays put.
    QTest::keyClicks(ip->Field(1), ".");
    EXPECT_TRUE(ip->Field(1)->hasFocus());
    EXPECT_FALSE(ip->IsValidText(true));
    EXPECT_EQ(ip->Text(), "255.0.0.0");
}

TEST_F(IPAddress, NavigationKeysMoveBetweenFields) {
    auto *ip = Add<TVQIPAddress>();
    ip->SetText("1.2.3.4");
    Show();
    ip->setFocus();
    ip->Field(0)->setCursorPosition(1);
    QTest::keyClick(ip->Field(0), Qt::Key_Right);
    EXPECT_TRUE(ip->Field(1)->hasFocus());
    EXPECT_EQ(ip->Field(1)->cursorPosition(), 0);
    QTest::keyClick(ip->Field(1), Qt::Key_Left);
    EXPECT_TRUE(ip->Field(0)->hasFocus());
    EXPECT_EQ(ip->Field(0)->cursorPosition(), 1);
    QTest::keyClick(ip->Field(0), Qt::Key_End);
    EXPECT_TRUE(ip->Field(3)->hasFocus());
    ip->Field(3)->setCursorPosition(0);
    QTest::keyClick(ip->Field(3), Qt::Key_Backspace); // at the start: to the end of the previous field
    EXPECT_TRUE(ip->Field(2)->hasFocus());
    EXPECT_EQ(ip->Text(), "1.2.3.4");
    QTest::keyClick(ip->Field(2), Qt::Key_Backspace);
    EXPECT_EQ(ip->Text(), "1.2.0.4");
    QTest::keyClick(ip->Field(2), Qt::Key_Home);
    EXPECT_TRUE(ip->Field(0)->hasFocus());

    // Clearing every field empties the address.
    ip->SetText("1.0.0.0");
    ip->SetNullAsEmpty(true);
    ip->Field(0)->setCursorPosition(1);
    QTest::keyClick(ip->Field(0), Qt::Key_Backspace);
    EXPECT_EQ(ip->IPRec().version, 4);
    for (int i = 1; i < 4; ++i)
        ip->Field(i)->clear();
    EXPECT_EQ(ip->IPRec().version, 0);
    EXPECT_TRUE(ip->IsValidText(true));
    EXPECT_FALSE(ip->IsValidText(false));
}

TEST_F(IPAddress, IPv6FieldsTakeHexDigitsInUpperCase) {
    auto *ip = Add<TVQIPAddress>();
    ip->SetIPVersion(ivIPv6);
    Show();
    ip->setFocus();
    QTest::keyClicks(ip->Field(0), "fe8g0:");
    EXPECT_EQ(ip->Field(0)->Text(), "FE80");
    EXPECT_TRUE(ip->Field(1)->hasFocus());
    QTest::keyClicks(ip->Field(1), ":"); // an empty field becomes 0000 first
    EXPECT_EQ(ip->Field(1)->Text(), "0000");
    EXPECT_TRUE(ip->Field(2)->hasFocus());
    Type(".....1");
    EXPECT_EQ(ip->Text(), "fe80::1");
    EXPECT_TRUE(ip->IsValidText(false));
}

TEST_F(IPAddress, ClipboardActsOnTheWholeAddressOrTheSelection) {
    auto *ip = Add<TVQIPAddress>();
    ip->SetText("10.20.30.40");
    Show();
    ip->setFocus();
    SetClipboard("");
    QTest::keyClick(ip->Field(1), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), "10.20.30.40");
    ip->Field(1)->setSelection(0, 1);
    QTest::keyClick(ip->Field(1), Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), "2");

    SetClipboard(" 172.16.5.4\n");
    QTest::keyClick(ip->Field(2), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ip->Text(), "172.16.5.4");
    SetClipboard("not an address");
    QTest::keyClick(ip->Field(2), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(ip->Text(), "172.16.5.4");
    // A number goes into the field, if it stays within 255.
    ip->Field(2)->selectAll();
    SetClipboard("99");
    QTest::keyClick(ip->Field(2), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ip->Text(), "172.16.99.4");
    SetClipboard("1");
    QTest::keyClick(ip->Field(2), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ip->Text(), "172.16.99.4");

    int changes = 0;
    ip->OnChange = [&](QObject *) { ++changes; };
    QTest::keyClick(ip->Field(0), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), "172.16.99.4");
    EXPECT_TRUE(ip->IP().IsNull());
    EXPECT_EQ(changes, 1);
    ip->PasteFromClipboard();
    EXPECT_EQ(ip->Text(), "172.16.99.4");
}

TEST_F(IPAddress, ReadOnlyFieldsCanBeCopiedButNotChanged) {
    auto *ip = Add<TVQIPAddress>();
    ip->SetText("10.0.0.1");
    ip->SetReadOnly(true);
    Show();
    ip->setFocus();
    QTest::keyClicks(ip->Field(0), "5");
    SetClipboard("1.1.1.1");
    QTest::keyClick(ip->Field(0), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(ip->Field(0), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(ip->Text(), "10.0.0.1");
    EXPECT_EQ(Clipboard(), "1.1.1.1");
    QTest::keyClick(ip->Field(0), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), "10.0.0.1");
}

TEST_F(IPAddress, TabLeavesTheControlFromAnyField) {
    auto *before = Add<TEdit>();
    auto *ip = Add<TVQIPAddress>();
    auto *after = Add<TEdit>();
    QStringList log;
    ip->OnEnter = [&](QObject *) { log.append("Enter"); };
    ip->OnExit = [&](QObject *) { log.append("Exit"); };
    Show();
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    EXPECT_TRUE(ip->Field(0)->hasFocus());
    QTest::keyClicks(ip->Field(0), "10.");
    EXPECT_TRUE(ip->Field(1)->hasFocus());
    QTest::keyClick(ip->Field(1), Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
    ip->Field(2)->setFocus();
    QTest::keyClick(ip->Field(2), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(before->hasFocus());
    EXPECT_EQ(log, QStringList({"Enter", "Exit", "Enter", "Exit"}));
}

namespace {
class TKeyCatcher : public QWidget {
public:
    QList<int> Keys;

protected:
    void keyPressEvent(QKeyEvent *event) override { Keys.append(event->key()); }
};
} // namespace

TEST(IPAddressKeys, EnterEscapeAndF2GoToTheParent) {
    TKeyCatcher window;
    auto *ip = new TVQIPAddress(&window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ip->setFocus();
    for (int key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_F2, Qt::Key_A})
        QTest::keyClick(ip->Field(0), Qt::Key(key));
    EXPECT_EQ(window.Keys, QList<int>({Qt::Key_Return, Qt::Key_Escape, Qt::Key_F2}));
}

TEST(IPMaskValue, PrefixLengthWritesShowTheirMask) {
    TVQIPMask mask;
    EXPECT_EQ(mask.NML(), 24);
    EXPECT_EQ(mask.Edit()->Text(), "255.255.255.0");
    EXPECT_EQ(mask.MinNML(), 1);
    EXPECT_EQ(mask.MaxNML(), 31);
    EXPECT_EQ(mask.ButtonsOrientation(), udHorizontal);
    int changes = 0;
    mask.OnChange = [&](QObject *) { ++changes; };
    mask.SetNML(32);
    EXPECT_EQ(mask.NML(), 31);
    EXPECT_EQ(mask.Edit()->Text(), "255.255.255.254");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(mask.IsValidText(false));

    mask.SetMinNML(0);
    mask.SetNML(0);
    EXPECT_EQ(mask.Mask(), 0u);
    EXPECT_EQ(Fields(mask.Edit()), QStringList({"0", "0", "0", "0"}));
    EXPECT_TRUE(mask.IsValidText(true));
    EXPECT_FALSE(mask.IsValidText(false));
}

TEST(IPMaskValue, RangeLimitsOutside0To32Raise) {
    TVQIPMask mask;
    try {
        mask.SetMinNML(33);
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), "33 is not a valid value for minimum NML. The allowed range is 0 to 32");
    }
    try {
        mask.SetMaxNML(-1);
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), "-1 is not a valid value for maximum NML. The allowed range is 0 to 32");
    }
    EXPECT_EQ(mask.MinNML(), 1);
    EXPECT_EQ(mask.MaxNML(), 31);
    mask.SetMaxNML(32);
    mask.SetNML(32);
    EXPECT_EQ(mask.Mask(), 0xFFFFFFFFu);
}

TEST_F(IPMask, TypedMaskSetsThePrefixAtOnceAndLeavingRewritesIt) {
    auto *mask = Add<TVQIPMask>();
    auto *next = Add<TEdit>();
    QList<std::pair<uint32_t, uint32_t>> invalid;
    mask->OnInvalidMaskChange = [&](QObject *, uint32_t was, uint32_t now) { invalid.append({was, now}); };
    Show();
    mask->setFocus();
    QTest::keyClick(mask->Edit()->Field(0), Qt::Key_End);
    mask->Edit()->Field(3)->selectAll();
    QTest::keyClicks(mask->Edit()->Field(3), "0");
    mask->SetNML(8);
    mask->Edit()->SetText("255.0.255.0");
    EXPECT_EQ(mask->NML(), 24);
    EXPECT_EQ(mask->Edit()->Text(), "255.0.255.0"); // stays as typed
    EXPECT_FALSE(mask->IsValidText(false));
    mask->setFocus();
    QTest::keyClick(mask->Edit()->Field(0), Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(mask->Edit()->Text(), "255.255.255.0");
    EXPECT_EQ(invalid, (QList<std::pair<uint32_t, uint32_t>>{{0xFF00FF00u, 0xFFFFFF00u}}));
    EXPECT_TRUE(mask->IsValidText(false));
}

TEST_F(IPMask, TypingAMaskFieldByFieldFollowsWithThePrefix) {
    auto *mask = Add<TVQIPMask>();
    QList<int> seen;
    mask->OnChange = [&](QObject *) { seen.append(mask->NML()); };
    Show();
    mask->setFocus();
    mask->Edit()->Field(2)->selectAll();
    QTest::keyClicks(mask->Edit()->Field(2), "0");
    EXPECT_EQ(mask->NML(), 16);
    // Only the lowest set bit counts; a mask of zeros is limited to the minimum.
    mask->Edit()->Field(0)->setText("0");
    EXPECT_EQ(mask->NML(), 16);
    mask->Edit()->Field(1)->setText("0");
    EXPECT_EQ(mask->NML(), 1);
    EXPECT_EQ(seen, QList<int>({16, 16, 1}));
}

TEST_F(IPMask, CounterAndArrowKeysStepThePrefix) {
    auto *mask = Add<TVQIPMask>();
    Show();
    mask->setFocus();
    QTest::keyClick(mask->Edit()->Field(0), Qt::Key_Up);
    EXPECT_EQ(mask->NML(), 25);
    EXPECT_EQ(mask->Edit()->Text(), "255.255.255.128");
    QWidget *left = mask->UpDown()->childAt(2, mask->UpDown()->height() / 2);
    QTest::mouseClick(left, Qt::LeftButton);
    EXPECT_EQ(mask->Edit()->Text(), "255.255.255.0");
    mask->SetReadOnly(true);
    EXPECT_FALSE(mask->UpDown()->isEnabled());
    QTest::keyClick(mask->Edit()->Field(0), Qt::Key_Down);
    EXPECT_EQ(mask->NML(), 24);
    EXPECT_TRUE(mask->Edit()->Field(0)->isReadOnly());
}
