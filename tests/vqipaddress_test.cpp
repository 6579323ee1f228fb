// TVQIPAddress and TVQIPMask: fields, typing, text and value rules, clipboard, events.
#include "ControlTesting.h"
#include "VQIPAddress.h"

namespace {

using IPAddress = TActiveWindow;
using IPMask = TActiveWindow;

// The texts of the fields that are not hidden, joined with "|".
QString Fields(const TCustomVQIPAddress *ip) {
    QStringList result;
    for (int i = 0; i < 8 && !ip->Field(i)->isHidden(); ++i)
        result.append(ip->Field(i)->Text());
    return result.join('|');
}

} // namespace

TEST(MaskArithmetic, PrefixLengthsAndMasks) {
    const struct { uint32_t Mask; int NML; bool Valid; } rows[] = {
        {0, 0, false}, {0x80000000u, 1, true}, {0xFFFFFF00u, 24, true}, {0xFFFFFFFFu, 32, false},
        {0xFF00FF00u, 24, false}, {0x00FFFFFFu, 32, false}, // only the lowest set bit counts
    };
    for (const auto &row : rows) {
        EXPECT_EQ(MaskToNML(row.Mask), row.NML) << row.Mask;
        EXPECT_EQ(IsValidMask(row.Mask), row.Valid) << row.Mask;
        if (row.Valid || row.Mask == 0 || row.Mask == 0xFFFFFFFFu) { // masks contiguous from the top
            EXPECT_EQ(NMLToMask(row.NML), row.Mask) << row.NML;
        }
    }
}

TEST(IPAddressText, WritesTakeOnlyTextsOfTheControlsFamily) {
    TVQIPAddress ip;
    int changes = 0;
    ip.OnChange = [&](QObject *) { ++changes; };
    const struct { const char *Written, *Fields, *Text; } writes[] = {
        {"192.168.1.10", "192|168|1|10", "192.168.1.10"},
        {"fe80::1", "192|168|1|10", "192.168.1.10"}, // the other family
        {"255.255.255.255", "192|168|1|10", "192.168.1.10"}, // the address parser's errors
        {"nonsense", "192|168|1|10", "192.168.1.10"},
        {"10.1.2.3/24", "10|1|2|3|24", "10.1.2.3/24"}, // a prefix length sets ShortMask
        {"10.1.2.3/300", "10|1|2|3|300", "10.1.2.3/300"}, // the number as written, not a byte of it
        {"", "|||", ""}, // clears, ShortMask too
    };
    for (const auto &write : writes) {
        ip.SetText(write.Written);
        EXPECT_EQ(Fields(&ip), write.Fields) << write.Written;
        EXPECT_EQ(ip.Text(), write.Text);
    }
    EXPECT_EQ(changes, 4);

    ip.SetIPv4(0xC0A8010A);
    EXPECT_EQ(ip.Text(), "192.168.1.10");
    ip.SetIPv4(0); // empty: empty fields, or "0" in each
    EXPECT_EQ(ip.IPRec().version, 0);
    EXPECT_EQ(Fields(&ip), "|||");
    ip.SetNullAsEmpty(false);
    EXPECT_EQ(Fields(&ip), "0|0|0|0");
}

TEST(IPAddressText, VersionAndRecordWrites) {
    TVQIPAddress ip;
    ip.SetIPv4(0x01020304);
    ip.SetIPVersion(ivIPv6);
    EXPECT_TRUE(ip.IP().IsNull());
    ip.SetShortMask(true); // not for IPv6
    ip.SetText("fe80::a:1");
    ip.SetText("10.0.0.1");
    EXPECT_EQ(Fields(&ip), "FE80|0000|0000|0000|0000|0000|000A|0001");
    EXPECT_EQ(ip.Field(0)->maxLength(), 4);

    // A record or an address of the other family brings its family along.
    ip.SetIPRec(IPRecFromIPv4(0x0A000002));
    EXPECT_EQ(Fields(&ip), "10|0|0|2");
    EXPECT_EQ(ip.Field(0)->maxLength(), 3);
    TIPAddress value;
    value.SetAsAnsiString("172.16.0.9/12");
    ip.SetIP(value);
    EXPECT_EQ(Fields(&ip), "172|16|0|9|12");
    EXPECT_TRUE(ip.IPRec() == IPRecFromIPv4(0xAC100009));
}

