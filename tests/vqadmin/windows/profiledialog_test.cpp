// The profile dialog around a profile frame: the host's name field and what
// the frame hears of it, what Apply stores, read-only profiles, and the page
// remembered per device type. A plug-in failure is the device dialog's test:
// the dialogs share how they start and apply.

#include "windows/ProfileDialog.h"
#include "WindowTesting.h"

#include <QTabWidget>

namespace {

class ProfileDialogTest : public TFrameDialogTest {
protected:
    TFrameDialog *OpenNew() {
        TProfileRecord record;
        record.DeviceType = QStringLiteral("FAKE");
        return Show(new TProfileDialog(Database, Module, TProfileAction::New, record));
    }
    TFrameDialog *OpenEdit(int64_t ProfileID) {
        return Show(new TProfileDialog(Database, Module, TProfileAction::Edit, *Database.LoadProfile(ProfileID)));
    }
    // The frame's page as the user sees it: the current tab's page.
    QString CurrentPage() { return Field<QTabWidget>("pcSettings")->currentWidget()->objectName(); }
    void ClickTab(int Index) {
        QTabBar *tabs = Field<QTabWidget>("pcSettings")->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(Index).center());
    }
    // Each stored profile as "ID name".
    QStringList StoredProfiles() {
        QStringList rows;
        for (const TProfileRecord &p : Database.LoadProfiles())
            rows << QStringLiteral("%1 %2").arg(p.ProfileID).arg(p.Name);
        return rows;
    }
    void SetEditRights(bool Value) {
        TSystemValues system = Database.LoadSystem();
        system.EditRights = Value;
        Database.SaveSystem(system);
    }
};

TEST_F(ProfileDialogTest, ANewProfilesNameGoesToTheFrameAtEveryChangeAndIsStoredOnApply) {
    ASSERT_TRUE(OpenNew());
    EXPECT_EQ(Module.LastProfileFrame->Flags, TPluginFrameFlags({pffCreating}));
    EXPECT_EQ(Title(), "New Profile*");
    // The host's own finding blocks Apply.
    EXPECT_EQ(ConflictText(), "The profile needs a name");
    EXPECT_EQ(ConflictIcon(), Mark(clvError));
    EXPECT_FALSE(ApplyEnabled());

    Type("edName", "Lab");
    EXPECT_EQ(Module.LastProfileFrame->Names, QStringList({"L", "La", "Lab"}));
    EXPECT_EQ(ConflictText(), "Profile name \"Lab\" is already used by another profile");
    EXPECT_FALSE(ApplyEnabled());
    QTest::sendKeyEvent(QTest::Click, Field("edName"), Qt::Key_unknown, QStringLiteral("\u540D"), Qt::NoModifier);
    EXPECT_EQ(ConflictText(), "The profile's name holds a character outside Windows-1252");
    EXPECT_FALSE(ApplyEnabled());
    Type("edName", "Lab");
    QTest::keyClicks(Field("edName"), "by");
    EXPECT_EQ(ConflictText(), "");
    EXPECT_TRUE(ApplyEnabled());
    Type("edSWVersion", "2.1");
    ClickApply();

    EXPECT_EQ(Stored, 1);
    EXPECT_EQ(StoredProfiles(), QStringList({"1 Sales", "2 Lab", "3 Labby"}));
    const TProfileRecord stored = *Database.LoadProfile(3);
    EXPECT_EQ(stored.DeviceType, "FAKE");
    EXPECT_EQ(stored.CustomData, "2.1");
    EXPECT_EQ(Title(), "Profile Labby");
}

TEST_F(ProfileDialogTest, ARenameIsAChangeTheHostKeeps) {
    ASSERT_TRUE(OpenEdit(2));
    EXPECT_EQ(Module.LastProfileFrame->Flags, TPluginFrameFlags());
    EXPECT_EQ(Title(), "Profile Lab");
    EXPECT_FALSE(ApplyEnabled());
    // The frame is not modified by a name, the host is; typing the stored name back undoes it.
    QTest::keyClick(Field("edName"), Qt::Key_End); // the dialog opens with the name selected
    QTest::keyClicks(Field("edName"), "2");
    EXPECT_EQ(Title(), "Profile Lab*");
    EXPECT_EQ(CloseCaption(), "&Cancel");
    QTest::keyClick(Field("edName"), Qt::Key_Backspace);
    EXPECT_EQ(Title(), "Profile Lab");
    EXPECT_FALSE(ApplyEnabled());

    Type("edName", "Lab 2");
    ClickApply();
    EXPECT_EQ(StoredProfiles(), QStringList({"1 Sales", "2 Lab 2"}));
    EXPECT_EQ(Database.LoadDevice(2)->ProfileID, 2); // its device stays with it
    EXPECT_EQ(Title(), "Profile Lab 2");

    // What each answer to the question does is the device dialog's test.
    Type("edName", "Lab 3");
    Answers = {QMessageBox::No};
    ClickClose();
    EXPECT_EQ(Boxes, QStringList{"Save the changes to profile \"Lab 2\"?"});
}

