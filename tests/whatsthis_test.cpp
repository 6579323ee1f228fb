// The "What's this?" engine as a user meets it: the mode entered from the menu
// item, the toolbar button and Shift+F1; clicks, right clicks and F1 asking
// the host's help system for the right topic; the rules for a context of 0.
#include "ControlTesting.h"
#include "HelpTesting.h"
#include "ehswhatsthis.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

namespace {

template <class T>
T *Named(T *Object, const char *Name, int Context = 0) {
    Object->setObjectName(QLatin1String(Name));
    if (Context)
        SetHelpContext(Object, Context);
    return Object;
}

QMenu *OpenMenu() { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }

// A form with a menu bar, a toolbar and controls with and without help contexts:
// form 500, edName 101 (with its label stName), pnlButtons and btOK none, edOther none.
class WhatsThis : public ::testing::Test {
protected:
    void SetUp() override {
        SetHelpContext(Named(&Form, "TestForm"), 500);
        auto *client = Named(new QWidget, "pnlClient");
        Form.setCentralWidget(client);
        auto *layout = new QVBoxLayout(client);
        layout->addWidget(stName);
        layout->addWidget(edName);
        layout->addWidget(edOther);
        layout->addWidget(pnlButtons);
        (new QVBoxLayout(pnlButtons))->addWidget(btOK);
        stName->setBuddy(edName);
        Form.addToolBar(QStringLiteral("Main"))->addWidget(tbWhatsThis);
        tbWhatsThis->setCheckable(true);
        miWhatsThis->setCheckable(true);

        Engine.SetName(QStringLiteral("WhatsThis1"));
        Engine.SetWTMenuItem(miWhatsThis);
        Engine.SetWTToolbarButton(tbWhatsThis);
        Engine.OnEnterContextMode = [this](QObject *) { Log.append("enter"); };
        Engine.OnLeaveContextMode = [this](QObject *) { Log.append("leave"); };
        Engine.Loaded();

        Form.resize(400, 300);
        Form.show();
        Form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
    }
    void TearDown() override {
        while (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
    }

    // "<mode> <cursor> <item> <button>": the mode, whether the help cursor is on, and
    // whether the menu item is checked and the toolbar button down.
    QString State() const {
        const QCursor *cursor = QApplication::overrideCursor();
        return QStringLiteral("%1 %2 %3 %4")
            .arg(QStringList({"idle", "popup", "wmhelp", "permanent"})[Engine.Mode()])
            .arg(cursor && cursor->shape() == Qt::WhatsThisCursor ? "help" : "arrow")
            .arg(miWhatsThis->isChecked() ? "checked" : "unchecked")
            .arg(tbWhatsThis->isChecked() ? "down" : "up");
    }

    void ClickMenuItem(QAction *Item) {
        QMenuBar *bar = Form.menuBar();
        ClickAt(bar, Qt::LeftButton, bar->actionGeometry(mnHelp->menuAction()).center());
        ASSERT_EQ(OpenMenu(), mnHelp);
        ClickAt(mnHelp, Qt::LeftButton, mnHelp->actionGeometry(Item).center());
    }

    THelpRecorder Help;
    QStringList Log;
    QMainWindow Form;
    QLabel *stName = Named(new QLabel(QStringLiteral("&Name")), "stName");
    QLineEdit *edName = Named(new QLineEdit, "edName", 101);
    QLineEdit *edOther = Named(new QLineEdit, "edOther");
    QWidget *pnlButtons = Named(new QWidget, "pnlButtons");
    QPushButton *btOK = Named(new QPushButton(QStringLiteral("OK")), "btOK");
    QMenu *mnHelp = Form.menuBar()->addMenu(QStringLiteral("&Help"));
    QAction *miWhatsThis = Named(mnHelp->addAction(QStringLiteral("What's this?")), "miWhatsThis");
    QToolButton *tbWhatsThis = Named(new QToolButton, "tbWhatsThis");
    TWhatsThis Engine;
};

} // namespace

TEST_F(WhatsThis, MenuItemButtonShiftF1AndEscapeSwitchTheModeOnAndOff) {
    EXPECT_EQ(State(), "idle arrow unchecked up");
    ClickMenuItem(miWhatsThis);
    EXPECT_EQ(State(), "permanent help checked down");
    ClickAt(tbWhatsThis);
    EXPECT_EQ(State(), "idle arrow unchecked up");
    // Shift+F1 is the menu item's shortcut.
    EXPECT_EQ(miWhatsThis->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
    QTest::keyClick(edName, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(State(), "permanent help checked down");
    // The engine sees the key before the menu item: the mode starts again.
    QTest::keyClick(edName, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(State(), "permanent help checked down");
    QTest::keyClick(edName, Qt::Key_Escape);
    EXPECT_EQ(State(), "idle arrow unchecked up");
    EXPECT_EQ(Log, QStringList({"enter", "leave", "enter", "leave", "enter", "leave"}));
    EXPECT_TRUE(Help.Take().isEmpty());
}

TEST_F(WhatsThis, AClickInTheModeAsksForTheControlsPopupAndEndsTheMode) {
    int clicked = 0;
    QObject::connect(btOK, &QPushButton::clicked, [&] { ++clicked; });
    const auto clickInMode = [&](QWidget *control, QPoint at = {}) {
        Engine.ContextHelp();
        ClickAt(control, Qt::LeftButton, at);
        EXPECT_EQ(State(), "idle arrow unchecked up");
        return Help.Take();
    };
    const QPoint centre = edName->rect().center();
    EXPECT_EQ(clickInMode(edName), QStringList({PopupAt(edName, centre), "8 101"}));
    // A label answers for its focus control.
    EXPECT_EQ(clickInMode(stName, QPoint(2, 2)), QStringList({PopupAt(stName, QPoint(2, 2)), "8 101"}));
    // Without a context of its own or of its panel the control gets the form's; the click is taken.
    EXPECT_EQ(clickInMode(btOK), QStringList({PopupAt(btOK, btOK->rect().center()), "8 500"}));
    EXPECT_EQ(clicked, 0);
    // A panel's context serves its controls.
    SetHelpContext(pnlButtons, 300);
    EXPECT_EQ(clickInMode(btOK), QStringList({PopupAt(btOK, btOK->rect().center()), "8 300"}));
    // A negative context asks for the topic itself.
    SetHelpContext(edName, -7);
    EXPECT_EQ(clickInMode(edName), QStringList({"1 7"}));
    // A page's tab answers for its page.
    auto *pages = new QTabWidget;
    pages->addTab(new QWidget, QStringLiteral("One"));
    pages->addTab(Named(new QWidget, "tshTwo", 202), QStringLiteral("Two"));
    pnlButtons->layout()->addWidget(pages);
    QApplication::processEvents();
    const QPoint tab = pages->tabBar()->tabRect(1).center();
    EXPECT_EQ(clickInMode(pages->tabBar(), tab), QStringList({PopupAt(pages->tabBar(), tab), "8 202"}));
    // Out of the mode a click is the control's.
    ClickAt(btOK);
    EXPECT_EQ(clicked, 1);
    EXPECT_TRUE(Help.Take().isEmpty());
}

TEST_F(WhatsThis, ARightClickOffersThePopupItemWhoseChoiceShowsTheHelp) {
    ClickAt(edName, Qt::RightButton, QPoint(5, 5));
    QMenu *popup = OpenMenu();
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(popup->actions().size(), 1);
    EXPECT_EQ(popup->actions()[0]->text(), "What's this?");
    ClickAt(popup, Qt::LeftButton, popup->actionGeometry(popup->actions()[0]).center());
    EXPECT_EQ(Help.Take(), QStringList({PopupAt(edName, QPoint(5, 5)), "8 101"}));

    // Closing the popup without choosing shows nothing.
    ClickAt(edName, Qt::RightButton);
    ASSERT_NE(OpenMenu(), nullptr);
    QTest::keyClick(OpenMenu(), Qt::Key_Escape);
    EXPECT_EQ(Engine.Mode(), wmIdle);
    EXPECT_TRUE(Help.Take().isEmpty());

    // With direct help the right click shows the help at once.
    Engine.SetOptions(Engine.Options() | wtDirectHelp);
    ClickAt(edName, Qt::RightButton, QPoint(5, 5));
    EXPECT_EQ(OpenMenu(), nullptr);
    EXPECT_EQ(Help.Take(), QStringList({PopupAt(edName, QPoint(5, 5)), "8 101"}));
}

TEST_F(WhatsThis, F1AnswersAsF1ActionSays) {
    edName->setFocus();
    const struct {
        TF1Action Action;
        QStringList Commands;
    } cases[] = {
        {goContext, {PopupAt(edName, QPoint(0, 0)), "8 101"}},
        {goTOC, {"15 0"}},
        {goFormContext, {"1 500"}},
    };
    for (const auto &c : cases) {
        Engine.SetF1Action(c.Action);
        QTest::keyClick(edName, Qt::Key_F1);
        EXPECT_EQ(Help.Take(), c.Commands) << c.Action;
    }
    // In the mode F1 leaves it first.
    Engine.ContextHelp();
    QTest::keyClick(edName, Qt::Key_F1);
    EXPECT_EQ(State(), "idle arrow unchecked up");
    EXPECT_EQ(Help.Take(), QStringList({"1 500"}));
    // A hook may take the key over.
    Engine.OnF1KeyDown = [](QObject *, bool &Handled) { Handled = true; };
    QTest::keyClick(edName, Qt::Key_F1);
    EXPECT_TRUE(Help.Take().isEmpty());
}

TEST_F(WhatsThis, ContextZeroIsDroppedUnlessTheOptionsSayOtherwise) {
    // edOther has no context, nor its parents below the form.
    int ownMenus = 0;
    edOther->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(edOther, &QWidget::customContextMenuRequested, [&] { ++ownMenus; });
    const QString position = PopupAt(edOther, edOther->rect().center());
    const struct {
        TWhatsThisOptions Options;
        QStringList Click;   // what a click in the mode asks for
        bool Popup;          // whether a right click offers the popup
    } cases[] = {
        {{wtInheritFormContext}, {position, "8 500"}, true},
        {{wtNoContextHelp}, {position, "8 0"}, false},
        {{wtNoContextMenu}, {}, true},
    };
    for (const auto &c : cases) {
        const int menusBefore = ownMenus;
        Engine.SetOptions(c.Options);
        Engine.ContextHelp();
        ClickAt(edOther);
        EXPECT_EQ(Help.Take(), c.Click) << c.Options.toInt();
        EXPECT_EQ(Engine.Mode(), wmIdle);
        ClickAt(edOther, Qt::RightButton);
        EXPECT_EQ(OpenMenu() != nullptr, c.Popup) << c.Options.toInt();
        EXPECT_TRUE(Help.Take().isEmpty());
        // A dropped right click is the control's own.
        EXPECT_EQ(ownMenus - menusBefore, c.Popup ? 0 : 1) << c.Options.toInt();
        if (OpenMenu())
            OpenMenu()->close();
    }
}

TEST_F(WhatsThis, ChangingTheItemsAndTheModeWantTheEngineInTheRightState) {
    EXPECT_EQ(RaisedMessage([&] { Engine.SetWTMenuItem(nullptr); }),
              "TWhatsThis must be deactivated to change this property");
    Engine.SetActive(false);
    EXPECT_EQ(RaisedMessage([&] { Engine.ContextHelp(); }), "WhatsThis1 is currently not active.");
}

TEST_F(WhatsThis, StoppingGivesTheClicksBackAndEndsTheMode) {
    int ownClicks = 0;
    QObject::connect(tbWhatsThis, &QToolButton::clicked, [&] { ++ownClicks; });
    ClickAt(tbWhatsThis);
    Engine.SetActive(false);
    EXPECT_EQ(State(), "idle arrow unchecked up");
    ClickAt(tbWhatsThis);
    EXPECT_EQ(Engine.Mode(), wmIdle);
    EXPECT_EQ(Log, QStringList({"enter", "leave"}));
    // The button's own receivers heard every click.
    EXPECT_EQ(ownClicks, 2);
}
