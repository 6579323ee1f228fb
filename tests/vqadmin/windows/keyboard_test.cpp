// Every window of the host, with the built plug-in's frames, walked with the
// keyboard alone: Tab runs from the field the window opens in through every
// enabled input once, in the layout's order, and back; Shift+Tab runs the
// other way; no two controls of a window share an access key; and a screen
// reader hears a name for every input and one value for a control made of fields.

#include "automation/Automation.h"
#include "DialogPanel.h"
#include "windows/MainWindow.h"
#include "plugin/PluginLibrary.h"
#include "sitefile/SiteFile.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

inline void PrintTo(const QString &Text, std::ostream *Out) { *Out << '"' << Text.toStdString() << '"'; }

namespace {

class KeyboardWalk : public ::testing::Test {
protected:
    KeyboardWalk() : Database(Dir.filePath("site.db")) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Dir.path());
        QFile site(QCoreApplication::applicationDirPath() + "/demo-site.json");
        EXPECT_TRUE(site.open(QIODevice::ReadOnly));
        Database.ReplaceSite(ReadSiteFile(site.readAll()));
    }

    QTemporaryDir Dir;
    TConfigDatabase Database;
    const TPluginLibrary Library{DefaultPluginPath()};
    TMainWindow Window{Database, *Library.Module()};
};

// The name of the control a widget belongs to; a button of a button box goes by the box's.
QString ControlName(QWidget *Widget) {
    QWidget *control = OuterControl(Widget);
    return control->objectName().isEmpty() ? control->parentWidget()->objectName() : control->objectName();
}

QString Focused() {
    QWidget *focus = QApplication::focusWidget();
    return focus ? ControlName(focus) : QStringLiteral("(none)");
}

// The names of the controls the focus visits from where it is, pressing Key,
// until it comes back.
QStringList Walk(Qt::KeyboardModifiers Modifiers) {
    QWidget *const start = QApplication::focusWidget();
    QStringList visited;
    do {
        visited << Focused();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Modifiers);
    } while (QApplication::focusWidget() != start && visited.size() < 60);
    return visited;
}

// What the user sees of a control made of fields: its fields and separators, left to right.
QString Shown(QWidget *Control) {
    QList<QWidget *> parts;
    for (QWidget *w : Control->findChildren<QWidget *>())
        if ((qobject_cast<QLineEdit *>(w) || qobject_cast<QLabel *>(w)) && w->isVisibleTo(Control))
            parts << w;
    std::stable_sort(parts.begin(), parts.end(), [Control](QWidget *a, QWidget *b) {
        return a->mapTo(Control, QPoint()).x() < b->mapTo(Control, QPoint()).x();
    });
    QString text, fields;
    for (QWidget *w : parts) {
        text += w->property("text").toString();
        if (qobject_cast<QLineEdit *>(w))
            fields += w->property("text").toString();
    }
    return fields.isEmpty() ? QString() : text; // empty fields between separators show nothing
}

// What a screen reader hears for the focused control: its name, and a value
// for a control made of fields. Fails the test where a name is missing or is
// not its label's, or where a field of such a control speaks for itself.
void CheckAnnounced(QWidget *Window) {
    QWidget *focus = QApplication::focusWidget();
    QWidget *control = OuterControl(focus);
    QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(focus);
    ASSERT_NE(heard, nullptr);
    if (QAccessibleInterface *child = heard->focusChild()) // a page tab
        heard = child;
    const QString name = heard->text(QAccessible::Name);
    EXPECT_FALSE(name.isEmpty()) << control->objectName().toStdString();
    for (QLabel *label : Window->findChildren<QLabel *>())
        if (label->buddy() == control) {
            EXPECT_EQ(name, label->text().remove('&')) << control->objectName().toStdString();
        }
    if (control != focus && qobject_cast<QLineEdit *>(focus)) { // a field of a control made of several
        EXPECT_EQ(heard->role(), QAccessible::EditableText) << control->objectName().toStdString();
        EXPECT_EQ(heard->text(QAccessible::Value), Shown(control)) << control->objectName().toStdString();
    }
}

// The access keys of what the window shows, each key once.
QStringList AccessKeys(QWidget *Window) {
    QStringList captions;
    for (QWidget *w : Window->findChildren<QWidget *>()) {
        if (!w->isVisible())
            continue;
        if (auto *label = qobject_cast<QLabel *>(w); label && label->buddy())
            captions << label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            captions << button->text();
        else if (auto *tabs = qobject_cast<QTabBar *>(w))
            for (int i = 0; i < tabs->count(); ++i)
                captions << tabs->tabText(i);
        else if (auto *menus = qobject_cast<QMenuBar *>(w))
            for (QAction *menu : menus->actions())
                captions << menu->text();
    }
    QStringList keys;
    for (const QString &caption : captions)
        if (const QKeySequence key = QKeySequence::mnemonic(caption); !key.isEmpty())
            keys << key.toString() + " " + caption;
    return keys;
}

struct TWindowRow {
    const char *Window;
    std::function<QWidget *(TMainWindow &)> Open;
    int Page; // of the profile frame, or -1
    QStringList Stops;
};

// The dialog's own controls before and after the frame.
const QStringList Name{"edName", "pcSettings"}, Buttons{"btClose", "btHelp"}, ApplyButtons{"btApply", "btClose", "btHelp"};

