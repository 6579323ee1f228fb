#include "HelpSystem.h"

#include "HelpCommands.h"
#include "ehscontextmap.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

namespace {

const QString NoHelp = QStringLiteral("No help is available for this item.");

QString ReadPage(const QString &Path) {
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The first capture of Pattern in Text; empty when it does not match.
QString Captured(const QString &Text, const QString &Pattern) {
    const QRegularExpression re(Pattern, QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::DotMatchesEverythingOption);
    return re.match(Text).captured(1);
}

QString PlainText(const QString &Html) { return QTextDocumentFragment::fromHtml(Html).toPlainText().trimmed(); }

enum TItemRole { PageRole = Qt::UserRole, AnchorRole };

} // namespace

// A tool-tip window: it takes neither the focus nor the click that ends it.
class THelpSystem::TPopup : public QFrame {
public:
    TPopup() : QFrame(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
        setObjectName(QStringLiteral("HelpPopup"));
        setFrameShape(QFrame::Box);
        FText->setObjectName(QStringLiteral("stHelpText"));
        FText->setWordWrap(true);
        FText->setTextFormat(Qt::RichText);
        FText->setMaximumWidth(360);
        (new QVBoxLayout(this))->addWidget(FText);
    }
    void Show(const QString &Html, QPoint At) {
        FText->setText(Html);
        adjustSize();
        // Kept on the screen it shows on.
        if (const QScreen *screen = QGuiApplication::screenAt(At)) {
            const QRect area = screen->availableGeometry();
            At.setX(std::clamp(At.x(), area.left(), std::max(area.left(), area.right() - width())));
            At.setY(std::clamp(At.y(), area.top(), std::max(area.top(), area.bottom() - height())));
        }
        move(At);
        show();
    }

private:
    QLabel *FText = new QLabel(this);
};

class THelpSystem::THelpWindow : public QWidget {
public:
    explicit THelpWindow(const THelpSystem &Help) {
        setObjectName(QStringLiteral("HelpWindow"));
        setWindowTitle(QStringLiteral("vqadmin Help"));
        resize(720, 480);
        FTabs->setObjectName(QStringLiteral("tcHelp"));
        FContents->setObjectName(QStringLiteral("lvContents"));
        FIndex->setObjectName(QStringLiteral("lvIndex"));
        FTopic->setObjectName(QStringLiteral("tbTopic"));
        FTabs->addTab(FContents, QStringLiteral("&Contents"));
        FTabs->addTab(FIndex, QStringLiteral("&Index"));
        auto *splitter = new QSplitter(this);
        splitter->addWidget(FTabs);
        splitter->addWidget(FTopic);
        splitter->setStretchFactor(1, 1);
        (new QVBoxLayout(this))->addWidget(splitter);

        for (const QString &page : Help.FPages)
            AddItem(FContents, Help.TopicTitle({page, {}}), {page, {}});
        QSet<QString> listed;
        for (const TTopic &topic : Help.FTopics)
            if (!listed.contains(topic.Page + '#' + topic.Anchor)) {
                listed.insert(topic.Page + '#' + topic.Anchor);
                AddItem(FIndex, Help.TopicTitle(topic), topic);
            }
        FIndex->sortItems();
        for (QListWidget *list : {FContents, FIndex})
            connect(list, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
                ShowTopic({item->data(PageRole).toString(), item->data(AnchorRole).toString()});
            });
    }

    void ShowTopic(const TTopic &Topic) {
        QUrl url = QUrl::fromLocalFile(Topic.Page);
        if (!Topic.Anchor.isEmpty())
            url.setFragment(Topic.Anchor);
        FTopic->setSource(url);
        Raise();
    }
    void ShowTab(int Index) {
        FTabs->setCurrentIndex(Index);
        Raise();
    }

private:
    static void AddItem(QListWidget *List, const QString &Title, const TTopic &Topic) {
        auto *item = new QListWidgetItem(Title, List);
        item->setData(PageRole, Topic.Page);
        item->setData(AnchorRole, Topic.Anchor);
    }
    void Raise() {
        show();
        raise();
        activateWindow();
    }

    QTabWidget *FTabs = new QTabWidget;
    QListWidget *FContents = new QListWidget;
    QListWidget *FIndex = new QListWidget;
    QTextBrowser *FTopic = new QTextBrowser;
};

THelpSystem::THelpSystem(const QString &ProjectFile, QObject *Parent) : QObject(Parent) {
    try {
        ReadProject(ProjectFile);
    } catch (const EHelpProject &e) {
        FUnavailable = QStringLiteral("Help is unavailable: ") + e.Message();
    }
    qApp->installEventFilter(this);
}

