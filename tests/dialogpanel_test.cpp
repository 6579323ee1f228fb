// TDialogPanel: when Apply is possible, what the Close button means, and the layout.
#include "ControlTesting.h"
#include "DialogPanel.h"

namespace {
using DialogPanel = TActiveWindow;
}

TEST(DialogPanelState, AFreshPanelCannotApplyAndCloses) {
    TDialogPanel panel;
    EXPECT_FALSE(panel.btApply->isEnabled());
    EXPECT_EQ(panel.btApply->Caption(), "&Apply");
    EXPECT_EQ(panel.btClose->Caption(), "&Close");
    EXPECT_EQ(panel.btHelp->Caption(), "&Help");
    EXPECT_FALSE(panel.CanApply());
    EXPECT_TRUE(panel.HasEditRights());
    EXPECT_EQ(FindComponent(&panel, "btClose"), panel.btClose);
    EXPECT_EQ(FindComponent(&panel, "btHelp"), panel.btHelp);
}

TEST(DialogPanelState, ChangesEnableApplyAndTurnCloseIntoCancel) {
    TDialogPanel panel;
    QStringList log;
    panel.OnClose = [&](QObject *) { log.append("Close"); };
    panel.OnCancel = [&](QObject *) { log.append("Cancel"); };
    panel.CancelClose();
    panel.SetChanged(true);
    EXPECT_TRUE(panel.CanApply());
    EXPECT_TRUE(panel.btApply->isEnabled());
    EXPECT_EQ(panel.btClose->Caption(), "&Cancel");
    panel.CancelClose();
    EXPECT_EQ(log, QStringList({"Close", "Cancel"}));

    panel.SetHasConflicts(true);
    EXPECT_FALSE(panel.btApply->isEnabled());
    EXPECT_EQ(panel.btClose->Caption(), "&Cancel");
    panel.SetHasConflicts(false);
    panel.SetHasEditRights(false);
    EXPECT_FALSE(panel.CanApply());
    EXPECT_FALSE(panel.btApply->isEnabled());
    panel.SetHasEditRights(true);
    panel.SetChanged(false);
    EXPECT_EQ(panel.btClose->Caption(), "&Close");
}

TEST(DialogPanelState, OnApplyIsTheApplyButtonsHandler) {
    TDialogPanel panel;
    // Without a handler of its own, a click that cannot apply only updates the buttons.
    panel.btApply->SetEnabled(true);
    panel.Apply();
    EXPECT_FALSE(panel.btApply->isEnabled());
    panel.SetChanged(true);
    panel.Apply();
    EXPECT_TRUE(panel.btApply->isEnabled());
    int applied = 0;
    panel.SetOnApply([&](QObject *sender) {
        EXPECT_EQ(sender, panel.btApply);
        ++applied;
    });
    EXPECT_TRUE(bool(panel.OnApply()));
    EXPECT_TRUE(bool(panel.btApply->OnClick));
    panel.Apply();
    EXPECT_EQ(applied, 1);
}

TEST_F(DialogPanel, ButtonsAnswerClicksAndAccessKeys) {
    auto *panel = Add<TDialogPanel>();
    int applied = 0, closed = 0;
    panel->SetOnApply([&](QObject *) { ++applied; });
    panel->OnClose = [&](QObject *) { ++closed; };
    Show();
    QTest::mouseClick(panel->btApply, Qt::LeftButton); // disabled
    QTest::mouseClick(panel->btClose, Qt::LeftButton);
    EXPECT_EQ(applied, 0);
    EXPECT_EQ(closed, 1);
    panel->SetChanged(true);
    panel->btClose->setFocus();
    QTest::keyClick(panel->btClose, Qt::Key_A, Qt::AltModifier);
    // An access key clicks with the button's short press animation.
    EXPECT_TRUE(QTest::qWaitFor([&] { return applied == 1; }));
}

TEST(DialogPanelLayout, ButtonsSitAtSpacingAndCentredVertically) {
    TDialogPanel panel;
    panel.resize(400, 50);
    panel.show();
    const int line = panel.bvLine->height();
    EXPECT_TRUE(panel.SplitLine());
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
