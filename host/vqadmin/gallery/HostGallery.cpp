// Renders the host's windows over the demo site to PNG files, so that a person
// can look at them: the main window, the validation list, the device dialog
// with the plug-in's frame (editing, new, new with an error, new range) and
// the profile dialog with the plug-in's profile frame (editing, the read-only
// default profile, new with a taken name), and both dialogs refusing to Apply
// over another session's change. hostgallery [output folder]; the plug-in and the demo site are
// taken from beside the program.

#include "automation/Automation.h"
#include "help/HelpMenu.h"
#include "help/HelpSystem.h"
#include "windows/MainWindow.h"
#include "plugin/PluginLibrary.h"
#include "sitefile/SiteFile.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

void Print(const QString &Line) { std::fputs((Line + QLatin1Char('\n')).toUtf8().constData(), stdout); }

QString Save(QWidget *Window, const QDir &Folder, const QString &Name) {
    Window->show();
    QCoreApplication::processEvents(); // the first layout of the window
    const QString path = Folder.filePath(Name + QStringLiteral(".png"));
    Window->grab().save(path);
    return path;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("hostgallery"));
    const QString bin = QCoreApplication::applicationDirPath();
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : bin + QStringLiteral("/../gallery"));
    folder.mkpath(QStringLiteral("."));
    for (const QString &old : folder.entryList({QStringLiteral("host_*.png")}))
        QFile::remove(folder.filePath(old));
    QTemporaryDir work;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.path());
    try {
        const TPluginLibrary library(DefaultPluginPath());
        TConfigDatabase database(work.filePath(QStringLiteral("demo.db")));
        QFile site(bin + QStringLiteral("/demo-site.json"));
        if (!site.open(QIODevice::ReadOnly))
            throw Exception(site.fileName() + QStringLiteral(": cannot read"));
        database.ReplaceSite(ReadSiteFile(site.readAll()));
        if (!library.Module())
            throw Exception(QStringLiteral("the plug-in has no device module"));
        TMainWindow window(database, *library.Module());
        // The window as `vqadmin gui` shows it, with its Help menu and toolbar.
        THelpSystem help(DefaultHelpProject());
        HandHelpToPlugin(*library.Plugin(), InstallHelpMenu(window, help));
        window.resize(900, 420);
        Print(Save(&window, folder, QStringLiteral("host_mainwindow")));
        if (QDialog *results = window.ShowValidation())
            Print(Save(results, folder, QStringLiteral("host_validation")));

        // The dialogs through the automation, as a user fills them in.
        const auto shot = [&](const QString &Name) {
            return QStringLiteral("screenshot ") + folder.filePath(Name + QStringLiteral(".png")) + QLatin1Char('\n');
        };
        const QString scripts[] = {
            "open device 0001E1000001\n" + shot("host_devicedialog_edit") + "close\n",
            "new device Sales\n" + shot("host_devicedialog_new") + "clear edMACAddress\ntype edMACAddress 00-01\n" +
                shot("host_devicedialog_error") + "close\n",
            "new device Sales\ntype edMACAddress 00-01-E1-00-00-02\n" + shot("host_devicedialog_taken") + "close\n",
            "new range Lab\n" + shot("host_devicedialog_range") + "close\n",
            "open profile Warehouse\n" + shot("host_profiledialog_edit") + "close\n",
            "open profile Sales\n" + shot("host_profiledialog_default") + "close\n",
            "new profile\nname Lab\n" + shot("host_profiledialog_taken") + "close\n",
        };
        const auto run = [&](TAutomation &Automation, const QString &Script) {
            QString out;
            QTextStream stream(&out);
            const int status = Automation.Run(Script, stream);
            stream.flush();
            for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                if (line.startsWith(QLatin1String("error")))
                    Print(QStringLiteral("dialog: ") + line);
            if (status != 0 && window.Dialog())
                window.Dialog()->Discard();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        TAutomation automation(window);
        for (const QString &script : scripts)
            run(automation, script);
        // Another session changes what an open dialog shows: its Apply is refused.
        TConfigDatabase other(database.Path());
        run(automation, QStringLiteral("open device 0001E1000030\n"));
        for (TDeviceRecord device : other.LoadDevices())
            if (device.UniqueID == QLatin1String("0001E1000030")) {
                device.AssignedIP = {};
                other.UpdateDevice(device);
            }
        run(automation, "type edProxyPassword theirs\napply\n" + shot("host_devicedialog_stale"));
        if (window.Dialog())
            window.Dialog()->Discard();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        run(automation, QStringLiteral("open profile Lab\n"));
        TProfileRecord lab = *other.LoadProfile(4);
        lab.Name = QStringLiteral("Lab 2");
        other.UpdateProfile(lab);
        run(automation, "name 'Lab 3'\napply\n" + shot("host_profiledialog_stale"));
        if (window.Dialog())
            window.Dialog()->Discard();
        for (const QString &name : folder.entryList({QStringLiteral("host_*dialog_*.png")}))
            Print(folder.filePath(name));
    } catch (const Exception &e) {
        std::fputs((QStringLiteral("hostgallery: ") + e.Message() + QLatin1Char('\n')).toUtf8().constData(), stderr);
        return 1;
    }
    return 0;
}
