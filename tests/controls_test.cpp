// The control layer: the event rules the frames and the automation rely on.
#include "ControlTesting.h"

#include <QTabBar>

namespace {

using ControlEvents = TActiveWindow;

// A handler that appends "<sender's name>.<Event>" to Log.
TNotifyEvent Note(QStringList &Log, const QString &Event) {
    return [&Log, Event](QObject *Sender) { Log.append(Sender->objectName() + "." + Event); };
}

template <class T>
T *Named(T *Control, const QString &Name) {
    Control->SetName(Name);
    return Control;
}

} // namespace

TEST_F(ControlEvents, EditKeysGoDownThenPressThenToTheWidgetAndEveryTextChangeFiresChange) {
    auto *ed = Add<TEdit>();
    QStringList log;
    ed->OnChange = [&](QObject *) { log.append("change " + ed->Text()); };
    ed->OnKeyDown = [&](QObject *, int &key, Qt::KeyboardModifiers) {
        log.append(QString("down %1").arg(key));
        if (key == Qt::Key_X)
            key = 0; // stops the key
    };
    ed->OnKeyPress = [&](QObject *, QChar &key) {
        log.append(QString("press %1").arg(key.unicode()));
        key = key == 'y' ? QChar() : key.toUpper(); // a handler may replace or drop the character
    };
    Show(ed);
    ed->SetText("a");
    ed->SetText("a"); // the same text: no change
    Type("qxy");
    // Control keys type their control codes; keys without a character only go down.
    Press(Qt::Key_Backspace);
    SetClipboard("v");
    Press(Qt::Key_V, Qt::ControlModifier);
    Press(Qt::Key_Left);
    const auto down = [](int key) { return QString("down %1").arg(key); };
    EXPECT_EQ(log, QStringList({"change a", down(Qt::Key_Q), "press 113", "change aQ", down(Qt::Key_X), down(Qt::Key_Y),
                                "press 121", down(Qt::Key_Backspace), "press 8", "change a", down(Qt::Key_Control),
                                down(Qt::Key_V), "press 22", "change av", down(Qt::Key_Left)}));
}

TEST_F(ControlEvents, TextFromAnyKeyOrAnInputMethodGoesThroughTheKeyHandlers) {
    auto *ed = Add<TEdit>();
    QStringList log;
    ed->OnKeyDown = [&](QObject *, int &key, Qt::KeyboardModifiers) {
        if (key != Qt::Key_Alt && key != Qt::Key_Control)
            log.append("down " + QKeySequence(key).toString());
    };
    ed->OnKeyPress = [&](QObject *, QChar &key) {
        log.append(QString("press ") + key);
        if (key == 'y')
            key = QChar();
    };
    Show(ed);
    Press(Qt::Key_X, Qt::AltModifier); // an access key: no character
    Press(Qt::Key_Y, Qt::ControlModifier | Qt::AltModifier); // AltGr types its character
    Press(Qt::Key_X, Qt::ControlModifier | Qt::AltModifier);
    Commit("ayb"); // a key per character
    EXPECT_EQ(ed->Text(), "xab");
    EXPECT_EQ(log, QStringList({"down X", "down Y", "press y", "down X", "press x", "down A", "press a", "down Y",
                                "press y", "down B", "press b"}));
    ed->SetReadOnly(true); // takes no committed text, as it takes no typed text
    Commit("z");
    EXPECT_EQ(ed->Text(), "xab");
}

TEST_F(ControlEvents, EnterAndExitFollowTheFocusThroughContainers) {
    auto *ed1 = Named(Add<TEdit>(), "ed1");
    auto *panel = Named(Add<TPanel>(), "panel");
    auto *ed2 = Named(new TEdit(panel), "ed2");
    (new QVBoxLayout(panel))->addWidget(ed2);
    QStringList log;
    for (TWinControl *c : std::initializer_list<TWinControl *>{ed1, panel, ed2}) {
        c->OnEnter = Note(log, "Enter");
        c->OnExit = Note(log, "Exit");
    }
    Show(ed1);
    log.clear();
    EXPECT_EQ(Press(Qt::Key_Tab), "ed2@0");
    ed1->setFocus();
    EXPECT_EQ(log, QStringList({"ed1.Exit", "panel.Enter", "ed2.Enter", "ed2.Exit", "panel.Exit", "ed1.Enter"}));

}

