// The help-aware bit buttons: what each kind shows and does when clicked.
#include "ControlTesting.h"
#include "EHSHelpButton.h"
#include "HelpTesting.h"

#include <QDialog>
#include <QTemporaryDir>

TEST(EHSBitBtn, EachKindShowsItsCaptionAndGlyphAndEndsADialogWithItsResult) {
    const struct {
        TBitBtnKind Kind;
        const char *Caption;
        int Result; // the dialog's result after a click; -1 when it stays open
    } cases[] = {
        {bkOK, "OK", mrOk},           {bkCancel, "Cancel", mrCancel}, {bkYes, "Yes", mrYes},
        {bkNo, "No", mrNo},           {bkAbort, "Abort", mrAbort},    {bkRetry, "Retry", mrRetry},
        {bkIgnore, "Ignore", mrIgnore}, {bkAll, "All", mrAll},        {bkClose, "Close", QDialog::Rejected},
        {bkHelp, "Help", -1},
    };
    THelpRecorder help;
    for (const auto &c : cases) {
        QDialog dialog;
        auto *button = new TEHSBitBtn(&dialog, c.Kind);
        int handled = 0;
        button->OnClick = [&](QObject *) { ++handled; };
        dialog.show();
        dialog.setResult(-1);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(button->Caption(), c.Caption);
        EXPECT_FALSE(button->icon().isNull()) << c.Caption;
        EXPECT_EQ(handled, 1) << c.Caption;
        EXPECT_EQ(dialog.isVisible() ? -1 : dialog.result(), c.Result) << c.Caption;
    }
    // The help kind asked for its form's topic, which has none.
    EXPECT_EQ(help.Take(), QStringList({"1 0"}));
}

TEST(EHSBitBtn, AHelpButtonOpensTheNearestContextItFinds) {
    THelpRecorder help;
    QWidget form;
    SetHelpContext(&form, 40);
    auto *panel = new QWidget(&form);
    auto *button = new TEHSBitBtn(panel, bkHelp);
    auto *helpButton = new TEHSHelpButton(panel);
    QTest::mouseClick(button, Qt::LeftButton);
    SetHelpContext(panel, 41);
    QTest::mouseClick(button, Qt::LeftButton);
    SetHelpContext(button, 42);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(helpButton, Qt::LeftButton);
    // The help button opens its form's topic.
    EXPECT_EQ(help.Take(), QStringList({"1 40", "1 41", "1 42", "1 40"}));
    // A custom kind is only its handler.
    button->SetKind(bkCustom);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(help.Take().isEmpty());
}
