// TIPAddressEdit: its text parser and messages, the value, triplet keys and corrections.
#include "ControlTesting.h"
#include "IPAddressEditors.h"

namespace {

using IPAddressEdit = TActiveWindow;

QString ParseError(const QString &text) {
    try {
        TIPAddressEdit::StrToIP(text);
    } catch (const EIPAddressEditorError &e) {
        return e.Message();
    }
    return {};
}

QStringList Triplets(const TIPAddressEdit *ed) {
    QStringList result;
    for (int i = 0; i < 4; ++i)
        result.append(ed->Triplet(i)->Text());
    return result;
}

} // namespace

TEST(IPAddressEditParser, ReadsDottedDecimal) {
    EXPECT_EQ(TIPAddressEdit::StrToIP("192.168.1.10"), 0xC0A8010Au);
    EXPECT_EQ(TIPAddressEdit::StrToIP("0.0.0.0"), 0u);
    EXPECT_EQ(TIPAddressEdit::StrToIP("255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(TIPAddressEdit::StrToIP("+1.2.3.4"), 0x01020304u);
}

TEST(IPAddressEditParser, RefusesWithTheReason) {
    EXPECT_EQ(ParseError("100.100.100.1000"), "IP Address string is too long"); // 16 characters
    EXPECT_EQ(ParseError("100.100.100.100"), "");
    EXPECT_EQ(ParseError("1.2.3"), "Invalid IP Address string format");
    EXPECT_EQ(ParseError("1.2.3.4.5"), "Invalid IP Address string format");
    EXPECT_EQ(ParseError("1..3.4"), "Invalid IP Address string format");
    EXPECT_EQ(ParseError("1.2.3.1234"), "Invalid IP Address string format");
    EXPECT_EQ(ParseError(""), "Invalid IP Address string format");
    EXPECT_EQ(ParseError("01.2.3.4"), "Leading zero is not allowed in IP Address");
    EXPECT_EQ(ParseError("1.2.3.000"), "Leading zero is not allowed in IP Address");
    EXPECT_EQ(ParseError("1.2.a.4"), "IP Address contains illegal symbols. IP Address String is \"1.2.a.4\"");
    EXPECT_EQ(ParseError(" 1.2.3.4"), "IP Address contains illegal symbols. IP Address String is \" 1.2.3.4\"");
    EXPECT_EQ(ParseError("1.2.3.256"), "Triplets must be of range 0..255 in IP Address String \"1.2.3.256\"");
    EXPECT_EQ(ParseError("-1.2.3.4"), "Triplets must be of range 0..255 in IP Address String \"-1.2.3.4\"");
    // The format of every part is checked before any part is read.
    EXPECT_EQ(ParseError("x.2.3.04"), "Leading zero is not allowed in IP Address");
}

TEST(IPAddressEditValue, TextWritesParseOrKeepTheValue) {
    TIPAddressEdit ed;
    int changes = 0;
    ed.OnChange = [&](QObject *) { ++changes; };
    ed.SetText("10.0.200.3");
    EXPECT_EQ(ed.IP(), 0x0A00C803u);
    EXPECT_EQ(Triplets(&ed), QStringList({"10", "0", "200", "3"}));
    EXPECT_EQ(ed.Text(), "10.0.200.3");
    EXPECT_EQ(changes, 5); // four fields, then the write itself
    EXPECT_EQ(ed.Triplet(0)->selectedText(), "10");

    EXPECT_THROW(ed.SetText("1.2.3"), EIPAddressEditorError);
    EXPECT_EQ(ed.IP(), 0x0A00C803u);
    changes = 0;
    ed.SetText("   ");
    EXPECT_EQ(ed.IP(), 0u);
    EXPECT_EQ(ed.Text(), "");
    EXPECT_EQ(Triplets(&ed), QStringList({"", "", "", ""}));
    ed.SetText("10.0.200.3");
    ed.SetText("0");
    EXPECT_EQ(ed.IP(), 0u);
}

TEST(IPAddressEditValue, ZeroFollowsTheOption) {
    TIPAddressEdit ed;
    ed.SetIP(0);
    EXPECT_EQ(Triplets(&ed), QStringList({"", "", "", ""}));
    ed.SetIPEditOptions(ed.IPEditOptions() | ipeoAllowZeroIP);
    EXPECT_EQ(Triplets(&ed), QStringList({"0", "0", "0", "0"}));
    EXPECT_EQ(ed.Text(), "0.0.0.0");
    ed.SetIP(0x7F000001);
    EXPECT_EQ(ed.Text(), "127.0.0.1");
    // The text is the fields' own; an unreadable field reads 0.
    ed.Triplet(1)->setText("");
    EXPECT_EQ(ed.Text(), "127..0.1");
    EXPECT_EQ(ed.IP(), 0x7F000001u);
}

TEST_F(IPAddressEdit, TypingMovesOnAfterThreeDigitsAndAtDots) {
    auto *ed = Add<TIPAddressEdit>();
    Show();
    ed->setFocus();
    Type("192168");
    EXPECT_TRUE(ed->Triplet(2)->hasFocus());
    Type("1.10 ");
    EXPECT_EQ(ed->Text(), "192.168.1.10");
    EXPECT_TRUE(ed->Triplet(0)->hasFocus()); // from the last field to the first
    EXPECT_EQ(ed->Triplet(0)->selectedText(), "192");

    ed->SetIPEditOptions(ipeoAllowZeroIP);
    ed->Triplet(1)->setFocus();
    ed->Triplet(1)->setCursorPosition(0);
    Type("1");
    EXPECT_EQ(ed->Triplet(1)->Text(), "168"); // 1168 would be four digits: refused by the length
    EXPECT_TRUE(ed->Triplet(1)->hasFocus());
}

TEST_F(IPAddressEdit, OtherKeysLeaveTheTextButMayMoveTheCaret) {
    auto *ed = Add<TIPAddressEdit>();
    QList<int> downs;
    ed->OnKeyDown = [&](QObject *sender, int &key, Qt::KeyboardModifiers) {
        EXPECT_EQ(sender, ed);
        downs.append(key);
    };
    Show();
    ed->setFocus();
    Type("12a-");
    QTest::keyClick(ed->Triplet(0), Qt::Key_3, Qt::ShiftModifier);
    EXPECT_EQ(ed->Triplet(0)->Text(), "12");
    QTest::keyClick(ed->Triplet(0), Qt::Key_Home);
    EXPECT_EQ(ed->Triplet(0)->cursorPosition(), 0);
    SetClipboard("99");
    QTest::keyClick(ed->Triplet(0), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ed->Triplet(0)->Text(), "12");
    EXPECT_EQ(downs, QList<int>({Qt::Key_1, Qt::Key_2, Qt::Key_A, Qt::Key_Minus, Qt::Key_3, Qt::Key_Home, Qt::Key_V}));
}

TEST_F(IPAddressEdit, ArrowsAndBackspaceCrossTheDots) {
    auto *ed = Add<TIPAddressEdit>();
    ed->SetText("10.20.30.40");
    Show();
    ed->Triplet(1)->setFocus();
    ed->Triplet(1)->setCursorPosition(2);
    QTest::keyClick(ed->Triplet(1), Qt::Key_Right);
    EXPECT_TRUE(ed->Triplet(2)->hasFocus());
    EXPECT_EQ(ed->Triplet(2)->cursorPosition(), 0);
    QTest::keyClick(ed->Triplet(2), Qt::Key_Left);
    EXPECT_TRUE(ed->Triplet(1)->hasFocus());
    EXPECT_EQ(ed->Triplet(1)->cursorPosition(), 2);
    ed->Triplet(2)->setFocus();
    ed->Triplet(2)->setCursorPosition(0);
    QTest::keyClick(ed->Triplet(2), Qt::Key_Backspace); // deletes the last digit of the previous field
    EXPECT_EQ(ed->Text(), "10.2.30.40");
    EXPECT_TRUE(ed->Triplet(1)->hasFocus());
    // Keypad digits and the keypad's decimal key.
    ed->Triplet(1)->setCursorPosition(1);
    QTest::keyClick(ed->Triplet(1), Qt::Key_5, Qt::KeypadModifier);
    QTest::keyClick(ed->Triplet(1), Qt::Key_Comma, Qt::KeypadModifier);
    EXPECT_EQ(ed->Text(), "10.25.30.40");
    EXPECT_TRUE(ed->Triplet(2)->hasFocus());
}

TEST_F(IPAddressEdit, BytesAbove255AreCorrected) {
    auto *ed = Add<TIPAddressEdit>();
    ed->SetIPEditOptions({});
    Show();
    ed->setFocus();
    Type("999");
    EXPECT_EQ(ed->Triplet(0)->Text(), "99"); // the first digit dropped
    EXPECT_EQ(ed->Triplet(0)->cursorPosition(), 2);

    QList<std::pair<QString, int>> asked;
    ed->OnInvalidByteEnter = [&](QString &text, uint8_t byte) {
        asked.append({text, byte});
        text = text == "999" ? "255" : "x";
    };
    ed->Triplet(2)->setText("999");
    EXPECT_EQ(ed->Triplet(2)->Text(), "255");
    ed->Triplet(3)->setText("300");
    EXPECT_EQ(ed->Triplet(3)->Text(), "0"); // still not a byte
    EXPECT_EQ(asked, (QList<std::pair<QString, int>>{{"999", 2}, {"300", 3}}));
}

TEST_F(IPAddressEdit, AClickOnADotGoesToTheEndOfTheFieldBefore) {
    auto *ed = Add<TIPAddressEdit>();
    ed->SetText("1.22.3.4");
    Show();
    ed->Triplet(3)->setFocus();
    QWidget *dot = ed->Triplet(1)->parentWidget()->childAt(ed->Triplet(2)->x() - 2, ed->Triplet(2)->y() + 2);
    ASSERT_NE(dot, nullptr);
    QTest::mouseClick(dot, Qt::LeftButton);
    EXPECT_TRUE(ed->Triplet(1)->hasFocus());
    EXPECT_EQ(ed->Triplet(1)->cursorPosition(), 2);
}