TEST_F(IPAddress, TypingFillsTheFieldsDropsOtherCharactersAndReportsEachChange) {
    auto *ip = Add<TVQIPAddress>();
    QStringList log;
    ip->OnChange = [&](QObject *) { log.append("Change"); };
    ip->OnChangeEx = [&](QObject *, int field, const QString &text) { log.append(QString("ChangeEx %1 %2").arg(field).arg(text)); };
    Show(ip);
    EXPECT_EQ(Type("2a5 6-"), "Field0@2"); // 256 is above 255
    EXPECT_EQ(Type("5"), "Field1@0");      // a full field moves on
    EXPECT_EQ(Type("."), "Field1@0");      // "." in an empty IPv4 field stays put
    EXPECT_FALSE(ip->IsValidText(true));
    EXPECT_EQ(log.mid(0, 6), QStringList({"Change", "ChangeEx 0 2", "Change", "ChangeEx 0 25", "Change", "ChangeEx 0 255"}));
    Type("16.1.10");
    EXPECT_EQ(ip->Text(), "255.16.1.10");
    EXPECT_TRUE(ip->IsValidText(false));
    EXPECT_EQ(log.size(), 2 * 8); // one change per digit

    // IPv6 fields take hexadecimal digits, shown in upper case.
    ip->SetIPVersion(ivIPv6);
    ip->Field(0)->setFocus();
    EXPECT_EQ(Type("fe8g0:"), "Field1@0");
    EXPECT_EQ(Type(":"), "Field2@0"); // an empty field becomes 0000 first
    Type(".....1");
    EXPECT_EQ(Fields(ip), "FE80|0000|0000|0000|0000|0000|0000|1");
    EXPECT_EQ(ip->Text(), "fe80::1");
    EXPECT_TRUE(ip->IsValidText(false));
}

TEST_F(IPAddress, NavigationKeysMoveBetweenFields) {
    auto *ip = Add<TVQIPAddress>();
    ip->SetText("1.2.3.4");
    Show(ip);
    const auto caretAt = [&](int caret) { qobject_cast<QLineEdit *>(QApplication::focusWidget())->setCursorPosition(caret); };
    caretAt(1);
    EXPECT_EQ(Press(Qt::Key_Right), "Field1@0");
    EXPECT_EQ(Press(Qt::Key_Left), "Field0@1");
    EXPECT_EQ(Press(Qt::Key_End), "Field3@1");
    caretAt(0);
    EXPECT_EQ(Press(Qt::Key_Backspace), "Field2@1"); // at the start: to the end of the previous field
    EXPECT_EQ(ip->Text(), "1.2.3.4");
    EXPECT_EQ(Press(Qt::Key_Backspace), "Field2@0");
    EXPECT_EQ(ip->Text(), "1.2.0.4");
    EXPECT_EQ(Press(Qt::Key_Home), "Field0@0");

    // Clearing every field empties the address.
    ip->SetText("1.0.0.0");
    caretAt(1);
    Press(Qt::Key_Backspace);
    EXPECT_EQ(ip->IPRec().version, 4);
    for (int i = 1; i < 4; ++i)
        ip->Field(i)->clear();
    EXPECT_EQ(ip->IPRec().version, 0);
    EXPECT_TRUE(ip->IsValidText(true));
    EXPECT_FALSE(ip->IsValidText(false));
}

