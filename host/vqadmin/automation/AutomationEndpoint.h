#pragma once
// The automation endpoint: a driver in another process sends commands to the
// host's windows over a local socket, one command per connection, and reads
// each result (docs/automation.md).

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

class TAutomationEndpoint final : public QObject {
public:
    // Commands without a window of their own go to MainWindow's dialogs or to it.
    explicit TAutomationEndpoint(QWidget *MainWindow);
    // Listens at the socket path, replacing a socket a host left behind there;
    // raises Exception when it cannot.
    void Listen(const QString &Path);

private:
    void Accept(QLocalSocket *Socket);

    QWidget *FMainWindow;
    QLocalServer *FServer;
};

// vqadmin utc [--wid HANDLE] SOCKET KIND NAME [P2 [P3]]: sends one command to
// the window Wid names (empty: the active one) and prints its
// result: the integer, true/false or the text, by the kind. ExitFindings when
// the host found no window or wrapper for it or the operation raised (the
// message on standard error); raises Exception for a host that does not answer.
int CommandUTC(const QString &Wid, const QStringList &Arguments);
