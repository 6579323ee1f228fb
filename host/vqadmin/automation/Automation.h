#pragma once
// Scripting the host's windows: a script of one command per line drives the
// device and profile dialogs with real key and mouse events, as a user would, and every
// command prints one result line. The commands are a table; a new command is
// one more entry.

#include "IPC_UTCUI.h"
#include "SysUtils.h"

#include <QMessageBox>
#include <QStringList>

#include <functional>
#include <vector>

class QTextStream;
class QWidget;
class TFrameDialog;
class THelpSystem;
class TMainWindow;

class TAutomation {
public:
    // Help is the host's help system, which the help commands need.
    explicit TAutomation(TMainWindow &Window, THelpSystem *Help = nullptr);

    // Runs the script and writes a result line per command to Out: 0 when every
    // command ran; 1 after the line "error: line N: MESSAGE" of the first
    // command that could not run, which ends the script. Blank lines and lines
    // starting with # are skipped.
    int Run(const QString &Script, QTextStream &Out);
    // The same with the lines NextLine gives, one at a time until it has none:
    // a driver may read each result before it writes the next command.
    int Run(const std::function<std::optional<QString>()> &NextLine, QTextStream &Out);

private:
    struct TCommand {
        // The command's words, then one upper-case word per argument: "type CONTROL TEXT";
        // optional ones in brackets: "command NAME [P2 [P3]]".
        QString Usage;
        std::function<QString(TAutomation &, const QStringList &Arguments)> Run;
    };
    static const std::vector<TCommand> &Commands();

    // The result line of one command; raises Exception when it cannot run.
    QString Execute(const QStringList &Words);

    TFrameDialog &Dialog() const;
    // The control of that object name in the open dialog, its frame included.
    QWidget &Control(const QString &Name) const;
    TFrameDialog &Opened(TFrameDialog *Dialog);
    // Gives the control the keyboard focus as Tab would.
    void FocusAsTab(QWidget &Control);
    // Gives it the focus unless the focus is inside it already.
    void FocusInside(QWidget &Control);
    void PressKeys(const QString &Keys);

    QString NewDevice(const QStringList &Arguments, bool Range);
    QString OpenDevice(const QStringList &Arguments);
    QString NewProfile(const QStringList &Arguments);
    QString OpenProfile(const QStringList &Arguments);
    QString Name(const QStringList &Arguments);
    QString Page(const QStringList &Arguments);
    QString Leave(const QStringList &Arguments);
    QString Type(const QStringList &Arguments);
    QString Key(const QStringList &Arguments);
    QString Paste(const QStringList &Arguments);
    QString Clear(const QStringList &Arguments);
    QString Click(const QStringList &Arguments);
    QString Choose(const QStringList &Arguments);
    QString Focus(const QStringList &Arguments);
    QString PressKey(const QStringList &Arguments);
    QString State(const QStringList &Arguments);
    QString ConflictLine(const QStringList &Arguments);
    QString Modified(const QStringList &Arguments);
    QString ApplyDialog(const QStringList &Arguments);
    QString CloseDialog(const QStringList &Arguments);
    QString Answer(const QStringList &Arguments);
    QString Screenshot(const QStringList &Arguments);
    QString WhatsThis(const QStringList &Arguments);
    QString HelpClick(const QStringList &Arguments);
    QString HelpReceived(const QStringList &Arguments);
    // The main window's lists: the filter field, and the rows a list shows.
    QString Filter(const QStringList &Arguments);
    QString TableCount(const QStringList &Arguments);

    THelpSystem &Help() const;

    // Automation commands on a wrapper: of the open dialog's frame, of the
    // dialog itself, or of the main window (whose tables are its device list).
    QString FrameUTC(UTC2UICommand Kind, const QStringList &Arguments);
    QString DialogUTC(const QStringList &Arguments);
    QString WindowUTC(UTC2UICommand Kind, const QStringList &Arguments);

    TMainWindow &FWindow;
    THelpSystem *FHelp;
    // What the next command's "Save the changes?" question is answered.
    QMessageBox::StandardButton FAnswer = QMessageBox::NoButton;
};

// What a control shows as its text, for the result lines: an edit's text, a
// list's chosen item, a button's caption, or the control's text property.
QString ControlText(const QWidget &Control);
// The control a focused widget belongs to: the widget, or the control made of
// parts (an address, a spin edit, a page control's tabs) that it is a part of.
QWidget *OuterControl(QWidget *Widget);
