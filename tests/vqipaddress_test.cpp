// The address controls: TVQIPAddress and TVQIPMask (fields, typing, text and
// value rules, clipboard, events) and TIPAddressEdit (its parser and value).
#include "ControlTesting.h"
#include "IPAddressEditors.h"
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

// The triplets' texts joined with "|".
QString Triplets(const TIPAddressEdit &ed) {
    QStringList result;
    for (int i = 0; i < 4; ++i)
        result.append(ed.Triplet(i)->Text());
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

    // Read-only: never changed.
    ip->SetReadOnly(true);
    EXPECT_EQ(paste("1.1.1.1", Qt::Key_V, Qt::ControlModifier), "172.16.99.4");
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
    int changes = 0;
    mask.OnChange = [&](QObject *) { ++changes; };
    mask.SetNML(32); // the default maximum is 31
    EXPECT_EQ(mask.NML(), 31);
    EXPECT_EQ(mask.Edit()->Text(), "255.255.255.254");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(mask.IsValidText(false));

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

TEST(IPAddressEditParser, ReadsDottedDecimalOrRefusesWithTheReason) {
    const std::pair<const char *, uint32_t> good[] = {
        {"192.168.1.10", 0xC0A8010Au}, {"0.0.0.0", 0},           {"255.255.255.255", 0xFFFFFFFFu},
        {"+1.2.3.4", 0x01020304u},     {"100.100.100.100", 0x64646464u}, // 15 characters
    };
    for (const auto &[text, ip] : good)
        EXPECT_EQ(TIPAddressEdit::StrToIP(text), ip) << text;

    const QString format = "Invalid IP Address string format", leading = "Leading zero is not allowed in IP Address";
    const std::pair<const char *, QString> bad[] = {
        {"100.100.100.1000", "IP Address string is too long"}, // 16 characters
        {"1.2.3", format},     {"1..3.4", format}, {"1.2.3.1234", format},
        {"01.2.3.4", leading},
        {"x.2.3.04", leading}, // the format of every part is checked before any part is read
        {"1.2.a.4", "IP Address contains illegal symbols. IP Address String is \"1.2.a.4\""},
        {"-1.2.3.4", "Triplets must be of range 0..255 in IP Address String \"-1.2.3.4\""},
    };
    for (const auto &[text, message] : bad)
        EXPECT_EQ(RaisedMessage<EIPAddressEditorError>([t = text] { TIPAddressEdit::StrToIP(t); }), message) << text;
}

TEST(IPAddressEditValue, TextWritesParseOrKeepTheValueAndZeroFollowsTheOption) {
    TIPAddressEdit ed;
    int changes = 0;
    ed.OnChange = [&](QObject *) { ++changes; };
    ed.SetText("10.0.200.3");
    EXPECT_EQ(ed.IP(), 0x0A00C803u);
    EXPECT_EQ(Triplets(ed), "10|0|200|3");
    EXPECT_EQ(ed.Text(), "10.0.200.3");
    EXPECT_EQ(changes, 5); // four fields, then the write itself
    EXPECT_EQ(ed.Triplet(0)->selectedText(), "10");
    ed.SetText("   ");
    EXPECT_EQ(Triplets(ed), "|||");
    EXPECT_EQ(ed.Text(), "");

    ed.SetIPEditOptions(ed.IPEditOptions() | ipeoAllowZeroIP);
    EXPECT_EQ(Triplets(ed), "0|0|0|0");
    EXPECT_EQ(ed.Text(), "0.0.0.0");
    ed.SetIP(0x7F000001);
    // The text is the fields' own; an unreadable field reads 0.
    ed.Triplet(1)->setText("");
    EXPECT_EQ(ed.Text(), "127..0.1");
    EXPECT_EQ(ed.IP(), 0x7F000001u);
}
