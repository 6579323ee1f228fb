// TVQSpinEdit: reading and correcting the text, the range, stepping and its events.
#include "ControlTesting.h"
#include "VQSpin.h"

namespace {

using SpinEdit = TActiveWindow;

struct TChange {
    int32_t Value;
    TUpDownDirection Direction;
    bool operator==(const TChange &) const = default;
};

// Leaves the spin edit as a user would, by tabbing to the next control.
void Leave(TVQSpinEdit *se) { QTest::keyClick(se->Edit(), Qt::Key_Tab); }

} // namespace

TEST(SpinEditValue, StartsAtZeroInTheDefaultRange) {
    TVQSpinEdit se;
    EXPECT_EQ(se.Value(), 0);
    EXPECT_EQ(se.Edit()->Text(), "0");
    EXPECT_EQ(se.MinValue(), 0);
    EXPECT_EQ(se.MaxValue(), 100);
    EXPECT_EQ(se.Increment(), 1);
    EXPECT_EQ(se.MaxLength(), 11);
    EXPECT_FALSE(se.Wrap());
    EXPECT_FALSE(se.ReadOnly());
    EXPECT_TRUE(se.EditorEnabled());
    EXPECT_EQ(se.UDAlign(), udRight);
    EXPECT_EQ(se.UDOrientation(), udVertical);
    EXPECT_TRUE(se.Alignment() & Qt::AlignLeft);
}

TEST(SpinEditValue, WritesAreLimitedToTheRange) {
    TVQSpinEdit se;
    se.SetMinMax(1, 8);
    se.SetValue(9);
    EXPECT_EQ(se.Edit()->Text(), "8");
    EXPECT_EQ(se.Value(), 8);
    se.SetValue(-3);
    EXPECT_EQ(se.Value(), 1);
    se.SetMinMax(TIntRange{100, 655350});
    EXPECT_EQ(se.Value(), 100); // raised to the new minimum first
    se.SetMaxValue(2000000000);
    EXPECT_EQ(se.MaxValue(), TCustomVQSpinEdit::MaxValueLimit);
    EXPECT_EQ(se.MaxValue(), 1215752192);
}

TEST(SpinEditValue, ReadsTheTextAndLimitsIt) {
    TVQSpinEdit se;
    se.SetMinMax(-10, 50);
    const std::pair<const char *, int32_t> cases[] = {
        {"", 0},      {"abc", 50}, {"-abc", -10}, {"-", -10}, {"17", 17},
        {"51", 50},   {"-11", -10}, {"99999999999", 50}, {"-99999999999", -10}, {"4x", 50},
    };
    for (const auto &[text, value] : cases) {
        se.Edit()->setText(text);
        EXPECT_EQ(se.Value(), value) << text;
    }
    // An empty text reads 0 even outside the range.
    se.SetMinValue(5);
    se.Edit()->setText("");
    EXPECT_EQ(se.Value(), 0);
}

TEST(SpinEditValue, LoweringTheMaximumFirstMovesTheValueThroughTheChangingCheck) {
    TVQSpinEdit se;
    se.SetValue(70);
    QList<TChange> asked;
    se.OnChanging = [&](QObject *, bool &, int32_t &value, TUpDownDirection direction) { asked.append({value, direction}); };
    se.SetMaxValue(40);
    EXPECT_EQ(se.Value(), 40);
    EXPECT_EQ(asked, QList<TChange>({{40, updNone}}));
    se.SetMaxValue(60); // the value fits: no write
    EXPECT_EQ(asked.size(), 1);
}

TEST(SpinEditValue, ChangingHandlerMayRefuseOrAlterAWrite) {
    TVQSpinEdit se;
    se.SetValue(10);
    QStringList log;
    se.OnChange = [&](QObject *) { log.append("Change " + se.Edit()->Text()); };
    se.OnChanging = [&](QObject *, bool &allow, int32_t &value, TUpDownDirection) {
        log.append(QString("Changing %1").arg(value));
        allow = value != 13;
        if (value == 20)
            value = 21;
    };
    se.SetValue(13);
    EXPECT_EQ(se.Value(), 10);
    se.SetValue(20);
    EXPECT_EQ(se.Value(), 21);
    EXPECT_EQ(log, QStringList({"Changing 13", "Changing 20", "Change 21"}));
}