void THelpSystem::ReadProject(const QString &ProjectFile) {
    QStringList missing;
    const QList<THelpMapEntry> map = ReadHelpProjectMap(ProjectFile, [&](const QString &Path) { missing << Path; });
    if (!missing.isEmpty())
        throw EHelpProject(QStringLiteral("Include file \"%1\" not found!").arg(missing.first()));
    const QString project = ReadHelpFile(ProjectFile).value_or(QString());
    const QDir folder = QFileInfo(ProjectFile).absoluteDir();
    for (const THelpMapEntry &entry : map)
        FContexts.insert(entry.Topic, entry.Context);

    // Lines "NAME=VALUE", without comments.
    const auto pairs = [&](const QString &Section) {
        QList<std::pair<QString, QString>> result;
        for (const QString &line : HelpProjectSection(project, Section))
            if (const qsizetype eq = line.indexOf('='); eq > 0 && !line.trimmed().startsWith(';'))
                result.append({line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
        return result;
    };
    for (const auto &[topic, target] : pairs(QStringLiteral("ALIAS")))
        if (const int context = Context(topic))
            FTopics.insert(context, {folder.filePath(target.section('#', 0, 0)), target.section('#', 1)});
    for (const QString &line : HelpProjectSection(project, QStringLiteral("FILES")))
        if (const QString page = line.trimmed(); !page.isEmpty() && !page.startsWith(';'))
            FPages.append(folder.filePath(page));
    for (const auto &[option, value] : pairs(QStringLiteral("OPTIONS")))
        if (option.compare(QLatin1String("Default topic"), Qt::CaseInsensitive) == 0)
            FDefaultPage = folder.filePath(value);
}

THelpSystem::~THelpSystem() = default;

QWidget *THelpSystem::Popup() const { return FPopup.get(); }
QWidget *THelpSystem::HelpWindow() const { return FWindow.get(); }

void THelpSystem::AssignHelpContexts(QWidget *Form) const {
    const QString form = Form->objectName();
    if (const int context = Context(form))
        Form->setProperty(HelpContextProperty, context);
    for (QObject *object : Form->findChildren<QObject *>())
        if (const int context = Context(form + '_' + object->objectName()); context && !object->objectName().isEmpty())
            object->setProperty(HelpContextProperty, context);
}

bool THelpSystem::eventFilter(QObject *Watched, QEvent *Event) {
    if (Event->type() == QEvent::Show)
        if (auto *window = qobject_cast<QWidget *>(Watched); window && window->isWindow())
            AssignHelpContexts(window);
    if (Event->type() == THelpCommandEvent::HelpCommandEventType) {
        auto *help = static_cast<THelpCommandEvent *>(Event);
        Answer(help->Command(), help->Data());
        help->accept();
        return true;
    }
    // A click or a key anywhere ends the popup, and still goes where it was going.
    if ((Event->type() == QEvent::MouseButtonPress || Event->type() == QEvent::KeyPress) && FPopup)
        FPopup->hide();
    return false;
}

void THelpSystem::Answer(int Command, uint32_t Data) {
    FReceived.append(QStringLiteral("%1 %2").arg(Command).arg(Data));
    switch (Command) {
    case hcSetPopupPos:
        FPopupPos = UnpackPopupPos(Data);
        break;
    case hcContextPopup:
        if (!Available())
            break;
        if (const auto topic = TopicOf(Data))
            ShowPopup(PopupHtml(*topic));
        else
            ShowPopup(NoHelp);
        break;
    case hcContext:
        if (!Available())
            break;
        if (const auto topic = TopicOf(Data))
            Window().ShowTopic(*topic);
        else
            ShowPopup(NoHelp);
        break;
    case hcContents:
        if (!Available())
            break;
        Window().ShowTopic({FDefaultPage, {}});
        Window().ShowTab(0);
        break;
    case hcTopics:
        ShowTopics();
        break;
    default:
        break;
    }
}

void THelpSystem::ShowTopics() {
    if (Available())
        Window().ShowTab(1);
}

bool THelpSystem::Available() {
    if (!FUnavailable.isEmpty())
        ShowPopup(FUnavailable.toHtmlEscaped());
    return FUnavailable.isEmpty();
}

std::optional<THelpSystem::TTopic> THelpSystem::TopicOf(uint32_t Context) const {
    const auto found = FTopics.constFind(int(Context));
    return found != FTopics.cend() ? std::optional<TTopic>(*found) : std::nullopt;
}

QString THelpSystem::PopupHtml(const TTopic &Topic) const {
    const QString page = ReadPage(Topic.Page);
    if (Topic.Anchor.isEmpty())
        return Captured(page, QStringLiteral(R"re(<body[^>]*>(.*?)(?:<div class="topic"|</body>))re"));
    return Captured(page, QStringLiteral(R"re(<div[^>]*\bid="%1"[^>]*>(.*?)</div>)re")
                              .arg(QRegularExpression::escape(Topic.Anchor)));
}

QString THelpSystem::TopicTitle(const TTopic &Topic) const {
    if (Topic.Anchor.isEmpty())
        return PlainText(Captured(ReadPage(Topic.Page), QStringLiteral("<title>(.*?)</title>")));
    return PlainText(Captured(PopupHtml(Topic), QStringLiteral("<h[1-6][^>]*>(.*?)</h[1-6]>")));
}

void THelpSystem::ShowPopup(const QString &Html) {
    if (!FPopup)
        FPopup = std::make_unique<TPopup>();
    FPopup->Show(Html, FPopupPos.value_or(QCursor::pos()));
    FPopupPos.reset();
}

THelpSystem::THelpWindow &THelpSystem::Window() {
    if (!FWindow)
        FWindow = std::make_unique<THelpWindow>(*this);
    return *FWindow;
}

QString DefaultHelpProject() {
    const QDir host(QCoreApplication::applicationDirPath());
    const QString beside = host.filePath(QStringLiteral("help/vqadmin.hhp"));
    const QString installed = host.filePath(QStringLiteral(VQ_HELP_FOLDER "/vqadmin.hhp"));
    return QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside : QDir::cleanPath(installed);
}