TEST_F(IPAddress, ClipboardActsOnTheWholeAddressOrTheSelection) {
    auto *ip = Add<TVQIPAddress>();
    ip->SetText("10.20.30.40");
    Show(ip->Field(1));
    // A key pressed with the clipboard set; copy tells the clipboard then, paste the address.
    const auto copy = [&](Qt::Key key, Qt::KeyboardModifiers mod) { SetClipboard(""); Press(key, mod); return Clipboard(); };
    const auto paste = [&](const QString &text, Qt::Key key, Qt::KeyboardModifiers mod) {
        SetClipboard(text);
        Press(key, mod);
        return ip->Text();
    };
    EXPECT_EQ(copy(Qt::Key_C, Qt::ControlModifier), "10.20.30.40");
    ip->Field(1)->setSelection(0, 1);
    EXPECT_EQ(copy(Qt::Key_Insert, Qt::ControlModifier), "2");
    ip->Field(2)->setFocus();
    EXPECT_EQ(paste(" 172.16.5.4\n", Qt::Key_V, Qt::ControlModifier), "172.16.5.4");
    EXPECT_EQ(paste("not an address", Qt::Key_Insert, Qt::ShiftModifier), "172.16.5.4");
    // A number goes into the field, if it stays within 255.
    ip->Field(2)->selectAll();
    EXPECT_EQ(paste("99", Qt::Key_V, Qt::ControlModifier), "172.16.99.4");
    EXPECT_EQ(paste("1", Qt::Key_V, Qt::ControlModifier), "172.16.99.4");

    int changes = 0;
    ip->OnChange = [&](QObject *) { ++changes; };
    EXPECT_EQ(copy(Qt::Key_X, Qt::ControlModifier), "172.16.99.4");
    EXPECT_TRUE(ip->IP().IsNull());
    EXPECT_EQ(changes, 1);
    ip->PasteFromClipboard();
    EXPECT_EQ(ip->Text(), "172.16.99.4");

    // Read-only: copied, never changed.
    ip->SetReadOnly(true);
    Type("5");
    EXPECT_EQ(paste("1.1.1.1", Qt::Key_V, Qt::ControlModifier), "172.16.99.4");
    EXPECT_EQ(paste("1.1.1.1", Qt::Key_X, Qt::ControlModifier), "172.16.99.4");
    EXPECT_EQ(Clipboard(), "1.1.1.1");
    EXPECT_EQ(copy(Qt::Key_C, Qt::ControlModifier), "172.16.99.4");
}

TEST_F(IPAddress, TheContextMenusCopyAndCutWithoutASelectionTakeTheWholeAddress) {
    auto *ip = Add<TVQIPAddress>();
    ip->SetText("10.20.30.40");
    Show(ip->Field(1));
    SetClipboard("");
    EXPECT_TRUE(ChooseFromContextMenu(ip->Field(1), "&Copy"));
    EXPECT_EQ(Clipboard(), "10.20.30.40");
    ip->Field(2)->setFocus();
    ip->Field(2)->setSelection(0, 1);
    EXPECT_TRUE(ChooseFromContextMenu(ip->Field(2), "&Copy"));
    EXPECT_EQ(Clipboard(), "3");
    ip->Field(2)->deselect();
    SetClipboard("");
    EXPECT_TRUE(ChooseFromContextMenu(ip->Field(2), "Cu&t"));
    EXPECT_EQ(Clipboard(), "10.20.30.40");
    EXPECT_EQ(Fields(ip), "|||");
}

TEST_F(IPAddress, TextFromOtherKeysInputMethodsAndDropsIsFilteredAsTyped) {
    auto *ip = Add<TVQIPAddress>();
    QStringList changes;
    ip->OnChangeEx = [&](QObject *, int field, const QString &text) { changes.append(QString("%1:%2").arg(field).arg(text)); };
    Show(ip);
    Press(Qt::Key_Z, Qt::AltModifier);
    Press(Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(Commit("1z.2"), "Field1@1"); // a separator moves on, as typed
    EXPECT_EQ(Fields(ip), "1|2||");
    EXPECT_EQ(ip->Text(), "1.2.0.0");
    EXPECT_EQ(changes, QStringList({"0:1", "1:2"}));
    // A drop is a paste where it falls: a number into the field, other text into the whole address.
    EXPECT_TRUE(Drop(ip->Field(2), "7", QPoint(2, 2)));
    EXPECT_EQ(Fields(ip), "1|2|7|");
    EXPECT_TRUE(Drop(ip->Field(3), "7z", QPoint(2, 2)));
    EXPECT_EQ(Fields(ip), "1|2|7|");
    EXPECT_TRUE(Drop(ip->Field(3), "10.0.0.9", QPoint(2, 2)));
    EXPECT_EQ(ip->Text(), "10.0.0.9");
}

TEST_F(IPAddress, TabLeavesTheControlFromAnyFieldAndDialogKeysGoToTheParent) {
    auto *before = Add<TEdit>();
    auto *ip = Add<TVQIPAddress>();
    Add<TEdit>()->SetName("after");
    before->SetName("before");
    QStringList log;
    ip->OnEnter = [&](QObject *) { log.append("Enter"); };
    ip->OnExit = [&](QObject *) { log.append("Exit"); };
    Show(before);
    EXPECT_EQ(Press(Qt::Key_Tab), "Field0@0");
    EXPECT_EQ(Type("10."), "Field1@0");
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_F2, Qt::Key_A})
        Press(key);
    EXPECT_EQ(Window.Keys, QList<int>({Qt::Key_Return, Qt::Key_Escape, Qt::Key_F2}));
    EXPECT_EQ(Press(Qt::Key_Tab), "after@0");
    ip->Field(2)->setFocus();
    EXPECT_EQ(Press(Qt::Key_Backtab, Qt::ShiftModifier), "before@0");
    EXPECT_EQ(log, QStringList({"Enter", "Exit", "Enter", "Exit"}));
}

