// The host's help system as the user meets it: the popup and the help window
// for each help command, the help shipped with the host, the Help menu and
// toolbar, and "What's this?" help through the loaded plug-in.
#include "help/HelpMenu.h"
#include "help/HelpSystem.h"
#include "HelpTesting.h"
#include "plugin/PluginLibrary.h"
#include "ehscontextmap.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QTextBrowser>

#include <gtest/gtest.h>

inline void PrintTo(const QString &Text, std::ostream *Out) { *Out << '"' << Text.toStdString() << '"'; }

namespace {

class HelpSystem : public ::testing::Test {
protected:
    // What the popup shows, as plain text; empty while it is hidden.
    QString PopupText() const {
        const QWidget *popup = Help.Popup();
        if (!popup || !popup->isVisible())
            return {};
        return QTextDocumentFragment::fromHtml(popup->findChild<QLabel *>("stHelpText")->text()).toPlainText().trimmed();
    }
    // "<tab> <page>[#anchor]": what the help window shows.
    QString WindowShows() const {
        const QWidget *window = Help.HelpWindow();
        if (!window || !window->isVisible())
            return {};
        const QUrl source = window->findChild<QTextBrowser *>("tbTopic")->source();
        return window->findChild<QTabWidget *>("tcHelp")->tabText(
                   window->findChild<QTabWidget *>("tcHelp")->currentIndex()) +
               ' ' + source.fileName() + (source.hasFragment() ? '#' + source.fragment() : QString());
    }

    THelpSystem Help{DefaultHelpProject()};
};

} // namespace

TEST_F(HelpSystem, EveryTopicOfTheShippedHelpHasItsText) {
    const QList<THelpMapEntry> topics = ReadHelpProjectMap(DefaultHelpProject(), [](const QString &path) {
        ADD_FAILURE() << path.toStdString();
    });
    ASSERT_GT(topics.size(), 60);
    for (const THelpMapEntry &topic : topics) {
        HelpCommand(hcContextPopup, uint32_t(topic.Context));
        const QString text = PopupText();
        EXPECT_FALSE(text.isEmpty() || text == "No help is available for this item.") << topic.Topic.toStdString();
    }
}

TEST_F(HelpSystem, APopupShowsTheTopicWhereCommand13SaidAndNoHelpForContextZero) {
    const int deviceID = Help.Context("DeviceDialog_edUniqueID");
    ASSERT_NE(deviceID, 0);
    const QPoint at(120, 80);
    EXPECT_TRUE(HelpCommand(hcSetPopupPos, PackPopupPos(at)));
    EXPECT_TRUE(HelpCommand(hcContextPopup, uint32_t(deviceID)));
    EXPECT_EQ(PopupText(), "Device ID\nThe name of the device in the phone system, at most 31 characters. For a range it "
                           "is the prefix of the device IDs. When the device ID follows the MAC address it cannot be "
                           "typed.");
    EXPECT_EQ(Help.Popup()->pos(), at);
    // A form's topic in a popup is its page's introduction.
    HelpCommand(hcContextPopup, uint32_t(Help.Context("ValidationDialog")));
    EXPECT_EQ(PopupText(), "The validation results\nThe validation results list every profile and device that the "
                           "plug-in or the host found fault with, with the level of each finding and its message.");
    for (const uint32_t context : {0u, 99999u}) {
        HelpCommand(hcContextPopup, context);
        EXPECT_EQ(PopupText(), "No help is available for this item.");
        HelpCommand(hcContext, context);
        EXPECT_EQ(PopupText(), "No help is available for this item.");
    }
    EXPECT_EQ(WindowShows(), "");
    // A click or a key ends the popup.
    QWidget other;
    other.show();
    QTest::mouseClick(&other, Qt::LeftButton);
    EXPECT_EQ(PopupText(), "");
    EXPECT_EQ(Help.TakeReceived(), QStringList({QStringLiteral("13 %1").arg(PackPopupPos(at)),
                                                QStringLiteral("8 %1").arg(deviceID),
                                                QStringLiteral("8 %1").arg(Help.Context("ValidationDialog")), "8 0",
                                                "1 0", "8 99999", "1 99999"}));
    EXPECT_EQ(Help.TakeReceived(), QStringList());
}

