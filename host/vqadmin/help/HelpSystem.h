#pragma once
// The host's help system. It answers the numbered help commands that the
// plug-in's "What's this?" engine (or anyone else in the process) sends to the
// application, from the host's own help: a help project whose [MAP] numbers
// the topics, whose [ALIAS] names the page (and the block in it) of each
// topic and whose [FILES] lists the pages for the contents.
//
// - 13 sets where the next popup goes; 8 shows a topic in a popup there;
// - 1 shows a topic in the help window, 3 its contents, 15 its topics index;
// - a topic it does not know (context 0 above all) gets the popup
//   "No help is available for this item.".
// Every window shown gets the help contexts of its topics. Without its
// project the host still runs: every request for help gets a popup saying
// that help is unavailable, and why.

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QStringList>

#include <memory>
#include <optional>

class QLabel;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QWidget;

class THelpSystem : public QObject {
    Q_OBJECT
public:
    // Reads the project; when it or a file it includes is missing, help is unavailable.
    explicit THelpSystem(const QString &ProjectFile, QObject *Parent = nullptr);
    ~THelpSystem() override;

    // The context number of a topic; 0 when the help has none.
    int Context(const QString &Topic) const { return FContexts.value(Topic); }
    // The help window on its topics index.
    void ShowTopics();

    // The commands received since the last call, as "COMMAND ARGUMENT".
    QStringList TakeReceived() { return std::exchange(FReceived, {}); }

    // The popup and the help window once shown; null before.
    QWidget *Popup() const;
    QWidget *HelpWindow() const;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    class TPopup;
    class THelpWindow;

    struct TTopic {
        QString Page;   // file path
        QString Anchor; // the block's id in the page; empty for the whole page
    };
    // Gives the form and every object in it whose topic the help knows ("Form" and
    // "Form_Object" by object names) that topic's context; done for each window shown.
    void AssignHelpContexts(QWidget *Form) const;
    void ReadProject(const QString &ProjectFile);
    void Answer(int Command, uint32_t Data);
    // False, after saying why in the popup, when help is unavailable.
    bool Available();
    // What the popup shows of a topic: its block, or the page's text before its first block.
    QString PopupHtml(const TTopic &Topic) const;
    // The popup's heading, or the page's title for a whole page.
    QString TopicTitle(const TTopic &Topic) const;
    std::optional<TTopic> TopicOf(uint32_t Context) const;
    void ShowPopup(const QString &Html);
    THelpWindow &Window();

    QHash<QString, int> FContexts;
    QHash<int, TTopic> FTopics;
    QStringList FPages;
    QString FDefaultPage;
    QString FUnavailable; // why there is no help; empty when there is
    std::optional<QPoint> FPopupPos;
    QStringList FReceived;
    std::unique_ptr<TPopup> FPopup;
    std::unique_ptr<THelpWindow> FWindow;
};

// The host's own help project: beside the executable (a build, or a copy run
// where it lies), else in its installation's share/vqadmin/help beside bin/.
QString DefaultHelpProject();