TEST(IPMaskValue, PrefixLengthWritesShowTheirMaskWithinTheLimits) {
    TVQIPMask mask;
    EXPECT_EQ(mask.Edit()->Text(), "255.255.255.0"); // 24
    EXPECT_EQ(mask.ButtonsOrientation(), udHorizontal);
    int changes = 0;
    mask.OnChange = [&](QObject *) { ++changes; };
    mask.SetNML(32); // the default maximum is 31
    EXPECT_EQ(mask.NML(), 31);
    EXPECT_EQ(mask.Edit()->Text(), "255.255.255.254");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(mask.IsValidText(false));

    EXPECT_EQ(RaisedMessage([&] { mask.SetMinNML(33); }),
              "33 is not a valid value for minimum NML. The allowed range is 0 to 32");
    EXPECT_EQ(RaisedMessage([&] { mask.SetMaxNML(-1); }),
              "-1 is not a valid value for maximum NML. The allowed range is 0 to 32");
    EXPECT_EQ(mask.MinNML(), 1);
    EXPECT_EQ(mask.MaxNML(), 31);
    mask.SetMaxNML(32);
    mask.SetNML(32);
    EXPECT_EQ(mask.Mask(), 0xFFFFFFFFu);
    mask.SetMinNML(0);
    mask.SetNML(0);
    EXPECT_EQ(Fields(mask.Edit()), "0|0|0|0");
    EXPECT_TRUE(mask.IsValidText(true));
    EXPECT_FALSE(mask.IsValidText(false));
}

TEST_F(IPMask, TypedMaskSetsThePrefixAtOnceLeavingRewritesItKeysAndCounterStepIt) {
    auto *mask = Add<TVQIPMask>();
    auto *next = Add<TEdit>();
    QList<int> seen;
    mask->OnChange = [&](QObject *) { seen.append(mask->NML()); };
    QList<std::pair<uint32_t, uint32_t>> invalid;
    mask->OnInvalidMaskChange = [&](QObject *, uint32_t was, uint32_t now) { invalid.append({was, now}); };
    Show(mask->Edit()->Field(2));
    mask->Edit()->Field(2)->selectAll();
    Type("0");
    // Only the lowest set bit counts; a mask of zeros is limited to the minimum.
    mask->Edit()->Field(0)->setText("0");
    mask->Edit()->Field(1)->setText("0");
    EXPECT_EQ(seen, QList<int>({16, 16, 1}));

    mask->Edit()->SetText("255.0.255.0");
    EXPECT_EQ(mask->NML(), 24);
    EXPECT_EQ(mask->Edit()->Text(), "255.0.255.0"); // stays as typed
    EXPECT_FALSE(mask->IsValidText(false));
    Press(Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(mask->Edit()->Text(), "255.255.255.0");
    EXPECT_EQ(invalid, (QList<std::pair<uint32_t, uint32_t>>{{0xFF00FF00u, 0xFFFFFF00u}}));
    EXPECT_TRUE(mask->IsValidText(false));

    // The arrow keys and the counter step the prefix length, unless read-only.
    mask->setFocus();
    Press(Qt::Key_Up);
    EXPECT_EQ(mask->Edit()->Text(), "255.255.255.128");
    ClickButton(mask->UpDown(), btPrev);
    EXPECT_EQ(mask->Edit()->Text(), "255.255.255.0");
    mask->SetReadOnly(true);
    EXPECT_FALSE(mask->UpDown()->isEnabled());
    Press(Qt::Key_Down);
    EXPECT_EQ(mask->NML(), 24);
    EXPECT_TRUE(mask->Edit()->Field(0)->isReadOnly());
}
