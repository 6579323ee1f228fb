// TIPAddressEdit: its text parser and messages, the value, triplet keys and corrections.
#include "ControlTesting.h"
#include "IPAddressEditors.h"

namespace {

using IPAddressEdit = TActiveWindow;

// The triplets' texts joined with "|".
QString Triplets(const TIPAddressEdit &ed) {
    QStringList result;
    for (int i = 0; i < 4; ++i)
        result.append(ed.Triplet(i)->Text());
    return result.join('|');
}

} // namespace

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
        {"1.2.3", format},     {"1.2.3.4.5", format}, {"1..3.4", format}, {"1.2.3.1234", format}, {"", format},
        {"01.2.3.4", leading}, {"1.2.3.000", leading},
        {"x.2.3.04", leading}, // the format of every part is checked before any part is read
        {"1.2.a.4", "IP Address contains illegal symbols. IP Address String is \"1.2.a.4\""},
        {" 1.2.3.4", "IP Address contains illegal symbols. IP Address String is \" 1.2.3.4\""},
        {"1.2.3.256", "Triplets must be of range 0..255 in IP Address String \"1.2.3.256\""},
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
    EXPECT_THROW(ed.SetText("1.2.3"), EIPAddressEditorError);
    EXPECT_EQ(ed.IP(), 0x0A00C803u);
    ed.SetText("   ");
    EXPECT_EQ(Triplets(ed), "|||");
    EXPECT_EQ(ed.Text(), "");
    ed.SetText("10.0.200.3");
    ed.SetText("0");
    EXPECT_EQ(ed.IP(), 0u);

    ed.SetIPEditOptions(ed.IPEditOptions() | ipeoAllowZeroIP);
    EXPECT_EQ(Triplets(ed), "0|0|0|0");
    EXPECT_EQ(ed.Text(), "0.0.0.0");
    ed.SetIP(0x7F000001);
    // The text is the fields' own; an unreadable field reads 0.
    ed.Triplet(1)->setText("");
    EXPECT_EQ(ed.Text(), "127..0.1");
    EXPECT_EQ(ed.IP(), 0x7F000001u);
}

TEST_F(IPAddressEdit, TypingMovesOnAfterThreeDigitsAndAtDotsOtherKeysChangeNothingBadBytesAreCorrected) {
    auto *ed = Add<TIPAddressEdit>();
    QList<int> downs;
    ed->OnKeyDown = [&](QObject *sender, int &key, Qt::KeyboardModifiers) {
        EXPECT_EQ(sender, ed);
        downs.append(key);
    };
    Show(ed);
    EXPECT_EQ(Type("192168"), "Triplet2@0");
    EXPECT_EQ(Type("1.10 "), "Triplet0@3"); // from the last field to the first
    EXPECT_EQ(ed->Triplet(0)->selectedText(), "192");
    EXPECT_EQ(ed->Text(), "192.168.1.10");

    downs.clear();
    Type("a-");
    Press(Qt::Key_3, Qt::ShiftModifier);
    EXPECT_EQ(Press(Qt::Key_Home), "Triplet0@0");
    SetClipboard("99");
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Type("1"), "Triplet0@0"); // 1192 would be four digits: refused by the length
    EXPECT_EQ(ed->Text(), "192.168.1.10");
    EXPECT_EQ(downs, QList<int>({Qt::Key_A, Qt::Key_Minus, Qt::Key_3, Qt::Key_Home, Qt::Key_V, Qt::Key_1}));

    // Bytes above 255 are corrected: the first digit dropped, or by the handler, else to 0.
    ed->Triplet(1)->setFocus();
    ed->Triplet(1)->selectAll();
    EXPECT_EQ(Type("999"), "Triplet1@2");
    QList<std::pair<QString, int>> asked;
    ed->OnInvalidByteEnter = [&](QString &text, uint8_t byte) {
        asked.append({text, byte});
        text = text == "999" ? "255" : "x";
    };
    ed->Triplet(2)->setText("999");
    ed->Triplet(3)->setText("300");
    EXPECT_EQ(Triplets(*ed), "192|99|255|0");
    EXPECT_EQ(asked, (QList<std::pair<QString, int>>{{"999", 2}, {"300", 3}}));
}

TEST_F(IPAddressEdit, TabAndShiftTabReachOnKeyDownBeforeTheyMoveTheFocus) {
    auto *before = Add<TEdit>();
    auto *ed = Add<TIPAddressEdit>();
    auto *after = Add<TEdit>();
    before->SetName("before");
    after->SetName("after");
    QStringList downs;
    bool stay = false;
    ed->OnKeyDown = [&](QObject *sender, int &key, Qt::KeyboardModifiers shift) {
        EXPECT_EQ(sender, ed);
        downs.append(QKeySequence(key | shift).toString());
        if (stay)
            key = 0;
    };
    Show(ed->Triplet(0));
    EXPECT_EQ(Press(Qt::Key_Tab), "after@0");
    ed->Triplet(2)->setFocus();
    EXPECT_EQ(Press(Qt::Key_Backtab, Qt::ShiftModifier), "before@0");
    stay = true; // a handler that zeroes the key keeps the focus
    ed->Triplet(2)->setFocus();
    EXPECT_EQ(Press(Qt::Key_Backtab, Qt::ShiftModifier), "Triplet2@0");
    EXPECT_EQ(Press(Qt::Key_Tab), "Triplet2@0");
    EXPECT_EQ(downs, QStringList({"Tab", "Shift+Tab", "Shift+Tab", "Tab"}));
}

TEST_F(IPAddressEdit, TextFromInputMethodsPastesAndDropsKeepsToDigits) {
    auto *ed = Add<TIPAddressEdit>();
    Show(ed->Triplet(0));
    Commit("1a2");
    EXPECT_EQ(ed->Triplet(0)->Text(), "12");
    SetClipboard("3b");
    ed->Triplet(1)->setFocus();
    EXPECT_TRUE(ChooseFromContextMenu(ed->Triplet(1), "&Paste"));
    EXPECT_TRUE(Drop(ed->Triplet(2), "c4", QPoint(2, 2)));
    EXPECT_EQ(Triplets(*ed), "12|3|4|");
}

TEST_F(IPAddressEdit, ArrowsBackspaceAndClicksOnADotCrossTheDots) {
    auto *ed = Add<TIPAddressEdit>();
    ed->SetText("10.20.30.40");
    Show(ed->Triplet(1));
    ed->Triplet(1)->setCursorPosition(2);
    EXPECT_EQ(Press(Qt::Key_Right), "Triplet2@0");
    EXPECT_EQ(Press(Qt::Key_Left), "Triplet1@2");
    ed->Triplet(2)->setFocus();
    ed->Triplet(2)->setCursorPosition(0);
    EXPECT_EQ(Press(Qt::Key_Backspace), "Triplet1@1"); // deletes the last digit of the previous field
    EXPECT_EQ(ed->Text(), "10.2.30.40");
    // Keypad digits and the keypad's decimal key.
    Press(Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(Press(Qt::Key_Comma, Qt::KeypadModifier), "Triplet2@2");
    EXPECT_EQ(ed->Text(), "10.25.30.40");
    // A click on a dot goes to the end of the field before it.
    QTest::mouseClick(ed->Triplet(2)->parentWidget()->childAt(ed->Triplet(2)->x() - 2, ed->Triplet(2)->y() + 2), Qt::LeftButton);
    EXPECT_EQ(Focus(), "Triplet1@2");
}