TEST_F(ControlEvents, CheckBoxAndRadioButtonClicksFollowTheCheckedState) {
    auto *chb = Add<TCheckBox>("&Check");
    auto *rb1 = Add<TRadioButton>("One");
    auto *rb2 = Add<TRadioButton>("Two");
    QStringList log;
    chb->OnClick = [&](QObject *) { log.append(QString("chb %1").arg(chb->Checked())); };
    // A radio button clicks only when it becomes checked, and unchecks its siblings first.
    rb1->OnClick = rb2->OnClick = [&](QObject *) { log.append(QString("rb %1%2").arg(rb1->Checked()).arg(rb2->Checked())); };
    Show(chb);
    chb->SetChecked(true);
    chb->SetChecked(true);
    chb->SetChecked(false);
    QTest::mouseClick(chb, Qt::LeftButton);
    Press(Qt::Key_Space);
    rb1->SetChecked(true);
    rb2->SetChecked(true);
    rb2->SetChecked(true);
    QTest::mouseClick(rb1, Qt::LeftButton);
    rb1->SetChecked(false); // the program may uncheck the last checked button
    EXPECT_FALSE(rb1->Checked() || rb2->Checked());
    EXPECT_EQ(log, QStringList({"chb 1", "chb 0", "chb 1", "chb 0", "rb 10", "rb 01", "rb 10"}));
}

TEST_F(ControlEvents, ListSelectionByProgramFiresNothingByUserFiresChangeClickSelect) {
    auto *cb = Named(Add<TComboBox>(), "cb");
    QStringList log;
    cb->OnChange = Note(log, "Change");
    cb->OnClick = Note(log, "Click");
    cb->OnSelect = Note(log, "Select");
    cb->AddItem("United States", "USA");
    cb->AddItem("Germany", "GERMANY");
    cb->AddItem("Japan", "JAPAN");
    EXPECT_EQ(cb->ItemIndex(), -1); // adding selects nothing
    Show(cb);
    cb->SetItemIndex(1);
    cb->SetText("japan");
    EXPECT_EQ(cb->Text(), "Japan");
    EXPECT_TRUE(log.isEmpty());
    Press(Qt::Key_Up);
    EXPECT_EQ(cb->itemData(cb->ItemIndex()).toString(), "GERMANY");
    EXPECT_EQ(log, QStringList({"cb.Change", "cb.Click", "cb.Select"}));
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
    Show(pc);
    const QPoint secondTab = pc->tabBar()->tabRect(1).center();
    QTest::mouseClick(pc->tabBar(), Qt::LeftButton, {}, secondTab);
    EXPECT_EQ(pc->ActivePage(), general);
    allow = true;
    QTest::mouseClick(pc->tabBar(), Qt::LeftButton, {}, secondTab);
    EXPECT_EQ(pc->ActivePage(), sip);
    // Keyboard: Ctrl+Tab goes on and wraps, skipping hidden tabs.
    vlan->SetTabVisible(false);
    Press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pc->ActivePage(), general);
    // A tab's access key is a user's change too.
    sip->SetCaption("&SIP Settings");
    Press(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(pc->ActivePage(), sip);
    EXPECT_EQ(log, QStringList({"Changing from General", "Changing from General", "Change to SIP Settings",
                                "Changing from SIP Settings", "Change to General", "Changing from General",
                                "Change to &SIP Settings"}));

    // The program's change runs neither handler.
    log.clear();
    pc->SetActivePageIndex(0);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(sip->PageIndex(), 1);
}

TEST(ControlComponents, OwnersListTheirComponentsInCreationOrder) {
    TFrame frame;
    auto *panel = new TPanel(&frame);
    auto *st = new TLabel(&frame, "Name");
    auto *ed = Named(new TEdit(panel), "edName"); // created after the label, deeper down
    auto *sub = new TFrame(panel);
    auto *inner = Named(new TEdit(sub), "edInner");
    auto *counter = new TUpDown(&frame);
    auto *part = new TEdit(counter);
    part->SetOwner(counter); // a composite's own part
    EXPECT_EQ(Components(&frame), QList<QWidget *>({panel, st, ed, sub, counter}));
    EXPECT_EQ(Components(counter), QList<QWidget *>({part}));
    EXPECT_EQ(FindComponent(&frame, "edName"), ed);
    EXPECT_EQ(FindComponent(&frame, "edInner"), nullptr); // the inner frame's, not this one's
    EXPECT_EQ(Components(sub), QList<QWidget *>({inner}));
    EXPECT_EQ(ChildControls(panel), QList<QWidget *>({ed, sub}));
}
