#include "AutomationEndpoint.h"

#include "commandline/Commands.h"
#include "UTCCommands.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>

#include <sys/eventfd.h>
#include <unistd.h>

namespace {

const QStringList KindNames = {QStringLiteral("command"),    QStringLiteral("set"),       QStringLiteral("get"),
                               QStringLiteral("table-add"),  QStringLiteral("table-find"), QStringLiteral("table-get"),
                               QStringLiteral("table-set")};

// How long a connection may take to send its request whole (docs/automation.md).
constexpr int RequestTimeoutMs = 5000;

// One connection: its request, run on the windows, and the reply, sent as
// soon as the command's event is signalled. A modal operation signals while
// the form it opened is still running; the exchange lives until both the
// command and the connection have ended. What a connection may hold is
// bounded: the request must come whole in time, and a byte more closes it.
class TUTCExchange final : public QObject {
public:
    TUTCExchange(QLocalSocket *Socket, QWidget *MainWindow, QObject *Parent)
        : QObject(Parent), FSocket(Socket), FMainWindow(MainWindow) {
        Socket->setParent(this);
        // One byte beyond the longest request is enough to refuse what is longer.
        Socket->setReadBufferSize(UTCRequestHeader + UTCRequestLimit + 1);
        connect(Socket, &QLocalSocket::readyRead, this, &TUTCExchange::Read);
        // Bytes that came just before the deadline count: the host may have been busy.
        FDeadline.setSingleShot(true);
        connect(&FDeadline, &QTimer::timeout, this, [this] {
            Read();
            if (!FRequest)
                Refuse();
        });
        FDeadline.start(RequestTimeoutMs);
        connect(Socket, &QLocalSocket::disconnected, this, [this] {
            FConnected = false;
            Finish();
        });
    }
    ~TUTCExchange() override {
        if (FEvent >= 0)
            ::close(FEvent);
    }

private:
    void Read() {
        // Nothing may follow the request: the command that runs ends the exchange.
        if (FRequest)
            return Refuse();
        FBuffer += FSocket->readAll();
        const std::optional<qsizetype> length = UTCPayloadLength(FBuffer);
        if (FBuffer.size() >= UTCRequestHeader && !length)
            return Refuse();
        if (!length || FBuffer.size() < UTCRequestHeader + *length)
            return;
        FRequest = DecodeUTCRequest(QByteArrayView(FBuffer).sliced(UTCRequestHeader));
        if (!FRequest || FBuffer.size() != UTCRequestHeader + *length)
            return Refuse();
        FDeadline.stop();
        // Outside this handler: the socket announces the bytes that come while
        // the command runs a nested event loop (a message box's) only once its
        // handler has returned.
        QMetaObject::invokeMethod(this, &TUTCExchange::Run, Qt::QueuedConnection);
    }

    void Refuse() {
        FRefused = true;
        FDeadline.stop();
        FSocket->abort();
    }

    void Run() {
        if (FRefused)
            return;
        FEvent = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (FEvent < 0)
            return Refuse();
        FNotifier = new QSocketNotifier(FEvent, QSocketNotifier::Read, this);
        connect(FNotifier, &QSocketNotifier::activated, this, &TUTCExchange::Reply);
        FBlock.Data.command = FRequest->Command;
        FBlock.Data.event = uint32_t(FEvent);
        FParams = {FRequest->Wid, FRequest->Name.constData(), FRequest->P2.constData(), FRequest->P3.constData()};
        FRunning = true;
        RunUTCCommand(FBlock, FParams, FMainWindow.data());
        FRunning = false;
        // At once: the command may have ended the program's event loop.
        Reply();
        Finish();
    }

    // Sends the reply once the command's event is signalled.
    void Reply() {
        eventfd_t count;
        if (!FNotifier->isEnabled() || eventfd_read(FEvent, &count) != 0)
            return;
        FNotifier->setEnabled(false);
        if (FSocket->state() != QLocalSocket::ConnectedState)
            return; // closed meanwhile
        FSocket->write(EncodeUTCReply(FBlock));
        FSocket->flush();
        FSocket->disconnectFromServer();
    }

