// TVQSpinEdit: reading and correcting the text, the range, stepping and its events.
#include "ControlTesting.h"
#include "VQSpin.h"

namespace {
using SpinEdit = TActiveWindow;
}

TEST(SpinEditValue, WritesAndReadsOfTheTextAreLimitedToTheRange) {
    TVQSpinEdit se;
    EXPECT_EQ(se.Edit()->Text(), "0");
    se.SetValue(101);
    EXPECT_EQ(se.Value(), 100); // the default range is 0 to 100
    se.SetMinMax(1, 8);
    se.SetValue(9);
    EXPECT_EQ(se.Edit()->Text(), "8");
    se.SetValue(-3);
    EXPECT_EQ(se.Value(), 1);
    se.SetMaxValue(2000000000);
    EXPECT_EQ(se.MaxValue(), 1215752192);

    // Reading the text.
    se.SetMinMax(5, 50);
    const std::pair<const char *, int32_t> cases[] = {
        {"", 0}, // even outside the range
        {"abc", 50}, {"-", 5}, {"17", 17}, {"51", 50}, {"-11", 5}, {"99999999999", 50}, {"+5", 50}, {"-5 ", 5},
    };
    for (const auto &[text, value] : cases) {
        se.Edit()->setText(text);
        EXPECT_EQ(se.Value(), value) << text;
    }
}

TEST(SpinEditValue, AfterARangeWriteTheEditShowsTheValueItHolds) {
    const struct {
        std::function<void(TVQSpinEdit &)> Write;
        const char *Shown;
    } rows[] = {
        {[](TVQSpinEdit &se) { se.SetMinMax(TIntRange{1025, 65535}); }, "1025"},
        {[](TVQSpinEdit &se) { se.SetMinValue(200); }, "200"},
        {[](TVQSpinEdit &se) { se.SetValue(70); se.SetMinMax(-20, 30); }, "30"},
        {[](TVQSpinEdit &se) { se.SetMinMax(50, 100); se.SetValue(60); se.SetMaxValue(10); }, "50"}, // the minimum wins
        {[](TVQSpinEdit &se) { se.Edit()->setText("abc"); se.SetMaxValue(200); }, "200"},
        {[](TVQSpinEdit &se) { se.Edit()->setText("05"); se.SetMaxValue(20); }, "05"}, // correct: stays as typed
        {[](TVQSpinEdit &se) { se.Edit()->clear(); se.SetMinMax(-5, 5); }, ""},      // empty while 0 is in range
        {[](TVQSpinEdit &se) { se.Edit()->clear(); se.SetMinMax(3, 5); }, "3"},
    };
    for (const auto &row : rows) {
        TVQSpinEdit se;
        QString reported;
        se.OnChange = [&](QObject *) { reported = se.Edit()->Text(); };
        row.Write(se);
        EXPECT_EQ(se.Edit()->Text(), row.Shown);
        EXPECT_EQ(reported, row.Shown);
        EXPECT_EQ(se.Value(), QString(row.Shown).toInt()) << row.Shown;
    }
}

TEST(SpinEditValue, EveryWriteGoesThroughTheChangingCheck) {
    TVQSpinEdit se;
    se.SetValue(70);
    QStringList log;
    se.OnChange = [&](QObject *) { log.append("Change " + se.Edit()->Text()); };
    se.OnChanging = [&](QObject *, bool &allow, int32_t &value, TUpDownDirection direction) {
        log.append(Changing(value, direction));
        allow = value != 13;
        if (value == 20)
            value = 21;
    };
    se.SetMaxValue(40); // the value first moves down to the new maximum
    se.SetMaxValue(60); // the value fits: no write
    se.SetValue(13);
    se.SetValue(20);
    EXPECT_EQ(se.Value(), 21);
    EXPECT_EQ(log, QStringList({"40 none", "Change 40", "13 none", "20 none", "Change 21"}));
}

TEST_F(SpinEdit, LeavingCorrectsTheText) {
    auto *se = Add<TVQSpinEdit>();
    Add<TEdit>()->SetName("next");
    se->SetMinMax(1, 8);
    int exits = 0;
    se->OnExit = [&](QObject *) {
        ++exits;
        EXPECT_EQ(se->Edit()->Text(), "8"); // corrected before the handler runs
    };
    Show(se);
    se->Edit()->selectAll();
    EXPECT_EQ(Type("12"), "Edit@2"); // as typed until the edit is left
    EXPECT_EQ(se->Value(), 8);
    EXPECT_EQ(Press(Qt::Key_Tab), "next@0");
    EXPECT_EQ(exits, 1);
}

TEST_F(SpinEdit, KeysAdmitDigitsAMinusWhereANegativeNumberCanStartAndPassDialogKeysOn) {
    auto *se = Add<TVQSpinEdit>();
    int changes = 0;
    se->OnChange = [&](QObject *) { ++changes; };
    Show(se);
    se->Edit()->selectAll();
    Type("-a1.2 ");
    EXPECT_EQ(se->Edit()->Text(), "12");
    EXPECT_EQ(changes, 2);
    // Enter corrects the text, then goes to the parent with Escape and F2.
    se->Edit()->setText("300");
    Press(Qt::Key_Return);
    EXPECT_EQ(se->Edit()->Text(), "100");
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_1})
        Press(key);
    EXPECT_EQ(Window.Keys, QList<int>({Qt::Key_Return, Qt::Key_Escape}));

    se->SetMinValue(-50);
    se->Edit()->clear();
    Type("-4-");
    EXPECT_EQ(se->Edit()->Text(), "-4");
}

TEST_F(SpinEdit, ButtonsAndArrowKeysStepFromTheTypedNumber) {
    auto *se = Add<TVQSpinEdit>();
    se->SetMinMax(0, 20);
    se->SetIncrement(5);
    QStringList log;
    se->OnChanging = [&](QObject *, bool &, int32_t &value, TUpDownDirection to) { log.append(Changing(value, to)); };
    se->OnClick = [&](QObject *, TUDBtnType button) {
        log.append(QString(button == btNext ? "next at %1" : "prev at %1").arg(se->Edit()->Text()));
        EXPECT_EQ(se->Edit()->cursorPosition(), se->Edit()->Text().size());
    };
    Show(se);
    se->Edit()->setText("12");
    se->Edit()->setCursorPosition(0);
    ClickButton(se->UpDown(), btNext);
    ClickButton(se->UpDown(), btNext); // past the end: stays at the maximum
    Press(Qt::Key_Down);
    se->SetWrap(true);
    se->SetValue(20);
    Press(Qt::Key_Up);
    ClickButton(se->UpDown(), btPrev);
    EXPECT_EQ(log, QStringList({"17 up", "next at 17", "20 none", "next at 20", "15 down", "prev at 15", "20 none",
                                "0 none", "next at 0", "20 none", "prev at 20"}));
}

TEST_F(SpinEdit, ReadOnlyStopsTypingAndButtonsEditorEnabledOnlyTyping) {
    auto *se = Add<TVQSpinEdit>();
    se->SetValue(5);
    Show(se);
    const auto typeThenStep = [&] {
        Type("9");
        Press(Qt::Key_Up);
        return se->Edit()->Text();
    };
    se->SetEditorEnabled(false);
    EXPECT_EQ(typeThenStep(), "6");
    se->SetEditorEnabled(true);
    se->SetReadOnly(true);
    EXPECT_FALSE(se->UpDown()->isEnabled());
    EXPECT_EQ(typeThenStep(), "6");
    se->SetReadOnly(false);
    EXPECT_EQ(typeThenStep(), "70");
}
