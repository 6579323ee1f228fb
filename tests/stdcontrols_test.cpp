// The standard controls beside the frames' ones, with real keys and clicks:
// user changes run the handlers, program changes do not; the dialog panel and
// the divider.
#include "ControlTesting.h"

#include "DialogPanel.h"
#include "HelpTesting.h"
#include "VQDivider.h"
#include "VQStdControls.h"

namespace {

using StdControls = TActiveWindow;
using DialogPanel = TActiveWindow;

// "<Apply when enabled, else -> <Close button's caption>".
QString Buttons(const TDialogPanel &panel) {
    return (panel.btApply->isEnabled() ? "Apply " : "- ") + panel.btClose->Caption();
}

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

TEST(DialogPanelState, ChangesEnableApplyAndTurnCloseIntoCancel) {
    TDialogPanel panel;
    EXPECT_EQ(panel.btApply->Caption(), "&Apply");
    EXPECT_EQ(panel.btHelp->Caption(), "&Help");
    EXPECT_EQ(FindComponent(&panel, "btHelp"), panel.btHelp);
    QStringList log;
    panel.OnClose = [&](QObject *) { log.append("Close"); };
    panel.OnCancel = [&](QObject *) { log.append("Cancel"); };
    EXPECT_EQ(Buttons(panel), "- &Close");
    panel.CancelClose();
    panel.SetChanged(true);
    EXPECT_EQ(Buttons(panel), "Apply &Cancel");
    panel.CancelClose();
    EXPECT_EQ(log, QStringList({"Close", "Cancel"}));

    panel.SetHasConflicts(true);
    EXPECT_EQ(Buttons(panel), "- &Cancel");
    panel.SetHasConflicts(false);
    panel.SetHasEditRights(false);
    EXPECT_EQ(Buttons(panel), "- &Cancel");
    EXPECT_FALSE(panel.CanApply());
    panel.SetHasEditRights(true);
    panel.SetChanged(false);
    EXPECT_EQ(Buttons(panel), "- &Close");
}

// Its access keys are the end-to-end walk's (Alt+A).
TEST_F(DialogPanel, ButtonsAnswerClicks) {
    auto *panel = Add<TDialogPanel>();
    int applied = 0, closed = 0;
    panel->SetOnApply([&](QObject *) { ++applied; });
    panel->OnClose = [&](QObject *) { ++closed; };
    Show(panel->btClose);
    QTest::mouseClick(panel->btApply, Qt::LeftButton); // disabled
    QTest::mouseClick(panel->btClose, Qt::LeftButton);
    EXPECT_EQ(applied, 0);
    EXPECT_EQ(closed, 1);
}

// Its form's topic through the help map is the end-to-end walk's (click btHelp).
TEST(DialogPanelHelp, TheHelpButtonOpensTheTopicOfItsForm) {
    THelpRecorder help;
    QWidget form;
    auto *panel = new TDialogPanel(&form);
    SetHelpContext(panel->btHelp, 2005); // the button's own topic is for "What's this?"
    panel->resize(400, 50);
    form.show();
    // Without a context or a map the help system hears context 0 and says so.
    QTest::mouseClick(panel->btHelp, Qt::LeftButton);
    SetHelpContext(&form, 2000);
    QTest::mouseClick(panel->btHelp, Qt::LeftButton);
    EXPECT_EQ(help.Take(), QStringList({"1 0", "1 2000"}));
}

TEST(Divider, AnEtchedLineRunsFromTheCaptionToTheRightMargin) {
    TVQDivider divider(nullptr, "Audio");
    divider.resize(300, 80);
    // Margins and spacing of 10, measured from the caption's end.
    const QRect caption = divider.CaptionLabel()->geometry();
    EXPECT_EQ(caption.topLeft(), QPoint(10, 10));
    const int middle = caption.top() + caption.height() / 2;
    const QLine line = divider.Line();
    EXPECT_EQ(line, QLine(caption.left() + caption.width() + 10, middle, 290, middle));

    // A longer caption moves the line's start; measuring from the caption's start does not.
    divider.CaptionLabel()->SetCaption("Audio and Video");
    EXPECT_GT(divider.Line().x1(), line.x1());
    divider.SetLineMarginType(lmtFromLabelBegin);
    EXPECT_EQ(divider.Line().x1(), 20);
    divider.SetLeftMargin(4);
    divider.SetRightMargin(30);
    EXPECT_EQ(divider.CaptionLabel()->x(), 4);
    EXPECT_EQ(std::pair(divider.Line().x1(), divider.Line().x2()), std::pair(14, 270));
}