    void Finish() {
        if (!FRunning && !FConnected)
            deleteLater();
    }

    QLocalSocket *FSocket;
    QPointer<QWidget> FMainWindow;
    QByteArray FBuffer;
    QTimer FDeadline;
    std::optional<TUTCRequest> FRequest;
    cparm FParams{};
    TUTCCommandBlock FBlock;
    int FEvent = -1;
    QSocketNotifier *FNotifier = nullptr;
    bool FRunning = false;
    bool FConnected = true;
    bool FRefused = false;
};

} // namespace

TAutomationEndpoint::TAutomationEndpoint(QWidget *MainWindow)
    : FMainWindow(MainWindow), FServer(new QLocalServer(this)) {
    connect(FServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = FServer->nextPendingConnection())
            Accept(socket);
    });
}

void TAutomationEndpoint::Listen(const QString &Path) {
    QLocalServer::removeServer(Path);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!FServer->listen(Path))
        throw Exception(QStringLiteral("%1: cannot listen: %2").arg(Path, FServer->errorString()));
}

void TAutomationEndpoint::Accept(QLocalSocket *Socket) { new TUTCExchange(Socket, FMainWindow, this); }

int CommandUTC(const QString &Wid, const QStringList &Arguments) {
    TUTCRequest request;
    if (!Wid.isEmpty()) {
        bool ok = false;
        request.Wid = int32_t(Wid.toUInt(&ok));
        if (!ok)
            throw Exception(QStringLiteral("--wid: not a window handle: %1").arg(Wid));
    }
    const qsizetype kind = KindNames.indexOf(Arguments.value(1));
    if (Arguments.size() < 3 || Arguments.size() > 5 || kind < 0)
        throw Exception(QStringLiteral("usage: vqadmin utc [--wid HANDLE] SOCKET KIND NAME [P2 [P3]], KIND one of ") +
                        KindNames.join(QStringLiteral(", ")));
    const QString &path = Arguments[0];
    request.Command = UTC2UICommand(kind);
    for (auto [text, index] : {std::pair{&request.Name, 2}, std::pair{&request.P2, 3}, std::pair{&request.P3, 4}}) {
        const QString value = Arguments.value(index);
        const AnsiString ansi = ToAnsi(value);
        // The code page would turn what it cannot hold into '?': the first such character is the error.
        const QString held = FromAnsi(ansi);
        if (held != value) {
            const auto at = std::mismatch(value.begin(), value.end(), held.begin(), held.end()).first;
            const char32_t character = QStringView(at, value.end()).toUcs4().value(0);
            throw Exception(QStringLiteral("%1: the character %2 (U+%3) is not in the host's code page")
                                .arg(value, QString::fromUcs4(&character, 1),
                                     QString::number(character, 16).toUpper().rightJustified(4, QLatin1Char('0'))));
        }
        if (qsizetype(ansi.size()) > UTCTextLimit)
            throw Exception(QStringLiteral("%1 is longer than %2 bytes").arg(Arguments[index]).arg(UTCTextLimit));
        *text = QByteArray::fromStdString(ansi);
    }

    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(5000))
        throw Exception(QStringLiteral("%1: cannot connect: %2").arg(path, socket.errorString()));
    socket.write(EncodeUTCRequest(request));
    QByteArray reply;
    // A command runs as long as the controls it drives take.
    while (reply.size() < UTCReplySize && (socket.bytesAvailable() > 0 || socket.waitForReadyRead(60000)))
        reply += socket.readAll();
    const std::optional<TUTCCommandBlock> block = DecodeUTCReply(reply);
    if (!block)
        throw Exception(QStringLiteral("%1: the host gave no result").arg(path));
    QString result;
    try {
        result = UTCResultText(*block);
    } catch (const Exception &e) {
        PrintError(e.Message());
        return ExitFindings;
    }
    std::fputs((result + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
    return ExitOK;
}