TEST_F(SpinEdit, LeavingCorrectsTheText) {
    auto *se = Add<TVQSpinEdit>();
    auto *next = Add<TEdit>();
    se->SetMinMax(1, 8);
    int exits = 0;
    se->OnExit = [&](QObject *) {
        ++exits;
        EXPECT_EQ(se->Edit()->Text(), "8"); // corrected before the handler runs
    };
    Show();
    se->setFocus();
    se->Edit()->selectAll();
    QTest::keyClicks(se->Edit(), "12");
    EXPECT_EQ(se->Edit()->Text(), "12");
    EXPECT_EQ(se->Value(), 8);
    Leave(se);
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(exits, 1);

    // An empty text writes 0, which the counter limits to the range.
    se->OnExit = nullptr;
    se->setFocus();
    se->Edit()->clear();
    Leave(se);
    EXPECT_EQ(se->Edit()->Text(), "1");
    // A correct text stays as typed.
    se->setFocus();
    se->Edit()->setText("05");
    Leave(se);
    EXPECT_EQ(se->Edit()->Text(), "05");
}

TEST_F(SpinEdit, LettersAreCorrectedToTheNearerEnd) {
    auto *se = Add<TVQSpinEdit>();
    Add<TEdit>();
    se->SetMinMax(-5, 5);
    Show();
    se->setFocus();
    se->Edit()->setText("abc");
    Leave(se);
    EXPECT_EQ(se->Edit()->Text(), "5");
    se->setFocus();
    se->Edit()->setText("-abc");
    Leave(se);
    EXPECT_EQ(se->Edit()->Text(), "-5");
}

TEST_F(SpinEdit, KeysAdmitDigitsAndAMinusOnlyWhereANegativeNumberCanStart) {
    auto *se = Add<TVQSpinEdit>();
    int changes = 0;
    se->OnChange = [&](QObject *) { ++changes; };
    Show();
    se->setFocus();
    se->Edit()->selectAll();
    QTest::keyClicks(se->Edit(), "-a1.2 ");
    EXPECT_EQ(se->Edit()->Text(), "12");
    EXPECT_EQ(changes, 2);

    se->SetMinValue(-50);
    se->Edit()->clear();
    QTest::keyClicks(se->Edit(), "-4-");
    EXPECT_EQ(se->Edit()->Text(), "-4");
    se->Edit()->selectAll();
    QTest::keyClicks(se->Edit(), "-");
    EXPECT_EQ(se->Edit()->Text(), "-");
}

TEST_F(SpinEdit, ButtonsAndArrowKeysStepFromTheTypedNumber) {
    auto *se = Add<TVQSpinEdit>();
    se->SetMinMax(0, 20);
    se->SetIncrement(5);
    QList<TChange> asked;
    QList<TUDBtnType> clicks;
    se->OnChanging = [&](QObject *, bool &, int32_t &value, TUpDownDirection direction) { asked.append({value, direction}); };
    se->OnClick = [&](QObject *, TUDBtnType button) {
        clicks.append(button);
        EXPECT_EQ(se->Edit()->cursorPosition(), se->Edit()->Text().size());
    };
    Show();
    se->setFocus();
    se->Edit()->setText("12");
    se->Edit()->setCursorPosition(0);
    QWidget *up = se->UpDown()->childAt(se->UpDown()->width() / 2, 2);
    QWidget *down = se->UpDown()->childAt(se->UpDown()->width() / 2, se->UpDown()->height() - 3);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(se->Edit()->Text(), "17");
    QTest::mouseClick(up, Qt::LeftButton); // past the end: stays at the maximum
    EXPECT_EQ(se->Edit()->Text(), "20");
    QTest::keyClick(se->Edit(), Qt::Key_Down);
    EXPECT_EQ(se->Value(), 15);
    se->SetWrap(true);
    se->SetValue(20);
    QTest::keyClick(se->Edit(), Qt::Key_Up);
    EXPECT_EQ(se->Value(), 0);
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(se->Value(), 20);
    EXPECT_EQ(asked, QList<TChange>({{17, updUp}, {20, updNone}, {15, updDown}, {20, updNone}, {0, updNone}, {20, updNone}}));
    EXPECT_EQ(clicks, QList<TUDBtnType>({btNext, btNext, btPrev, btNext, btPrev}));
}