TEST_F(HelpSystem, TheHelpWindowShowsATopicItsContentsAndItsIndex) {
    HelpCommand(hcContext, uint32_t(Help.Context("DeviceDialog_edMACAddress")));
    EXPECT_EQ(WindowShows(), "&Contents devicedialog.htm#mac");
    HelpCommand(hcContext, uint32_t(Help.Context("MainWindow")));
    EXPECT_EQ(WindowShows(), "&Contents mainwindow.htm");
    HelpCommand(hcTopics, 0);
    EXPECT_EQ(WindowShows(), "&Index mainwindow.htm");
    HelpCommand(hcContents, 0);
    EXPECT_EQ(WindowShows(), "&Contents index.htm");
    EXPECT_EQ(PopupText(), "");

    const auto titles = [&](const char *list) {
        QStringList result;
        const auto *widget = Help.HelpWindow()->findChild<QListWidget *>(list);
        for (int row = 0; row < widget->count(); ++row)
            result << widget->item(row)->text();
        return result;
    };
    EXPECT_EQ(titles("lvContents"), QStringList({"vqadmin Help", "The main window", "The device dialog",
                                                 "The profile dialog", "The validation results"}));
    const QStringList index = titles("lvIndex");
    EXPECT_TRUE(index.contains("MAC Address") && index.contains("What's this?") && index.contains("The device dialog"));
    EXPECT_EQ(index.count("What's this?"), 1); // two topics, one block
    // Choosing an entry of the index shows it.
    HelpCommand(hcTopics, 0);
    auto *list = Help.HelpWindow()->findChild<QListWidget *>("lvIndex");
    list->setCurrentItem(list->findItems("MAC Address", Qt::MatchExactly).value(0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(WindowShows(), "&Index devicedialog.htm#mac");
}

// The host runs without its help: wherever help is asked for, the popup says why there is none.
TEST(HelpSystemProject, WithoutItsProjectOrAnIncludeHelpIsUnavailable) {
    QTemporaryDir dir;
    QFile project(dir.filePath("help.hhp"));
    ASSERT_TRUE(project.open(QIODevice::WriteOnly));
    project.write("[MAP]\n#include gone.h\n");
    project.close();
    const std::pair<QString, QString> cases[] = {
        {dir.filePath("none.hhp"), QStringLiteral("File %1 not found.").arg(dir.filePath("none.hhp"))},
        {project.fileName(), QStringLiteral("Include file \"%1\" not found!").arg(dir.filePath("gone.h"))}};
    for (const auto &[file, why] : cases) {
        THelpSystem help(file);
        for (const THelpCommand command : {hcContextPopup, hcContext, hcContents, hcTopics}) {
            HelpCommand(command, 1000);
            ASSERT_TRUE(help.Popup() && help.Popup()->isVisible()) << command;
            const QString text = help.Popup()->findChild<QLabel *>("stHelpText")->text();
            EXPECT_EQ(QTextDocumentFragment::fromHtml(text).toPlainText(), "Help is unavailable: " + why);
            help.Popup()->hide();
        }
        EXPECT_EQ(help.HelpWindow(), nullptr);
    }
}

// What a click in the mode shows is the end-to-end walk's (whatsthis, helpclick).
TEST_F(HelpSystem, TheLoadedPlugInAnswersWhatsThisWithTheHostsHelp) {
    QMainWindow window;
    window.setObjectName("DeviceDialog");
    auto *id = new QLineEdit;
    id->setObjectName("edUniqueID");
    window.setCentralWidget(id);
    const THelpControls controls = InstallHelpMenu(window, Help);
    QMenu *menu = window.menuBar()->findChild<QMenu *>("mnHelp");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), "&Help");
    EXPECT_EQ(menu->actions().value(0), controls.WhatsThisItem);
    EXPECT_EQ(controls.WhatsThisItem->text(), "What's this?");
    EXPECT_FALSE(controls.WhatsThisButton->icon().isNull());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    const TPluginLibrary plugin{DefaultPluginPath()};
    HandHelpToPlugin(*plugin.Plugin(), controls);
    EXPECT_EQ(controls.WhatsThisItem->shortcut(), QKeySequence("Shift+F1"));
    // F1 shows the active form's topic.
    QTest::keyClick(id, Qt::Key_F1);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(Help.TakeReceived(), QStringList({QStringLiteral("1 %1").arg(Help.Context("DeviceDialog"))}));
    EXPECT_EQ(WindowShows(), "&Contents devicedialog.htm");

    // Handing over nothing switches the plug-in's help off.
    HandHelpToPlugin(*plugin.Plugin(), {nullptr, nullptr});
    EXPECT_EQ(controls.WhatsThisItem->shortcut(), QKeySequence());
    ClickAt(controls.WhatsThisButton);
    ClickAt(id);
    EXPECT_EQ(Help.TakeReceived(), QStringList());
}
