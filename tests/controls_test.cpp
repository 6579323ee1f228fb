// The control layer: the event rules the frames and the automation rely on.
#include "ControlTesting.h"

#include <QTabBar>

namespace {

// Appends "<name>.<event>" for every handler it is attached to.
struct TEventLog {
    QStringList Events;
    TNotifyEvent Note(const QString &Event) {
        return [this, Event](QObject *sender) { Events.append(sender->objectName() + "." + Event); };
    }
};

using ControlEvents = TActiveWindow;

} // namespace

TEST_F(ControlEvents, EditChangeFiresForProgramAndUserChangesOfTheText) {
    auto *ed = Add<TEdit>();
    ed->SetName("ed");
    TEventLog log;
    ed->OnChange = log.Note("Change");
    Show();
    ed->SetText("abc");
    ed->SetText("abc"); // same text: no change
    ed->setFocus();
    QTest::keyClicks(ed, "d");
    QTest::keyClick(ed, Qt::Key_Backspace);
    EXPECT_EQ(log.Events, QStringList({"ed.Change", "ed.Change", "ed.Change"}));
    EXPECT_EQ(ed->Text(), "abc");
}

TEST_F(ControlEvents, KeyDownThenKeyPressThenTheWidget) {
    auto *ed = Add<TEdit>();
    QStringList order;
    ed->OnKeyDown = [&](QObject *, int &key, Qt::KeyboardModifiers) { order.append(QString("down %1").arg(key)); };
    ed->OnKeyPress = [&](QObject *, QChar &key) {
        order.append(QString("press %1").arg(key.unicode()));
        key = key.toUpper(); // a handler may replace the character
    };
    Show();
    ed->setFocus();
    QTest::keyClick(ed, Qt::Key_Q);
    EXPECT_EQ(ed->Text(), "Q");
    EXPECT_EQ(order, QStringList({QString("down %1").arg(Qt::Key_Q), QString("press %1").arg(int('q'))}));

    // Control keys type their control codes; keys without a character only go down.
    order.clear();
    QTest::keyClick(ed, Qt::Key_Backspace);
    QTest::keyClick(ed, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(ed, Qt::Key_Left);
    EXPECT_EQ(order, QStringList({QString("down %1").arg(Qt::Key_Backspace), "press 8", QString("down %1").arg(Qt::Key_Control),
                                  QString("down %1").arg(Qt::Key_V), "press 22", QString("down %1").arg(Qt::Key_Left)}));
}

TEST_F(ControlEvents, ZeroedKeysGoNoFurther) {
    auto *ed = Add<TEdit>();
    int presses = 0;
    ed->OnKeyDown = [](QObject *, int &key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_X)
            key = 0;
    };
    ed->OnKeyPress = [&](QObject *, QChar &key) {
        ++presses;
        if (key == 'y')
            key = QChar();
    };
    Show();
    ed->setFocus();
    QTest::keyClicks(ed, "xyz");
    EXPECT_EQ(ed->Text(), "z");
    EXPECT_EQ(presses, 2);
}

TEST_F(ControlEvents, EnterAndExitFollowTheFocusThroughContainers) {
    auto *ed1 = Add<TEdit>();
    auto *panel = Add<TPanel>();
    auto *ed2 = new TEdit(panel);
    (new QVBoxLayout(panel))->addWidget(ed2);
    ed1->SetName("ed1");
    panel->SetName("panel");
    ed2->SetName("ed2");
    TEventLog log;
    for (TWinControl *c : std::initializer_list<TWinControl *>{ed1, panel, ed2}) {
        c->OnEnter = log.Note("Enter");
        c->OnExit = log.Note("Exit");
    }
    Show();
    ed1->setFocus();
    log.Events.clear();
    QTest::keyClick(ed1, Qt::Key_Tab);
    ASSERT_TRUE(ed2->hasFocus());
    ed1->setFocus();
    EXPECT_EQ(log.Events, QStringList({"ed1.Exit", "panel.Enter", "ed2.Enter", "ed2.Exit", "panel.Exit", "ed1.Enter"}));

    // Another window taking the focus is no exit.
    log.Events.clear();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(log.Events.isEmpty());
}

