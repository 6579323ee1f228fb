#include "Automation.h"

#include "DialogPanel.h"
#include "help/HelpSystem.h"
#include "windows/MainWindow.h"
#include "commandline/ShellWords.h"
#include "VarnelGrid.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextStream>

namespace {

// Message boxes are answered, not waited for: the host's own through the
// message-box seam (the script's answer where the box offers it, else Cancel
// where it is offered, else OK), any other one (the plug-in's) by closing it
// as soon as it shows. What the unexpected ones said is collected: a command
// that raised one did not do what the script expected.
class TMessageBoxCatcher : public QObject {
public:
    TMessageBoxCatcher() {
        FPrevious = SetMessageBoxHandler([this](const TMessageBoxRequest &Request) {
            if (Request.Buttons & Answer)
                return std::exchange(Answer, QMessageBox::NoButton);
            Texts << Request.Text;
            return Request.Buttons & QMessageBox::Cancel ? QMessageBox::Cancel : QMessageBox::Ok;
        });
        qApp->installEventFilter(this);
    }
    ~TMessageBoxCatcher() override { SetMessageBoxHandler(FPrevious); }

    QStringList Texts;
    // The script's answer to the question the current command raises.
    QMessageBox::StandardButton Answer = QMessageBox::NoButton;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override {
        if (Event->type() == QEvent::Show)
            if (auto *box = qobject_cast<QMessageBox *>(Watched)) {
                Texts << box->text();
                QMetaObject::invokeMethod(box, &QDialog::reject, Qt::QueuedConnection);
            }
        return false;
    }

private:
    TMessageBoxHandler FPrevious;
};

QString YesNo(bool Value) { return Value ? QStringLiteral("true") : QStringLiteral("false"); }

// Whether Tab stops at the widget.
bool TakesTab(const QWidget &Widget) {
    return (Widget.focusPolicy() & Qt::TabFocus) && Widget.isEnabled() && Widget.isVisible();
}

// The control's parts that Tab reaches, in focus order: the control itself, or
// the fields of a control made of several.
QList<QWidget *> TabStops(QWidget &Control) {
    QList<QWidget *> stops;
    QWidget *w = &Control;
    do {
        if ((w == &Control || Control.isAncestorOf(w)) && TakesTab(*w))
            stops << w;
        w = w->nextInFocusChain();
    } while (w && w != &Control);
    return stops;
}

QWidget &FocusWidget() {
    QWidget *w = QApplication::focusWidget();
    if (!w)
        throw Exception(QStringLiteral("nothing has the keyboard focus"));
    return *w;
}

void Press(const QKeyCombination &Key) { QTest::keyClick(&FocusWidget(), Key.key(), Key.keyboardModifiers()); }

} // namespace

QString ControlText(const QWidget &Control) {
    // A masked edit shows its blanks too.
    if (const auto *edit = qobject_cast<const QLineEdit *>(&Control))
        return edit->inputMask().isEmpty() ? edit->text() : edit->displayText();
    if (const auto *list = qobject_cast<const QComboBox *>(&Control))
        return list->currentText();
    if (const auto *button = qobject_cast<const QAbstractButton *>(&Control))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(&Control))
        return label->text();
    if (const auto *spin = qobject_cast<const QAbstractSpinBox *>(&Control))
        return spin->text();
    return Control.property("text").toString();
}

QWidget *OuterControl(QWidget *Widget) {
    // Such a control hands the focus to a part of its own.
    for (QWidget *w = Widget->parentWidget(); w && w->focusProxy() && w->isAncestorOf(w->focusProxy());
         w = w->parentWidget())
        Widget = w;
    return Widget;
}

TAutomation::TAutomation(TMainWindow &Window, THelpSystem *Help) : FWindow(Window), FHelp(Help) {}

