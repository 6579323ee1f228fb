// The standard controls beside the frames' ones, with real keys and clicks:
// user changes run the handlers, program changes do not.
#include "ControlTesting.h"

#include "VQStdControls.h"

#include <QTreeView>

namespace {

using StdControls = TActiveWindow;

} // namespace

TEST_F(StdControls, ListBoxRunsItsClickHandlerForTheUsersChoiceOnly) {
    auto *lb = Add<TListBox>();
    for (const char *codec : {"G711", "G729", "G722"})
        lb->AddItem(codec);
    QStringList log;
    lb->OnClick = [&](QObject *) { log.append(lb->Items(lb->ItemIndex())); };
    Show(lb);
    lb->SetItemIndex(0);
    lb->SetSelected(1, true);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(lb->selectedItems().size(), 1); // one selected item in a single-selection list
    Press(Qt::Key_Down);
    QTest::mouseClick(lb->viewport(), Qt::LeftButton, {}, lb->visualItemRect(lb->item(0)).center());
    Press(Qt::Key_End);
    EXPECT_EQ(log, QStringList({"G722", "G711", "G722"}));
    EXPECT_EQ(lb->IndexOf("g729"), 1);
    EXPECT_EQ(lb->IndexOf("G7"), -1);

    lb->SetMultiSelect(true);
    lb->SetSelected(0, true);
    EXPECT_TRUE(lb->Selected(0) && lb->Selected(2));
    lb->SetSelected(2, false);
    EXPECT_FALSE(lb->Selected(2));
}

TEST_F(StdControls, TabControlAsksBeforeEveryUserChange) {
    auto *tc = Add<TTabControl>();
    for (const char *caption : {"&Devices", "&Profiles", "&Sites"})
        tc->AddTab(caption);
    bool allow = false;
    QStringList log;
    tc->OnChanging = [&](QObject *, bool &Allow) {
        log.append("Changing");
        Allow = allow;
    };
    tc->OnChange = [&](QObject *) { log.append(QString("Change %1").arg(tc->TabIndex())); };
    Show(tc);
    const auto click = [&](int Index) { QTest::mouseClick(tc, Qt::LeftButton, {}, tc->tabRect(Index).center()); };

    click(1);
    Press(Qt::Key_Right);
    QTest::keyClick(&Window, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(tc->TabIndex(), 0);
    allow = true;
    click(1);
    Press(Qt::Key_Right);
    Press(Qt::Key_Right); // no tab after the last
    tc->SetTabIndex(0); // a program change runs no handler
    EXPECT_EQ(log, QStringList({"Changing", "Changing", "Changing", "Changing", "Change 1", "Changing", "Change 2"}));
}

TEST_F(StdControls, SpeedButtonsAndActionsRunTheirHandlersOnlyWhenTheyMay) {
    auto *ed = Add<TEdit>();
    auto *sb = Add<TSpeedButton>("...");
    TAction action(&Window, "&Refresh");
    QStringList log;
    sb->OnClick = [&](QObject *) { log.append("click"); };
    action.OnExecute = [&](QObject *) { log.append("execute"); };
    Show(ed);
    QTest::mouseClick(sb, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), ed); // a speed button takes no focus
    action.trigger();
    EXPECT_TRUE(action.Execute());
    action.SetEnabled(false);
    EXPECT_FALSE(action.Execute());
    action.trigger();
    sb->SetEnabled(false);
    QTest::mouseClick(sb, Qt::LeftButton);
    EXPECT_EQ(log, QStringList({"click", "execute", "execute"}));
}

TEST_F(StdControls, LabeledEditsAccessKeyFocusesItsEdit) {
    auto *other = Add<TEdit>();
    auto *le = Add<TLabeledEdit>("&Domain");
    le->Edit->SetName("edDomain");
    int changes = 0;
    le->Edit->OnChange = [&](QObject *) { ++changes; };
    Show(other);
    QTest::keyClick(&Window, Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(Type("ab"), "edDomain@2");
    le->SetText("example.com");
    EXPECT_EQ(le->Text(), "example.com");
    EXPECT_EQ(changes, 3);
}

TEST_F(StdControls, SpinEditKeepsItsRangeAndProgramChangesFireOnChange) {
    auto *se = Add<TSpinEdit>();
    int changes = 0;
    se->OnChange = [&](QObject *) { ++changes; };
    se->SetValue(-5000000); // equal limits: no limit
    EXPECT_EQ(se->Value(), -5000000);
    se->SetMinValue(1);
    se->SetMaxValue(10);
    EXPECT_EQ(se->Value(), 1);
    Show(se);
    Press(Qt::Key_Up);
    EXPECT_EQ(se->text(), "2");
    se->SetValue(99);
    EXPECT_EQ(se->text(), "10");
    EXPECT_EQ(changes, 4);
}

TEST_F(StdControls, ComboBoxesWithImagesOrColumnsAddWithoutSelecting) {
    auto *ex = Add<TComboBoxEx>();
    QPixmap red(8, 8);
    red.fill(Qt::red);
    ex->AddItem("Alarm", QIcon(red), 1);
    ex->AddItem("Plain");
    EXPECT_EQ(ex->ItemIndex(), -1);
    EXPECT_FALSE(ex->itemIcon(0).isNull());
    EXPECT_EQ(ex->itemData(0).toInt(), 1);

    auto *cc = Add<TColumnsComboBox>();
    cc->SetColumns({"Code", "Country"});
    cc->AddRow({"DE", "Germany"});
    cc->AddRow({"JP"}); // missing cells stay empty
    EXPECT_EQ(cc->ItemIndex(), -1);
    Show(cc);
    Press(Qt::Key_Down);
    EXPECT_EQ(cc->Text(), "DE");
    EXPECT_EQ(cc->Cell(1, 1), "");
    auto *view = qobject_cast<QTreeView *>(cc->view());
    ASSERT_TRUE(view);
    EXPECT_EQ(view->model()->headerData(1, Qt::Horizontal).toString(), "Country");
}
