#include "FrameDialog.h"

#include "DialogPanel.h"
#include "HostFailures.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>

#include <functional>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

namespace {

const char *const StatusLineMark = "vqStatusLine";

// The conflict line is the dialog's status line: screen readers read out
// its changes wherever the focus is.
class TStatusLineAccessible : public QAccessibleWidget {
public:
    explicit TStatusLineAccessible(QLabel *Line) : QAccessibleWidget(Line, QAccessible::StatusBar) {}
    QString text(QAccessible::Text Text) const override {
        return Text == QAccessible::Name ? static_cast<QLabel *>(widget())->text() : QAccessibleWidget::text(Text);
    }
};

QAccessibleInterface *StatusLineAccessible(const QString &, QObject *Object) {
    auto *label = qobject_cast<QLabel *>(Object);
    return label && label->property(StatusLineMark).toBool() ? new TStatusLineAccessible(label) : nullptr;
}

} // namespace

QIcon LevelIcon(TConflictLevel Level) {
    static const QStyle::StandardPixmap icons[] = {QStyle::SP_DialogApplyButton, QStyle::SP_MessageBoxWarning,
                                                   QStyle::SP_MessageBoxCritical};
    return QApplication::style()->standardIcon(icons[Level]);
}

TFrameDialog::TFrameDialog(TConfigDatabase &Database, IDevicePluginModule &Module, QWidget *Parent)
    : QDialog(Parent), FDatabase(Database), FModule(Module), FContainer(new THostFrameContainer(Database)) {}

TFrameDialog::~TFrameDialog() = default;

void TFrameDialog::Attach(const TParts &Parts) {
    FParts = Parts;
    static const bool statusLines = (QAccessible::installFactory(&StatusLineAccessible), true);
    Q_UNUSED(statusLines);
    FParts.ConflictText->setProperty(StatusLineMark, true);
    FParts.Panel->OnCancel = [this](QObject *) { reject(); };
    FParts.Panel->OnClose = [this](QObject *) { reject(); };
    FParts.Panel->SetOnApply([this](QObject *) { Apply(); });
    FParts.Reload->hide();
    connect(FParts.Reload, &QPushButton::clicked, this, &TFrameDialog::Reload);
    FContainer->OnModified = [this](bool Modified) {
        FFrameModified = Modified;
        UpdateModified();
    };
    FContainer->OnConflict = [this](TConflictLevel Level, bool IsExternal, const QString &Message) {
        FFrameConflict = {Level, IsExternal, Message};
        SetApplyProblem({});
        FrameConflictChanged();
    };
    // Tab may move the focus to a field scrolled out of sight.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *Now) {
        if (Now && FParts.FrameArea->isAncestorOf(Now))
            FParts.FrameArea->ensureWidgetVisible(Now);
    });
}

QString TFrameDialog::ReadOnlyReason() {
    return CanEdit() ? QString() : QStringLiteral("Read-only: changes need edit rights");
}

QWidget *TFrameDialog::FirstField() const {
    for (QWidget *w = FFrameWidget->nextInFocusChain(); FFrameWidget->isAncestorOf(w); w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(FFrameWidget))
            return w;
    return FFrameWidget;
}

void TFrameDialog::FreeFrame() {
    // The frame may report while it hides: nobody listens any more.
    FContainer->OnModified = {};
    FContainer->OnConflict = {};
    if (FFrame)
        RunGuarded(this, [this] {
            if (FFrame->IsDisplaying())
                HideObject();
        });
    FFrame = nullptr;
    // The module made the frame and frees it; it leaves our widgets as it goes.
    if (FFrameWidget)
        RunGuarded(this, [this] { FModule.FreeFrame(FFrameWidget); });
    FFrameWidget = nullptr;
}

bool TFrameDialog::Start() {
    FReadOnlyReason = ReadOnlyReason();
    FParts.Panel->SetHasEditRights(FReadOnlyReason.isEmpty());
    const bool started = RunGuarded(this, [&] {
        FFrameWidget = CreateFrame();
        FFrame = FrameInterface<IPluginFrame>(FFrameWidget);
        if (!FFrame)
            throw Exception(QStringLiteral("The plug-in's frame is not an editing frame"));
        FParts.FrameLayout->addWidget(FFrameWidget);
        ShowObject();
    });
    if (!started)
        return false;
    OrderTabStops();
    FitScreen();
    FirstField()->setFocus(Qt::TabFocusReason);
    ShowConflictLine();
    return true;
}

void TFrameDialog::OrderTabStops() {
    QWidget *last = FFrameWidget;
    for (QWidget *w = FFrameWidget->nextInFocusChain(); FFrameWidget->isAncestorOf(w); w = w->nextInFocusChain())
        if (w->focusPolicy() != Qt::NoFocus)
            last = w;
    // The parts of the dialog's layout below the frame, in reading order, a
    // nested layout's (the conflict line's) among them.
    QList<QWidget *> parts;
    const std::function<void(QLayoutItem *)> add = [&](QLayoutItem *Item) {
        if (QWidget *w = Item->widget())
            parts << w;
        else if (QLayout *l = Item->layout())
            for (int i = 0; i < l->count(); ++i)
                add(l->itemAt(i));
    };
    for (int i = 0; i < layout()->count(); ++i)
        add(layout()->itemAt(i));
    bool below = false;
    for (QWidget *part : std::as_const(parts)) {
        if (below) {
            QList<QWidget *> stops;
            if (part->focusPolicy() & Qt::TabFocus)
                stops << part;
            for (QWidget *w = part->nextInFocusChain(); part->isAncestorOf(w); w = w->nextInFocusChain())
                if (w->focusPolicy() & Qt::TabFocus)
                    stops << w;
            for (QWidget *stop : stops) {
                QWidget::setTabOrder(last, stop);
                last = stop;
            }
        }
        below = below || part->isAncestorOf(FFrameWidget);
    }
}

