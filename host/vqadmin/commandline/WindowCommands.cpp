#include "WindowCommands.h"

#include "automation/Automation.h"
#include "automation/AutomationEndpoint.h"
#include "Commands.h"
#include "help/HelpMenu.h"
#include "help/HelpSystem.h"
#include "windows/MainWindow.h"
#include "plugin/PluginLibrary.h"
#include "automation/WrapperManager.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTextStream>
#include <QTimer>

#include <future>
#include <optional>

namespace {

// How often the window looks whether the quick check has ended.
constexpr int IntegrityPollMs = 100;

IDevicePluginModule &ModuleOf(const TPluginLibrary &Library) {
    IDevicePluginModule *module = Library.Module();
    if (!module)
        throw Exception(QStringLiteral("%1: the plug-in has no device module").arg(Library.Path()));
    return *module;
}

// The plug-in's library, whose automation wrappers are registered while it
// is loaded and dropped before it is unloaded.
struct TRegisteredLibrary {
    explicit TRegisteredLibrary(const QString &Path) : Library(Path) {}
    ~TRegisteredLibrary() { HostWrapperManager().DropRegistrations(Registered); }

    const std::size_t Registered = HostWrapperManager().RegistrationCount();
    const TPluginLibrary Library;
};

// SQLite's quick check of the whole file, whose time grows with it, made on a
// connection and a thread of its own while the window opens (none on a
// server). Damage it finds ends the event loops, the window's and a message
// box's alike, so that nothing more is written.
class TIntegrityCheck {
public:
    explicit TIntegrityCheck(const QString &Path)
        : FDone(std::async(std::launch::async, [Path] {
                    if (!IsServerAddress(Path)) { // a server keeps its own pages whole
                        const TConfigDatabase checked(Path, TConfigDatabase::TOpenMode::Existing);
                    }
                }).share()) {
        QObject::connect(&FPoll, &QTimer::timeout, [this] {
            if (FDone.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
                return;
            FPoll.stop();
            try {
                FDone.get();
            } catch (const Exception &) {
                FDamaged = true;
                QApplication::exit(ExitFailure);
            }
        });
        FPoll.start(IntegrityPollMs);
    }
    // Found so far, from the event loop.
    bool Damaged() const { return FDamaged; }
    // Waits for it; raises EDatabase when it found damage.
    void Wait() const { FDone.get(); }

private:
    std::shared_future<void> FDone;
    QTimer FPoll;
    bool FDamaged = false;
};

// The main window over an existing database and the plug-in's module, with the host's
// help system and the Help menu's "What's this?" controls handed to the plug-in.
// The file's quick check runs meanwhile; with CheckFirst the window waits for it.
struct TSession {
    TSession(const QString &DatabasePath, const QString &PluginPath, bool CheckFirst)
        : Database(DatabasePath, TConfigDatabase::TOpenMode::ExistingUnchecked), Integrity(DatabasePath),
          Plugin(PluginPath), Library(Plugin.Library), Help(DefaultHelpProject()),
          Window(Checked(CheckFirst), ModuleOf(Library)) {
        HandHelpToPlugin(*Library.Plugin(), InstallHelpMenu(Window, Help));
    }

    // The database once the rows this host has not read before have been: the
    // window would show a fault in a message box while it is built, before a
    // script could answer it.
    TConfigDatabase &Checked(bool CheckFirst) {
        if (CheckFirst)
            Integrity.Wait();
        Database.CheckRows(ModuleBasis(ModuleOf(Library)));
        return Database;
    }

    TConfigDatabase Database;
    TIntegrityCheck Integrity;
    const TRegisteredLibrary Plugin;
    const TPluginLibrary &Library;
    THelpSystem Help;
    TMainWindow Window;
};

// Runs Step, passing on what it raises. Started from the desktop menu there is
// no terminal to read standard error from, so a person on a screen is told in
// a window as well.
void ToldOnScreen(const std::function<void()> &Step) {
    try {
        Step();
    } catch (const Exception &e) {
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QMessageBox::critical(nullptr, QGuiApplication::applicationDisplayName(), e.Message());
        throw;
    }
}

} // namespace

int CommandGui(const QString &DatabasePath, const QString &PluginPath, const QString &AutomationSocket) {
    std::optional<TSession> session;
    ToldOnScreen([&] { session.emplace(DatabasePath, PluginPath, false); });
    TAutomationEndpoint endpoint(&session->Window);
    if (!AutomationSocket.isEmpty())
        endpoint.Listen(AutomationSocket);
    session->Window.show();
    // Damage found while the window was built has ended that loop already.
    const int status = session->Integrity.Damaged() ? ExitFailure : QApplication::exec();
    ToldOnScreen([&] { session->Integrity.Wait(); });
    return status;
}

namespace {

// A line of standard input as soon as it has come, unlike buffered reads,
// which wait for more; none at its end.
std::optional<QString> ReadInputLine() {
    QByteArray line;
    char buffer[4096];
    while (!line.endsWith('\n') && std::fgets(buffer, sizeof buffer, stdin))
        line += buffer;
    return line.isEmpty() ? std::nullopt : std::optional(QString::fromUtf8(line));
}

} // namespace

int CommandAutomate(const QString &DatabasePath, const QString &PluginPath, const QString &ScriptPath) {
    QString script;
    if (!ScriptPath.isEmpty()) {
        QFile file(ScriptPath);
        if (!file.open(QIODevice::ReadOnly))
            throw Exception(QStringLiteral("%1: cannot read: %2").arg(ScriptPath, file.errorString()));
        script = QString::fromUtf8(file.readAll());
    }
    // A script runs only on a sound file.
    TSession session(DatabasePath, PluginPath, true);
    QTextStream out(stdout);
    TAutomation automation(session.Window, &session.Help);
    const int status = ScriptPath.isEmpty() ? automation.Run(ReadInputLine, out) : automation.Run(script, out);
    return status == 0 ? ExitOK : ExitFindings;
}