TEST_F(ControlEvents, CheckBoxClickFiresWhenTheStateChanges) {
    auto *chb = Add<TCheckBox>("&Check");
    int clicks = 0;
    chb->OnClick = [&](QObject *) { ++clicks; };
    Show();
    chb->SetChecked(true);
    chb->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    chb->SetChecked(false);
    EXPECT_EQ(clicks, 2);
    QTest::mouseClick(chb, Qt::LeftButton);
    EXPECT_TRUE(chb->Checked());
    chb->setFocus();
    QTest::keyClick(chb, Qt::Key_Space);
    EXPECT_FALSE(chb->Checked());
    EXPECT_EQ(clicks, 4);
}

TEST_F(ControlEvents, RadioButtonClickFiresWhenItBecomesChecked) {
    auto *rb1 = Add<TRadioButton>("One");
    auto *rb2 = Add<TRadioButton>("Two");
    rb1->SetName("rb1");
    rb2->SetName("rb2");
    TEventLog log;
    rb1->OnClick = log.Note("Click");
    rb2->OnClick = log.Note("Click");
    Show();
    rb1->SetChecked(true);
    rb2->SetChecked(true); // unchecks rb1, which fires nothing
    EXPECT_FALSE(rb1->Checked());
    rb2->SetChecked(true);
    QTest::mouseClick(rb1, Qt::LeftButton);
    EXPECT_EQ(log.Events, QStringList({"rb1.Click", "rb2.Click", "rb1.Click"}));
    // The program may uncheck the last checked button.
    rb1->SetChecked(false);
    EXPECT_FALSE(rb1->Checked());
    EXPECT_FALSE(rb2->Checked());
    EXPECT_EQ(log.Events.size(), 3);
}

TEST_F(ControlEvents, ListSelectionByProgramFiresNothingByUserFiresChangeClickSelect) {
    auto *cb = Add<TComboBox>();
    cb->SetName("cb");
    TEventLog log;
    cb->OnChange = log.Note("Change");
    cb->OnClick = log.Note("Click");
    cb->OnSelect = log.Note("Select");
    cb->AddItem("United States", "USA");
    cb->AddItem("Germany", "GERMANY");
    cb->AddItem("Japan", "JAPAN");
    EXPECT_EQ(cb->ItemIndex(), -1); // adding selects nothing
    Show();
    cb->SetItemIndex(1);
    cb->SetText("japan");
    EXPECT_EQ(cb->ItemIndex(), 2);
    EXPECT_EQ(cb->Text(), "Japan");
    EXPECT_TRUE(log.Events.isEmpty());

    cb->setFocus();
    QTest::keyClick(cb, Qt::Key_Up);
    EXPECT_EQ(cb->ItemIndex(), 1);
    EXPECT_EQ(cb->itemData(cb->ItemIndex()).toString(), "GERMANY");
    EXPECT_EQ(log.Events, QStringList({"cb.Change", "cb.Click", "cb.Select"}));

    cb->SetText("France");
    EXPECT_EQ(cb->ItemIndex(), -1);
    EXPECT_EQ(cb->Text(), "");
}