const std::vector<TAutomation::TCommand> &TAutomation::Commands() {
    using A = TAutomation;
    using L = const QStringList &;
    static const std::vector<TCommand> commands = {
        {"new device PROFILE", [](A &a, L args) { return a.NewDevice(args, false); }},
        {"new range PROFILE", [](A &a, L args) { return a.NewDevice(args, true); }},
        {"open device ID", &A::OpenDevice},
        {"new profile", &A::NewProfile},
        {"open profile NAME", &A::OpenProfile},
        {"name TEXT", &A::Name},
        {"page NAME", &A::Page},
        {"leave CONTROL", &A::Leave},
        {"type CONTROL TEXT", &A::Type},
        {"key CONTROL KEYS", &A::Key},
        {"paste CONTROL TEXT", &A::Paste},
        {"clear CONTROL", &A::Clear},
        {"click CONTROL", &A::Click},
        {"choose CONTROL ITEM", &A::Choose},
        {"focus", &A::Focus},
        {"press KEYS", &A::PressKey},
        {"state CONTROL", &A::State},
        {"conflict", &A::ConflictLine},
        {"modified", &A::Modified},
        {"apply", &A::ApplyDialog},
        {"close", &A::CloseDialog},
        {"answer BUTTON", &A::Answer},
        {"screenshot FILE", &A::Screenshot},
        {"whatsthis", &A::WhatsThis},
        {"helpclick CONTROL", &A::HelpClick},
        {"help", &A::HelpReceived},
        {"set NAME VALUE", [](A &a, L args) { return a.FrameUTC(utc_set, args); }},
        {"command NAME [P2 [P3]]", [](A &a, L args) { return a.FrameUTC(utc_command, args); }},
        {"get NAME", [](A &a, L args) { return a.FrameUTC(utc_get, args); }},
        {"dialog NAME", &A::DialogUTC},
        {"table-find COLUMN TEXT", [](A &a, L args) { return a.WindowUTC(utc_table_find, args); }},
        {"table-get COLUMN", [](A &a, L args) { return a.WindowUTC(utc_table_get, args); }},
        {"table-set COLUMN TEXT", [](A &a, L args) { return a.WindowUTC(utc_table_set, args); }},
        {"table-add COLUMN TEXT", [](A &a, L args) { return a.WindowUTC(utc_table_add, args); }},
        {"table-count [LIST]", &A::TableCount},
        {"filter TEXT", &A::Filter},
    };
    return commands;
}

int TAutomation::Run(const QString &Script, QTextStream &Out) {
    const QStringList lines = Script.split(QLatin1Char('\n'));
    qsizetype next = 0;
    return Run([&] { return next < lines.size() ? std::optional(lines[next++]) : std::nullopt; }, Out);
}

int TAutomation::Run(const std::function<std::optional<QString>()> &NextLine, QTextStream &Out) {
    TMessageBoxCatcher boxes;
    int n = 0;
    while (const std::optional<QString> next = NextLine()) {
        ++n;
        const QString line = next->trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        boxes.Texts.clear();
        boxes.Answer = std::exchange(FAnswer, QMessageBox::NoButton);
        QString result, failure;
        try {
            result = Execute(SplitShellWords(line));
        } catch (const Exception &e) {
            failure = e.Message();
        } catch (const std::exception &e) {
            failure = QString::fromLocal8Bit(e.what());
        }
        // Let the windows settle: closed dialogs go, late handlers run.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!boxes.Texts.isEmpty())
            failure = boxes.Texts.join(QStringLiteral("; "));
        if (!failure.isEmpty()) {
            Out << QStringLiteral("error: line %1: %2").arg(n).arg(failure) << Qt::endl;
            return 1;
        }
        Out << result << Qt::endl;
    }
    return 0;
}