TEST_F(SpinEdit, ReadOnlyStopsTypingAndButtonsEditorEnabledOnlyTyping) {
    auto *se = Add<TVQSpinEdit>();
    se->SetValue(5);
    Show();
    se->setFocus();
    se->SetEditorEnabled(false);
    QTest::keyClicks(se->Edit(), "9");
    EXPECT_EQ(se->Edit()->Text(), "5");
    QTest::keyClick(se->Edit(), Qt::Key_Up);
    EXPECT_EQ(se->Value(), 6);

    se->SetEditorEnabled(true);
    se->SetReadOnly(true);
    EXPECT_FALSE(se->UpDown()->isEnabled());
    QTest::keyClicks(se->Edit(), "9");
    QTest::keyClick(se->Edit(), Qt::Key_Up);
    EXPECT_EQ(se->Edit()->Text(), "6");
    se->SetReadOnly(false);
    EXPECT_TRUE(se->UpDown()->isEnabled());
    EXPECT_FALSE(se->Edit()->isReadOnly());
}

namespace {
// A window that records the keys its children pass on.
class TKeyCatcher : public QWidget {
public:
    QList<int> Keys;

protected:
    void keyPressEvent(QKeyEvent *event) override { Keys.append(event->key()); }
};
} // namespace

TEST(SpinEditKeys, EnterCorrectsThenGoesToTheParentWithEscapeAndF2) {
    TKeyCatcher window;
    auto *se = new TVQSpinEdit(&window);
    QList<int> downs;
    se->OnKeyDown = [&](QObject *sender, int &key, Qt::KeyboardModifiers) {
        EXPECT_EQ(sender, se);
        downs.append(key);
    };
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    se->setFocus();
    se->Edit()->setText("300");
    QTest::keyClick(se->Edit(), Qt::Key_Return);
    EXPECT_EQ(se->Edit()->Text(), "100");
    QTest::keyClick(se->Edit(), Qt::Key_Escape);
    QTest::keyClick(se->Edit(), Qt::Key_F2);
    QTest::keyClick(se->Edit(), Qt::Key_1);
    EXPECT_EQ(window.Keys, QList<int>({Qt::Key_Return, Qt::Key_Escape, Qt::Key_F2}));
    EXPECT_EQ(downs, QList<int>({Qt::Key_Return, Qt::Key_Escape, Qt::Key_F2, Qt::Key_1}));
}

TEST(SpinEditLayout, PropertiesReachTheEditAndTheCounter) {
    TVQSpinEdit se;
    se.SetMaxLength(5);
    EXPECT_EQ(se.Edit()->maxLength(), 5);
    se.SetAlignment(Qt::AlignRight);
    EXPECT_TRUE(se.Edit()->alignment() & Qt::AlignRight);
    se.SetUDOrientation(udHorizontal);
    EXPECT_EQ(se.UpDown()->Orientation(), udHorizontal);
    se.SetUDAlign(udLeft);
    se.resize(120, 24);
    se.show();
    EXPECT_LT(se.UpDown()->x(), se.Edit()->x());
    se.SetBorderStyle(bsNone);
    EXPECT_FALSE(se.Edit()->hasFrame());
    EXPECT_EQ(Components(&se), QList<QWidget *>({se.Edit(), se.UpDown()}));
}
