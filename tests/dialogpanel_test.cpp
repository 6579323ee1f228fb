// TDialogPanel: when Apply is possible, what the Close button means, and the layout.
#include "ControlTesting.h"
#include "DialogPanel.h"
#include "HelpTesting.h"

#include <QTemporaryDir>

namespace {

using DialogPanel = TActiveWindow;

// "<Apply when enabled, else -> <Close button's caption>".
QString Buttons(const TDialogPanel &panel) {
    return (panel.btApply->isEnabled() ? "Apply " : "- ") + panel.btClose->Caption();
}

} // namespace

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

TEST(DialogPanelState, OnApplyIsTheApplyButtonsHandler) {
    TDialogPanel panel;
    // Without a handler of its own, a click that cannot apply only updates the buttons.
    panel.btApply->SetEnabled(true);
    panel.Apply();
    EXPECT_EQ(Buttons(panel), "- &Close");
    panel.SetChanged(true);
    panel.Apply();
    EXPECT_EQ(Buttons(panel), "Apply &Cancel");
    panel.SetChanged(false);
    int applied = 0;
    panel.SetOnApply([&](QObject *sender) {
        EXPECT_EQ(sender, panel.btApply);
        ++applied;
    });
    EXPECT_TRUE(bool(panel.OnApply()));
    panel.Apply(); // as the program asks, whether the button is enabled or not
    EXPECT_EQ(applied, 1);
}

TEST_F(DialogPanel, ButtonsAnswerClicksAndAccessKeys) {
    auto *panel = Add<TDialogPanel>();
    int applied = 0, closed = 0;
    panel->SetOnApply([&](QObject *) { ++applied; });
    panel->OnClose = [&](QObject *) { ++closed; };
    Show(panel->btClose);
    QTest::mouseClick(panel->btApply, Qt::LeftButton); // disabled
    QTest::mouseClick(panel->btClose, Qt::LeftButton);
    EXPECT_EQ(applied, 0);
    EXPECT_EQ(closed, 1);
    panel->SetChanged(true);
    Press(Qt::Key_A, Qt::AltModifier);
    // An access key clicks with the button's short press animation.
    EXPECT_TRUE(QTest::qWaitFor([&] { return applied == 1; }));
}

TEST(DialogPanelLayout, ButtonsSitAtSpacingAndCentredVertically) {
    TDialogPanel panel;
    panel.resize(400, 50);
    panel.show();
    const int line = panel.bvLine->height();
    EXPECT_FALSE(panel.bvLine->isHidden());
    EXPECT_EQ(panel.btApply->geometry(), QRect(8, line + (50 - line - 25) / 2, 75, 25));
    EXPECT_EQ(panel.btClose->x(), 8 + 75 + 8);
    EXPECT_EQ(panel.btHelp->mapTo(&panel, QPoint(0, 0)), QPoint(400 - 75 - 8, panel.btApply->y()));

    panel.SetSplitLine(false);
    panel.SetSpacing(4);
    panel.SetButtonWidth(60);
    panel.SetButtonHeight(30);
    EXPECT_TRUE(panel.bvLine->isHidden());
    EXPECT_EQ(panel.btApply->geometry(), QRect(4, 10, 60, 30));
    EXPECT_EQ(panel.btClose->geometry(), QRect(68, 10, 60, 30));
    EXPECT_EQ(panel.btHelp->size(), QSize(60, 30));
    EXPECT_EQ(panel.sizeHint(), QSize(3 * 60 + 5 * 4, 30 + 2 * 4));
}

TEST(DialogPanelHelp, TheHelpButtonOpensTheTopicOfItsForm) {
    THelpRecorder help;
    QTemporaryDir dir;
    QFile project(dir.filePath("help.hhp"));
    ASSERT_TRUE(project.open(QIODevice::WriteOnly));
    project.write("[MAP]\nProfileDialog=2001\n");
    project.close();
    TMessageBoxRecorder boxes;
    THelpContextMap map;
    map.SetFileName(project.fileName());

    QWidget form;
    form.setObjectName("ProfileDialog");
    auto *panel = new TDialogPanel(&form);
    SetHelpContext(panel->btHelp, 2005); // the button's own topic is for "What's this?"
    panel->resize(400, 50);
    form.show();
    // Without a context or a map the help system hears context 0 and says so.
    QTest::mouseClick(panel->btHelp, Qt::LeftButton);
    panel->SetHelpContextMap(&map);
    QTest::mouseClick(panel->btHelp, Qt::LeftButton);
    SetHelpContext(&form, 2000);
    QTest::mouseClick(panel->btHelp, Qt::LeftButton);
    EXPECT_EQ(help.Take(), QStringList({"1 0", "1 2001", "1 2000"}));
}