TEST_F(ControlEvents, PageControlAsksBeforeAUserPageChangeAndReportsAfter) {
    auto *pc = Add<TPageControl>();
    auto *general = new TTabSheet(pc, "General");
    auto *sip = new TTabSheet(pc, "SIP Settings");
    auto *vlan = new TTabSheet(pc, "VLAN");
    bool allow = false;
    QStringList log;
    pc->OnChanging = [&](QObject *, bool &allowChange) {
        log.append("Changing from " + pc->ActivePage()->Caption());
        allowChange = allow;
    };
    pc->OnChange = [&](QObject *) { log.append("Change to " + pc->ActivePage()->Caption()); };
    Show();

    QTabBar *bar = pc->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(pc->ActivePage(), general);
    allow = true;
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(pc->ActivePage(), sip);
    EXPECT_EQ(log, QStringList({"Changing from General", "Changing from General", "Change to SIP Settings"}));

    // Keyboard: Ctrl+Tab goes on and wraps, skipping hidden tabs.
    log.clear();
    vlan->SetTabVisible(false);
    EXPECT_FALSE(vlan->TabVisible());
    pc->setFocus();
    QTest::keyClick(pc, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pc->ActivePage(), general);
    EXPECT_EQ(log, QStringList({"Changing from SIP Settings", "Change to General"}));

    // A tab's access key is a user's change too.
    log.clear();
    sip->SetCaption("&SIP Settings");
    QTest::keyClick(pc, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(pc->ActivePage(), sip);
    EXPECT_EQ(log, QStringList({"Changing from General", "Change to &SIP Settings"}));

    // The program's change runs neither handler.
    log.clear();
    pc->SetActivePage(sip);
    pc->SetActivePageIndex(0);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(pc->ActivePageIndex(), 0);
    EXPECT_EQ(ChildControls(pc), QList<QWidget *>({general, sip, vlan}));
    EXPECT_EQ(sip->PageIndex(), 1);
    EXPECT_EQ(sip->PageControl(), pc);
}

TEST_F(ControlEvents, LabelAccessKeyFocusesItsFocusControl) {
    auto *st = Add<TLabel>("&Profile");
    auto *ed = Add<TEdit>();
    auto *other = Add<TEdit>();
    st->SetFocusControl(ed);
    EXPECT_EQ(st->FocusControl(), ed);
    Show();
    other->setFocus();
    QTest::keyClick(other, Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(ed->hasFocus());
    EXPECT_EQ(other->Text(), "");
}

TEST_F(ControlEvents, ButtonClickRunsTheHandlerWhenEnabledOrAskedByTheProgram) {
    auto *bt = Add<TButton>("&Apply");
    int clicks = 0;
    bt->OnClick = [&](QObject *) { ++clicks; };
    Show();
    QTest::mouseClick(bt, Qt::LeftButton);
    bt->SetEnabled(false);
    QTest::mouseClick(bt, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    bt->Click();
    EXPECT_EQ(clicks, 2);
}

TEST(ControlState, OwnFlagsFocusAndColour) {
    QWidget window;
    auto *panel = new TPanel(&window);
    auto *ed = new TEdit(panel);
    panel->SetEnabled(false);
    EXPECT_TRUE(ed->Enabled()); // its own flag
    EXPECT_FALSE(ed->isEnabled());
    ed->SetVisible(false);
    EXPECT_FALSE(ed->Visible());
    EXPECT_FALSE(ed->CanFocus());
    ed->SetVisible(true);
    panel->SetEnabled(true);
    EXPECT_FALSE(ed->CanFocus()); // its window is not shown
    window.show();
    EXPECT_TRUE(ed->CanFocus());

    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::darkCyan);
    panel->setPalette(palette);
    ed->SetParentColor(true);
    EXPECT_EQ(ed->Color(), QColor(Qt::darkCyan));
    ed->SetParentColor(false);
    EXPECT_EQ(ed->Color(), QApplication::palette(ed).color(QPalette::Active, QPalette::Base));
    EXPECT_FALSE(ed->ParentColor());

    ed->SetMaxLength(0);
    EXPECT_EQ(ed->MaxLength(), 0);
    ed->SetMaxLength(31);
    EXPECT_EQ(ed->MaxLength(), 31);
}

TEST(ControlComponents, OwnersListTheirComponentsInCreationOrder) {
    TFrame frame;
    auto *panel = new TPanel(&frame);
    auto *st = new TLabel(&frame, "Name");
    auto *ed = new TEdit(panel); // created after the label, deeper down
    auto *sub = new TFrame(panel);
    auto *inner = new TEdit(sub);
    auto *counter = new TUpDown(&frame);
    auto *part = new TEdit(counter);
    part->SetOwner(counter); // a composite's own part
    panel->SetName("pnl");
    st->SetName("stName");
    ed->SetName("edName");
    sub->SetName("ftfSub");
    inner->SetName("edInner");

    EXPECT_EQ(Components(&frame), QList<QWidget *>({panel, st, ed, sub, counter}));
    EXPECT_EQ(Components(sub), QList<QWidget *>({inner}));
    EXPECT_EQ(Components(counter), QList<QWidget *>({part}));
    EXPECT_EQ(FindComponent(&frame, "edName"), ed);
    EXPECT_EQ(FindComponent(&frame, "edInner"), nullptr);
    EXPECT_EQ(FindComponent(&frame, "edname"), nullptr);
    EXPECT_EQ(ed->Owner(), &frame);
    EXPECT_EQ(inner->Owner(), sub);
    EXPECT_EQ(ChildControls(panel), QList<QWidget *>({ed, sub}));
}

TEST(ControlSeams, MessageBoxesAndBeepsCanBeAnsweredAndCounted) {
    {
        TMessageBoxRecorder boxes(QMessageBox::No);
        EXPECT_EQ(MessageBox(nullptr, "Can't load custom fields' values", "Warning", QMessageBox::Critical), QMessageBox::No);
        ASSERT_EQ(boxes.Requests.size(), 1);
        EXPECT_EQ(boxes.Requests[0].Text, "Can't load custom fields' values");
        EXPECT_EQ(boxes.Requests[0].Caption, "Warning");
        EXPECT_EQ(boxes.Requests[0].Icon, QMessageBox::Critical);
        EXPECT_EQ(boxes.Requests[0].Buttons, QMessageBox::Ok);
    }
    TBeepCounter beeps;
    Beep();
    Beep();
    EXPECT_EQ(beeps.Count, 2);
}

TEST(UpDown, StepsWithinTheRangeAndWraps) {
    TUpDown ud;
    ud.SetRange(1, 8);
    ud.SetPosition(7);
    QList<std::pair<int, TUpDownDirection>> asked;
    QList<TUDBtnType> clicks;
    ud.OnChanging = [&](QObject *, bool &, int value, TUpDownDirection direction) { asked.append({value, direction}); };
    ud.OnClick = [&](QObject *, TUDBtnType button) { clicks.append(button); };
    ud.Step(btNext);
    ud.Step(btNext); // at the end: stays, no direction
    EXPECT_EQ(ud.Position(), 8);
    ud.SetWrap(true);
    ud.Step(btNext);
    EXPECT_EQ(ud.Position(), 1);
    ud.Step(btPrev);
    EXPECT_EQ(ud.Position(), 8);
    EXPECT_EQ(asked, (QList<std::pair<int, TUpDownDirection>>{{8, updUp}, {8, updNone}, {1, updNone}, {8, updNone}}));
    EXPECT_EQ(clicks, QList<TUDBtnType>({btNext, btNext, btNext, btPrev}));

    ud.SetWrap(false);
    ud.SetIncrement(3);
    ud.OnChanging = [](QObject *, bool &allow, int, TUpDownDirection) { allow = false; };
    ud.Step(btPrev);
    EXPECT_EQ(ud.Position(), 8);
    EXPECT_EQ(clicks.size(), 4);
    ud.OnChanging = nullptr;
    ud.Step(btPrev);
    EXPECT_EQ(ud.Position(), 5);
    ud.SetPosition(100);
    EXPECT_EQ(ud.Position(), 8);
    ud.SetRange(1, 4);
    EXPECT_EQ(ud.Position(), 4);
}

TEST_F(ControlEvents, UpDownStepsOnArrowKeysAndButtons) {
    auto *before = Add<TEdit>();
    auto *ud = Add<TUpDown>();
    ud->SetOrientation(udHorizontal);
    ud->SetRange(0, 10);
    ud->SetPosition(5);
    Show();
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab); // a tab stop of its own
    ASSERT_TRUE(ud->hasFocus());
    QTest::keyClick(ud, Qt::Key_Up);
    QTest::keyClick(ud, Qt::Key_Right);
    EXPECT_EQ(ud->Position(), 7);
    QTest::keyClick(ud, Qt::Key_Left);
    EXPECT_EQ(ud->Position(), 6);
    // Horizontal: the left button steps down, the right one up.
    QTest::mouseClick(ud->childAt(2, ud->height() / 2), Qt::LeftButton);
    EXPECT_EQ(ud->Position(), 5);
    QTest::mouseClick(ud->childAt(ud->width() - 3, ud->height() / 2), Qt::LeftButton);
    EXPECT_EQ(ud->Position(), 6);
    before->setFocus();
    QTest::mouseClick(ud->childAt(2, ud->height() / 2), Qt::LeftButton);
    EXPECT_TRUE(before->hasFocus()); // clicks leave the focus alone
    EXPECT_EQ(ud->Position(), 5);
}