void TFrameDialog::FitScreen() {
    const QSize frame = FParts.FrameArea->widget()->sizeHint();
    const int others = layout()->sizeHint().height() - FParts.FrameArea->sizeHint().height();
    // The window's own title bar takes room too.
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const int room = screen()->availableGeometry().height() - others - titleBar;
    const bool scrolls = frame.height() > room;
    FParts.FrameArea->setMinimumSize(
        frame.width() + (scrolls ? FParts.FrameArea->verticalScrollBar()->sizeHint().width() : 0),
        scrolls ? std::max(room, 0) : frame.height());
    resize(sizeHint());
}

TConflictLine TFrameDialog::Conflict() const {
    const QString host = FHostFinding.isEmpty() ? FApplyProblem : FHostFinding;
    if (host.isEmpty())
        return FFrameConflict.Level == clvNone && !FReadOnlyReason.isEmpty() ? TConflictLine{clvNone, false, FReadOnlyReason}
                                                                               : FFrameConflict;
    // The host's is an error, so it leads; the frame's follows rather than hide.
    if (FFrameConflict.Level == clvNone)
        return {clvError, false, host};
    return {clvError, false, host + QStringLiteral("; ") + FFrameConflict.Message};
}

void TFrameDialog::UpdateModified() {
    // What the frame or the host report of a read-only object cannot be applied.
    FModified = FReadOnlyReason.isEmpty() && (FFrameModified || HostModified());
    FParts.Panel->SetChanged(FModified);
    setWindowModified(FModified);
}

void TFrameDialog::SetHostFinding(const QString &Finding) {
    FHostFinding = Finding;
    SetApplyProblem({});
}

void TFrameDialog::SetApplyProblem(const QString &Problem) {
    FApplyProblem = Problem;
    ShowConflictLine();
}

void TFrameDialog::ShowConflictLine() {
    const TConflictLine line = Conflict();
    FParts.ConflictIcon->setPixmap(line.Level == clvNone ? QPixmap() : LevelIcon(line.Level).pixmap(16, 16));
    FParts.ConflictText->setText(line.Message);
    // An input error concerns what was typed, not the object: it reads in italics.
    QFont font = FParts.ConflictText->font();
    font.setItalic(line.Input);
    FParts.ConflictText->setFont(font);
    FParts.ConflictText->setToolTip(line.Input ? QStringLiteral("An entry is incomplete or not valid") : QString());
    FParts.Panel->SetHasConflicts(!FHostFinding.isEmpty());
    // A longer message takes more lines: the shown dialog makes room for them
    // rather than squeeze the frame or the buttons.
    if (isVisible()) {
        FParts.ConflictText->setMinimumHeight(std::max(FParts.ConflictText->heightForWidth(FParts.ConflictText->width()), 0));
        layout()->invalidate();
        if (const int wanted = layout()->totalSizeHint().height(); wanted > height())
            resize(width(), wanted);
    }
}

bool TFrameDialog::Apply() {
    if (!FFrame || !FParts.Panel->CanApply())
        return false;
    bool applied = false;
    if (!RunGuarded(this, [&] { applied = FFrame->ApplyChanges(false); }) || !applied)
        return false; // the frame shows why
    bool stored = false;
    RunGuarded(this, [&] { stored = Store(); });
    // Unstored, the frame's changes count as unapplied although the frame wrote them back.
    FFrameModified = !stored;
    UpdateModified();
    if (!stored) {
        ShowConflictLine();
        return false;
    }
    emit Stored();
    return true;
}

void TFrameDialog::reject() {
    if (FModified) {
        switch (MessageBox(this, QStringLiteral("Save the changes to %1?").arg(SaveQuestion()),
                           windowTitle().remove(QStringLiteral("[*]")), QMessageBox::Question,
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            if (!Apply())
                return;
            break;
        case QMessageBox::No:
            break;
        default:
            return;
        }
    }
    QDialog::reject();
}

void TFrameDialog::Discard() { QDialog::reject(); }

void TFrameDialog::SetStale(const QString &Object, bool Deleted, const QStringList &Changed) {
    QString message = Object + (Deleted ? QStringLiteral(" was deleted") : QStringLiteral(" was changed")) +
                      QStringLiteral(" by another session since you opened it");
    if (!Changed.isEmpty())
        message += QStringLiteral(": ") + Changed.join(QStringLiteral(", "));
    // A deleted record has nothing to reload.
    FParts.Reload->setVisible(!Deleted);
    SetApplyProblem(message);
}

void TFrameDialog::Reload() {
    bool reloaded = false;
    RunGuarded(this, [&] {
        HideObject();
        reloaded = ReloadObject();
        ShowObject();
    });
    if (!reloaded)
        return;
    FParts.Reload->hide();
    FFrameModified = false;
    UpdateModified();
    SetApplyProblem({});
}

QString TFrameDialog::FieldLabel(const QString &Control, const QString &Fallback) const {
    const QWidget *control = findChild<QWidget *>(Control);
    QString text;
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        text = button->text();
    for (const QLabel *label : findChildren<QLabel *>())
        if (control && label->buddy() == control)
            text = label->text();
    if (text.isEmpty())
        return Fallback;
    // Words in capitals stay as they are: "MAC Address" reads "MAC address".
    static const QRegularExpression colon(QStringLiteral(":$"));
    QStringList words = text.remove(QLatin1Char('&')).remove(colon).split(QLatin1Char(' '));
    for (QString &word : words)
        if (word != word.toUpper())
            word = word.toLower();
    return words.join(QLatin1Char(' '));
}