QString TAutomation::Execute(const QStringList &Words) {
    const TCommand *best = nullptr;
    qsizetype bestLength = 0;
    for (const TCommand &c : Commands()) {
        const QStringList usage = c.Usage.split(QLatin1Char(' '));
        qsizetype length = 0;
        while (length < usage.size() && usage[length].isLower())
            ++length;
        if (length > bestLength && Words.mid(0, length) == usage.mid(0, length)) {
            best = &c;
            bestLength = length;
        }
    }
    if (!best)
        throw Exception(QStringLiteral("unknown command: %1").arg(Words.value(0)));
    const QStringList arguments = Words.mid(bestLength);
    const QStringList usage = best->Usage.split(QLatin1Char(' '));
    const qsizetype optional = std::count_if(usage.begin(), usage.end(), [](const QString &word) {
        return word.startsWith(QLatin1Char('['));
    });
    if (arguments.size() < usage.size() - optional - bestLength || arguments.size() > usage.size() - bestLength)
        throw Exception(QStringLiteral("usage: %1").arg(best->Usage));
    return best->Run(*this, arguments);
}

TFrameDialog &TAutomation::Dialog() const {
    TFrameDialog *dialog = FWindow.Dialog();
    if (!dialog || !dialog->isVisible())
        throw Exception(QStringLiteral("no dialog is open"));
    return *dialog;
}

QWidget &TAutomation::Control(const QString &Name) const {
    QWidget *control = Dialog().findChild<QWidget *>(Name);
    if (!control)
        throw Exception(QStringLiteral("no control named %1").arg(Name));
    return *control;
}

TFrameDialog &TAutomation::Opened(TFrameDialog *Dialog) {
    if (!Dialog)
        throw Exception(QStringLiteral("the dialog did not open"));
    Dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(Dialog, 2000))
        throw Exception(QStringLiteral("the dialog did not become the active window"));
    return *Dialog;
}

QString TAutomation::NewDevice(const QStringList &Arguments, bool Range) {
    if (FWindow.Dialog())
        throw Exception(QStringLiteral("a dialog is open already"));
    for (int i = 0; i < FWindow.Profiles()->RowCount(); ++i)
        if (FWindow.Profiles()->CellText(0, i) == Arguments[0]) {
            const int64_t id = TMainWindow::RowID(FWindow.Profiles(), i);
            Opened(Range ? FWindow.NewRange(id) : FWindow.NewDevice(id));
            return QStringLiteral("ok");
        }
    throw Exception(QStringLiteral("no profile named %1").arg(Arguments[0]));
}

QString TAutomation::OpenDevice(const QStringList &Arguments) {
    if (FWindow.Dialog())
        throw Exception(QStringLiteral("a dialog is open already"));
    const int64_t id = FWindow.DeviceNamed(Arguments[0]);
    if (!id)
        throw Exception(QStringLiteral("no device with the ID %1").arg(Arguments[0]));
    Opened(FWindow.EditDevice(id));
    return QStringLiteral("ok");
}

QString TAutomation::NewProfile(const QStringList &) {
    if (FWindow.Dialog())
        throw Exception(QStringLiteral("a dialog is open already"));
    Opened(FWindow.NewProfile());
    return QStringLiteral("ok");
}

QString TAutomation::OpenProfile(const QStringList &Arguments) {
    if (FWindow.Dialog())
        throw Exception(QStringLiteral("a dialog is open already"));
    const int64_t id = FWindow.ProfileNamed(Arguments[0]);
    if (!id)
        throw Exception(QStringLiteral("no profile named %1").arg(Arguments[0]));
    Opened(FWindow.EditProfile(id));
    return QStringLiteral("ok");
}

QString TAutomation::Name(const QStringList &Arguments) {
    if (!FWindow.ProfileDialog())
        throw Exception(QStringLiteral("no profile dialog is open"));
    return Type({QStringLiteral("edName"), Arguments[0]});
}

QString TAutomation::Page(const QStringList &Arguments) {
    QWidget &page = Control(Arguments[0]);
    // A page of a page control lies in the control's stack of pages.
    QTabWidget *pages = page.parentWidget() ? qobject_cast<QTabWidget *>(page.parentWidget()->parentWidget()) : nullptr;
    const int index = pages ? pages->indexOf(&page) : -1;
    if (index < 0)
        throw Exception(QStringLiteral("%1 is not a page").arg(Arguments[0]));
    QTabBar *tabs = pages->tabBar();
    if (!tabs->isVisible() || !tabs->isTabVisible(index))
        throw Exception(QStringLiteral("the tab of %1 cannot be clicked").arg(Arguments[0]));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    return pages->currentWidget()->objectName();
}

QString TAutomation::Leave(const QStringList &Arguments) {
    QWidget &control = Control(Arguments[0]);
    FocusInside(control);
    // Tab from the control's last field, past whatever else lies inside it.
    QWidget *const last = TabStops(control).last();
    QWidget *next = last->nextInFocusChain();
    while (next != last && (next == &control || control.isAncestorOf(next) || !TakesTab(*next)))
        next = next->nextInFocusChain();
    if (next == last)
        throw Exception(QStringLiteral("the focus cannot leave %1").arg(Arguments[0]));
    next->setFocus(Qt::TabFocusReason);
    return ControlText(control);
}

void TAutomation::FocusAsTab(QWidget &Control) {
    const QList<QWidget *> stops = TabStops(Control);
    if (stops.isEmpty())
        throw Exception(QStringLiteral("%1 cannot take the focus").arg(Control.objectName()));
    QWidget *target = stops.first();
    if (target->hasFocus()) {
        // Tab would have come from elsewhere and selected the text.
        if (auto *edit = qobject_cast<QLineEdit *>(target))
            edit->selectAll();
    } else {
        target->setFocus(Qt::TabFocusReason);
    }
}

void TAutomation::FocusInside(QWidget &Control) {
    QWidget *focus = QApplication::focusWidget();
    if (!focus || (focus != &Control && !Control.isAncestorOf(focus)))
        FocusAsTab(Control);
}

void TAutomation::PressKeys(const QString &Keys) {
    const QKeySequence sequence = QKeySequence::fromString(Keys, QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)
        throw Exception(QStringLiteral("not one key: %1").arg(Keys));
    Press(sequence[0]);
}

QString TAutomation::Type(const QStringList &Arguments) {
    QWidget &control = Control(Arguments[0]);
    FocusAsTab(control);
    // Each character goes where the focus is: typing may move it to the next field.
    for (const QChar c : Arguments[1]) {
        if (c.unicode() < 128)
            QTest::keyClick(&FocusWidget(), char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, &FocusWidget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    return ControlText(control);
}

QString TAutomation::Key(const QStringList &Arguments) {
    QWidget &control = Control(Arguments[0]);
    FocusInside(control);
    PressKeys(Arguments[1]);
    return ControlText(control);
}

QString TAutomation::Paste(const QStringList &Arguments) {
    QWidget &control = Control(Arguments[0]);
    QGuiApplication::clipboard()->setText(Arguments[1]);
    FocusAsTab(control);
    Press(QKeySequence(QKeySequence::Paste)[0]);
    return ControlText(control);
}

QString TAutomation::Clear(const QStringList &Arguments) {
    QWidget &control = Control(Arguments[0]);
    // Every field, also those Tab passes over (an IP address's after the first).
    QList<QLineEdit *> fields = control.findChildren<QLineEdit *>();
    if (auto *edit = qobject_cast<QLineEdit *>(&control))
        fields.prepend(edit);
    fields.removeIf([](const QLineEdit *f) {
        return !(f->focusPolicy() & Qt::ClickFocus) || !f->isEnabled() || !f->isVisible();
    });
    if (fields.isEmpty())
        throw Exception(QStringLiteral("%1 cannot take the focus").arg(control.objectName()));
    for (QLineEdit *field : fields) {
        // A triple click selects the whole field. (Select All's Ctrl+A is a
        // character, which key rules such as the MAC address's drop.)
        const QPoint middle = field->rect().center();
        QTest::mouseDClick(field, Qt::LeftButton, {}, middle);
        QTest::mouseClick(field, Qt::LeftButton, {}, middle);
        Press(QKeyCombination(Qt::Key_Delete));
    }
    return ControlText(control);
}

QString TAutomation::Click(const QStringList &Arguments) {
    QWidget &control = Control(Arguments[0]);
    auto *button = qobject_cast<QAbstractButton *>(&control);
    QPoint where = control.rect().center();
    // A check box or radio button takes clicks on its box and caption only.
    if (auto *check = qobject_cast<QCheckBox *>(&control)) {
        QStyleOptionButton option;
        option.initFrom(check);
        where = check->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, check).center();
    } else if (auto *radio = qobject_cast<QRadioButton *>(&control)) {
        QStyleOptionButton option;
        option.initFrom(radio);
        where = radio->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, radio).center();
    }
    const QPointer<QWidget> guard(&control);
    QTest::mouseClick(&control, Qt::LeftButton, {}, where);
    if (guard && button && button->isCheckable())
        return button->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked");
    return QStringLiteral("ok");
}

QString TAutomation::Choose(const QStringList &Arguments) {
    auto *list = qobject_cast<QComboBox *>(&Control(Arguments[0]));
    if (!list)
        throw Exception(QStringLiteral("%1 is not a list").arg(Arguments[0]));
    const int index = list->findText(Arguments[1], Qt::MatchExactly);
    if (index < 0)
        throw Exception(QStringLiteral("%1 has no item %2").arg(Arguments[0], Arguments[1]));
    if (!list->isEnabled() || !list->isVisible())
        throw Exception(QStringLiteral("%1 cannot be used").arg(Arguments[0]));
    // Open the list and click the item, as a user does.
    list->setFocus(Qt::MouseFocusReason);
    list->showPopup();
    QAbstractItemView *view = list->view();
    const QModelIndex item = view->model()->index(index, list->modelColumn(), list->rootModelIndex());
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    // The closed list has the keyboard again, as a user's would.
    list->window()->activateWindow();
    if (!QTest::qWaitForWindowActive(list->window(), 2000))
        throw Exception(QStringLiteral("the window of %1 did not become active again").arg(Arguments[0]));
    list->setFocus(Qt::PopupFocusReason);
    return list->currentText();
}

QString TAutomation::Focus(const QStringList &) {
    QWidget *focus = QApplication::focusWidget();
    return focus ? OuterControl(focus)->objectName() : QStringLiteral("none");
}

QString TAutomation::PressKey(const QStringList &Arguments) {
    PressKeys(Arguments[0]);
    return Focus({});
}

QString TAutomation::State(const QStringList &Arguments) {
    const QWidget &control = Control(Arguments[0]);
    const QMetaObject &meta = *control.metaObject();
    QStringList parts;
    if (qobject_cast<const QLineEdit *>(&control) || qobject_cast<const QComboBox *>(&control) ||
        qobject_cast<const QAbstractButton *>(&control) || meta.indexOfProperty("text") >= 0)
        parts << QStringLiteral("text=") + ControlText(control);
    parts << QStringLiteral("enabled=") + YesNo(control.isEnabled());
    parts << QStringLiteral("visible=") + YesNo(control.isVisibleTo(&Dialog()));
    if (meta.indexOfProperty("readOnly") >= 0)
        parts << QStringLiteral("readonly=") + YesNo(control.property("readOnly").toBool());
    if (const auto *button = qobject_cast<const QAbstractButton *>(&control); button && button->isCheckable())
        parts << QStringLiteral("checked=") + YesNo(button->isChecked());
    return parts.join(QLatin1Char(' '));
}

QString TAutomation::ConflictLine(const QStringList &) {
    const TConflictLine line = Dialog().Conflict();
    if (line.Level == clvNone)
        return QStringLiteral("none");
    return QStringLiteral("%1%2: %3")
        .arg(line.Level == clvError ? QStringLiteral("error") : QStringLiteral("warning"),
             line.Input ? QStringLiteral(" (input)") : QString(), line.Message);
}

QString TAutomation::Modified(const QStringList &) { return YesNo(Dialog().Modified()); }

QString TAutomation::ApplyDialog(const QStringList &) {
    TFrameDialog &dialog = Dialog();
    TButton *apply = dialog.Panel()->btApply;
    if (!apply->isEnabled())
        return QStringLiteral("refused");
    bool stored = false;
    const QMetaObject::Connection c = QObject::connect(&dialog, &TFrameDialog::Stored, [&] { stored = true; });
    QTest::mouseClick(apply, Qt::LeftButton);
    QObject::disconnect(c);
    return stored ? QStringLiteral("applied") : QStringLiteral("refused");
}

QString TAutomation::CloseDialog(const QStringList &) {
    Dialog().Discard();
    return QStringLiteral("ok");
}

QString TAutomation::Answer(const QStringList &Arguments) {
    static const QHash<QString, QMessageBox::StandardButton> buttons = {
        {QStringLiteral("yes"), QMessageBox::Yes}, {QStringLiteral("no"), QMessageBox::No},
        {QStringLiteral("cancel"), QMessageBox::Cancel}};
    FAnswer = buttons.value(Arguments[0], QMessageBox::NoButton);
    if (FAnswer == QMessageBox::NoButton)
        throw Exception(QStringLiteral("usage: answer yes|no|cancel"));
    return QStringLiteral("ok");
}

QString TAutomation::Screenshot(const QStringList &Arguments) {
    if (!Dialog().grab().save(Arguments[0], "PNG"))
        throw Exception(QStringLiteral("cannot write %1").arg(Arguments[0]));
    return QStringLiteral("ok");
}

// ---- context help ----

namespace {

// "What's this?" mode is on while the pointer is the help cursor.
bool WhatsThisMode() {
    const QCursor *cursor = QApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WhatsThisCursor;
}

} // namespace

THelpSystem &TAutomation::Help() const {
    if (!FHelp)
        throw Exception(QStringLiteral("no help system"));
    return *FHelp;
}

QString TAutomation::WhatsThis(const QStringList &) {
    auto *button = FWindow.findChild<QAbstractButton *>(QStringLiteral("btWhatsThis"));
    if (!button)
        throw Exception(QStringLiteral("no \"What's this?\" button"));
    QTest::mouseClick(button, Qt::LeftButton);
    return WhatsThisMode() ? QStringLiteral("on") : QStringLiteral("off");
}

QString TAutomation::HelpClick(const QStringList &Arguments) {
    // In the open dialog, else in the main window, which a click needs shown.
    QWidget *window = &FWindow;
    if (TFrameDialog *dialog = FWindow.Dialog(); dialog && dialog->isVisible())
        window = dialog;
    else if (!FWindow.isVisible())
        FWindow.show();
    auto *control = window->findChild<QWidget *>(Arguments[0]);
    if (!control || !control->isVisible())
        throw Exception(QStringLiteral("no control named %1").arg(Arguments[0]));
    if (!WhatsThisMode() && WhatsThis({}) != QLatin1String("on"))
        throw Exception(QStringLiteral("\"What's this?\" mode cannot be switched on"));
    QTest::mouseClick(control, Qt::LeftButton);
    return QStringLiteral("ok");
}

QString TAutomation::HelpReceived(const QStringList &) {
    // The help the last command asked for arrives once the events have run.
    QCoreApplication::sendPostedEvents();
    const QStringList received = Help().TakeReceived();
    return received.isEmpty() ? QStringLiteral("none") : received.join(QStringLiteral("; "));
}

QString TAutomation::Filter(const QStringList &Arguments) {
    auto *field = FWindow.findChild<QLineEdit *>(QStringLiteral("edFilter"));
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, Arguments[0]);
    return QString::number(FWindow.ShownRows(FWindow.Devices()));
}

QString TAutomation::TableCount(const QStringList &Arguments) {
    const QString name = Arguments.value(0, QStringLiteral("lvDevices"));
    for (const TVarnelGrid *list : {FWindow.Devices(), FWindow.Profiles()})
        if (list->objectName() == name)
            return QString::number(FWindow.ShownRows(list));
    throw Exception(QStringLiteral("%1 is not a list of the main window").arg(name));
}