TEST_F(ProfileDialogTest, TheDefaultProfileAndEveryProfileWithoutEditRightsAreReadOnly) {
    TProfileRecord sales = *Database.LoadProfile(1);
    sales.IsDefault = true;
    Database.SaveProfile(sales);
    struct TCase {
        const char *Name;
        int64_t Profile;
        bool EditRights;
        bool ReadOnly;
        const char *Why; // on the conflict line
    } cases[] = {
        {"default profile", 1, true, true, "Read-only: the default profile is the system's own"},
        {"other profile", 2, true, false, ""},
        {"no edit rights", 2, false, true, "Read-only: changes need edit rights"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        SetEditRights(c.EditRights);
        ASSERT_TRUE(OpenEdit(c.Profile));
        EXPECT_EQ(Module.LastProfileFrame->Flags.Contains(pffReadOnly), c.ReadOnly);
        EXPECT_EQ(Field("edName")->isReadOnly(), c.ReadOnly);
        EXPECT_EQ(Field("edSWVersion")->isReadOnly(), c.ReadOnly);
        EXPECT_EQ(ConflictText(), c.Why);
        Field("edName")->setFocus();
        QTest::keyClicks(Field("edName"), "x");
        QTest::keyClicks(Field("edSWVersion"), "x");
        EXPECT_EQ(ApplyEnabled(), !c.ReadOnly);
        Dialog->Discard();
    }
}

TEST_F(ProfileDialogTest, TheOpenPageIsRememberedPerDeviceTypeInTheDatabase) {
    ASSERT_TRUE(OpenEdit(2));
    EXPECT_EQ(CurrentPage(), "tshMain");
    ClickTab(1);
    EXPECT_EQ(CurrentPage(), "tshMore");
    Dialog.reset();
    EXPECT_EQ(Database.LoadProfilePage("FAKE"), "pcSettings.tshMore.More");

    // Another profile of the type, and another run of the host over the same file.
    {
        TConfigDatabase again(Database.Path());
        TFakeDeviceModule module;
        TProfileRecord record = *again.LoadProfile(1);
        Show(new TProfileDialog(again, module, TProfileAction::Edit, record));
        EXPECT_EQ(CurrentPage(), "tshMore");
        ClickTab(0);
        Dialog.reset();
    }
    EXPECT_EQ(Database.LoadProfilePage("FAKE"), "pcSettings.tshMain.Main");
    // A path the frame does not know opens its first page and is replaced at the next close.
    Database.SaveProfilePage("FAKE", "pcSettings.tshGone.Gone");
    ASSERT_TRUE(OpenNew());
    EXPECT_EQ(CurrentPage(), "tshMain");
    Dialog.reset();
    EXPECT_EQ(Database.LoadProfilePage("FAKE"), "pcSettings.tshMain.Main");
}

TEST_F(ProfileDialogTest, ALongerMessageMakesRoomForItselfAndKeepsTheButtonsWhole) {
    ASSERT_TRUE(OpenEdit(2));
    Dialog->resize(Dialog->minimumSizeHint().width(), Dialog->height());
    QCoreApplication::processEvents();
    Type("edName", "Sales");
    QCoreApplication::processEvents();
    auto *line = Dialog->findChild<QLabel *>("stConflict");
    EXPECT_EQ(line->text(), "Profile name \"Sales\" is already used by another profile");
    EXPECT_GT(line->heightForWidth(line->width()), line->fontMetrics().height()); // more than one line
    EXPECT_GE(line->height(), line->heightForWidth(line->width()));
    const QRect buttons = Dialog->Panel()->geometry();
    EXPECT_LE(buttons.bottom(), Dialog->rect().bottom());
    EXPECT_GE(buttons.height(), Dialog->Panel()->sizeHint().height());
    EXPECT_GE(Field("edSWVersion")->height(), Field("edSWVersion")->sizeHint().height());
}

} // namespace