TEST_F(KeyboardWalk, EveryWindowByTabAloneWithUniqueAccessKeysAndNamedInputs) {
    QAccessible::setActive(true);
    Window.show();
    const auto newProfile = [](TMainWindow &W) -> QWidget * { return W.NewProfile(); };
    const TWindowRow rows[] = {
        // A new profile has no name yet: Apply waits for one.
        {"new profile, General", newProfile, 0,
         Name + QStringList{"edLYN2SWVersion", "cbLYN2Country", "cbLYN2TimeZone", "chbLYN2DaylightAdjust",
                            "chbLYN2AllowG729", "chbLYN2G729SilentSuppr", "vqseLYN2RingTone", "chbLYN2EnablePaging",
                            "vqseInterdigitTimeout", "chbSyslogIfNotRegistered", "chbAllowLocationSpecOnPhone"} +
             Buttons},
        {"new profile, SIP Settings", newProfile, 1,
         Name + QStringList{"cbLYN2TransportProtocol", "vqseLYN2ReceivePort", "chbLYN2RegWithBcpProxy",
                            "vqseLYN2InviteRetrans", "vqseLYN2NonInviteRetrans", "cbLYN2ProxySource"} +
             Buttons},
        {"new profile, VLAN", newProfile, 3, Name + QStringList{"chbLYN2EnableVLAN"} + Buttons},
        // Read-only fields can still be read by keyboard (which are read-only is the profile dialog's test).
        {"default profile, General", [](TMainWindow &W) -> QWidget * { return W.EditProfile(W.ProfileNamed("Sales")); },
         0, Name + QStringList{"edLYN2SWVersion", "vqseLYN2RingTone", "vqseInterdigitTimeout"} + Buttons},
        // Leaving the mask writes its prefix length's mask, which the stored profile lacks: Apply comes on.
        {"profile without DHCP, IP Communications",
         [](TMainWindow &W) -> QWidget * { return W.EditProfile(W.ProfileNamed("Warehouse")); }, 2,
         Name + QStringList{"chbLYN2EnableDHCP", "vqimLYN2SubnetMask", "vqipLYN2Gateway", "vqipLYN2DNS", "edLYN2Domain",
                            "vqipLYN2NTP", "rbLYN2FixedTFTPServer", "vqipLYN2TFTPServer", "vqseLYN2Cal_Sig_DSCP",
                            "vqseLYN2RTP_DSCP"} +
             ApplyButtons},
        // The profile's phones use DHCP: no LAN IP. An edited device's walk is the same but for Apply.
        {"new device", [](TMainWindow &W) -> QWidget * { return W.NewDevice(W.ProfileNamed("Sales")); }, -1,
         QStringList{"cbProfile", "edMACAddress", "edProxyPassword", "cbIDLinkedToMAC"} + ApplyButtons},
        {"new range", [](TMainWindow &W) -> QWidget * { return W.NewRange(W.ProfileNamed("Lab")); }, -1,
         QStringList{"cbProfile", "edUniqueID", "edMACAddress", "vqseStartNumber", "edProxyPassword", "seCount",
                     "edFirstIP"} +
             Buttons},
        {"validation", [](TMainWindow &W) -> QWidget * { return W.ShowValidation(); }, -1,
         QStringList{"lvResults", "bbClose"}},
        {"main window", [](TMainWindow &W) -> QWidget * { return &W; }, -1,
         QStringList{"lvProfiles", "edFilter", "chbFlaggedOnly", "lvDevices"}},
    };
    for (const TWindowRow &row : rows) {
        SCOPED_TRACE(row.Window);
        QWidget *window = row.Open(Window);
        ASSERT_NE(window, nullptr);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        if (row.Page >= 0)
            window->findChild<QTabWidget *>("pcSettings")->setCurrentIndex(row.Page);
        QApplication::processEvents();

        const QStringList forward = Walk({});
        EXPECT_EQ(forward, row.Stops);
        QStringList backward = Walk(Qt::ShiftModifier);
        std::reverse(backward.begin() + 1, backward.end());
        EXPECT_EQ(backward, forward);

        // Every enabled input the window shows is a stop, once.
        QStringList inputs;
        for (QWidget *w : window->findChildren<QWidget *>())
            if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible() && w->window() == window) {
                while (w->focusProxy()) // where the focus really goes
                    w = w->focusProxy();
                inputs << ControlName(w);
            }
        inputs.removeDuplicates();
        QStringList stops = forward;
        stops.sort();
        inputs.sort();
        EXPECT_EQ(stops, inputs);

        for (int i = 0; i < forward.size(); ++i) {
            CheckAnnounced(window);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QStringList keys = AccessKeys(window);
        keys.sort();
        for (int i = 1; i < keys.size(); ++i)
            EXPECT_NE(keys[i].left(keys[i].indexOf(' ')), keys[i - 1].left(keys[i - 1].indexOf(' ')))
                << keys[i - 1].toStdString() << " / " << keys[i].toStdString();

        if (auto *dialog = qobject_cast<TFrameDialog *>(window)) {
            // The button strip shows whole on the screen (the offscreen one is 800 x 600).
            EXPECT_TRUE(dialog->rect().contains(QRect(dialog->Panel()->mapTo(dialog, QPoint()), dialog->Panel()->size())));
            EXPECT_LE(dialog->frameGeometry().height(), dialog->screen()->availableGeometry().height());
            // Screen readers read out the conflict line's changes.
            QAccessibleInterface *line = QAccessible::queryAccessibleInterface(dialog->findChild<QLabel *>("stConflict"));
            EXPECT_EQ(line->role(), QAccessible::StatusBar);
            EXPECT_EQ(line->text(QAccessible::Name), dialog->findChild<QLabel *>("stConflict")->text());
            dialog->Discard();
        }
        else if (window != &Window)
            window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace
