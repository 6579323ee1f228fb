#include "UTCCommands.h"

#include "SysUtils.h"
#include "WrapperManager.h"

#include <QApplication>
#include <QDialog>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <cstring>

#include <sys/eventfd.h>

namespace {

// While a command runs, hands the form a modal operation waits for to the
// waiting wrapper as soon as the form shows, and empties the slot.
class TModalFormWatcher final : public QObject {
public:
    TModalFormWatcher() { qApp->installEventFilter(this); }
    ~TModalFormWatcher() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override {
        if (Event->type() != QEvent::Show || !Watched->isWidgetType())
            return false;
        auto *form = static_cast<QWidget *>(Watched);
        const TModalFormWaiter *waiter = ModalFormWaiter();
        if (waiter && IsForm(form) && form->metaObject()->inherits(waiter->FormClass)) {
            const std::unique_ptr<TModalFormWaiter> taken = TakeModalFormWaiter();
            taken->Wrapper->SetResult(int32_t(WindowHandle(form)));
            taken->Wrapper->FireEvent();
        }
        return false;
    }
};

void Signal(const UTCData &Data) {
    if (Data.event)
        eventfd_write(int(Data.event), 1);
}

void StoreText(UTCData &Data, const QString &Text) {
    const AnsiString ansi = ToAnsi(Text);
    const std::size_t length = std::min<std::size_t>(ansi.size(), sizeof Data.str_result - 1);
    std::memcpy(Data.str_result, ansi.data(), length);
    Data.str_result[length] = '\0';
}

// The operation of the command's kind, its result into the block.
void RunOperation(TUTCGenericWrapper &Wrapper, UTCData &Result, UTC2UICommand Command) {
    switch (Command) {
    case utc_command:
        Result.int_result = int32_t(Wrapper.UTCCommand());
        break;
    case utc_set:
        Result.bool_result = Wrapper.UTCSet();
        break;
    case utc_get:
        StoreText(Result, Wrapper.UTCGet());
        break;
    case utc_table_add:
        Result.bool_result = Wrapper.UTCTableAdd();
        break;
    case utc_table_find:
        Result.bool_result = Wrapper.UTCTableFind();
        break;
    case utc_table_get:
        StoreText(Result, Wrapper.UTCTableGet());
        break;
    case utc_table_set:
        Result.bool_result = Wrapper.UTCTableSet();
        break;
    case utc_help:
        break;
    }
}

void PutLE(QByteArray &Out, int32_t Value) {
    char bytes[4];
    qToLittleEndian(Value, bytes);
    Out.append(bytes, 4);
}

} // namespace

QWidget *TargetWindow(int32_t Wid, QWidget *MainWindow) {
    if (Wid != 0)
        return FindWindowHandle(HWND(Wid));
    const QList<QWidget *> forms = Forms();
    for (auto form = forms.rbegin(); form != forms.rend(); ++form)
        if (qobject_cast<QDialog *>(*form) && (*form)->isVisible())
            return *form;
    return MainWindow;
}

void RunUTCCommand(TUTCCommandBlock &Block, const cparm &Params, QWidget *MainWindow) {
    QWidget *target = TargetWindow(Params.wid, MainWindow);
    RunUTCCommandOn(Block, Params, target ? HostWrapperManager().CreateWrapper(target) : nullptr);
}

void RunUTCCommandOn(TUTCCommandBlock &Block, const cparm &Params, std::unique_ptr<TUTCGenericWrapper> Wrapper) {
    UTCData &data = Block.Data;
    data.int_result = 0;
    data.bool_result = false;
    data.str_result[0] = '\0';
    if (!Wrapper) {
        Block.Outcome = utoNoTarget;
        Signal(data);
        return;
    }
    // A modal operation's form reaches the block through the wrapper, which
    // fires then; the operation's own result only when it has not fired.
    Wrapper->SetParams(&data, const_cast<cparm *>(&Params));
    UTCData result{};
    Block.Outcome = utoRan;
    try {
        const TModalFormWatcher watcher;
        RunOperation(*Wrapper, result, data.command);
    } catch (const Exception &e) {
        Block.Outcome = utoRaised;
        StoreText(result, e.Message());
    } catch (const std::exception &e) {
        Block.Outcome = utoRaised;
        StoreText(result, QString::fromLocal8Bit(e.what()));
    }
    // A waiter that saw no form must not outlive its wrapper.
    if (const TModalFormWaiter *waiter = ModalFormWaiter(); waiter && waiter->Wrapper == Wrapper.get())
        TakeModalFormWaiter();
    if (!Wrapper->Fired()) {
        data.int_result = result.int_result;
        data.bool_result = result.bool_result;
        std::memcpy(data.str_result, result.str_result, sizeof data.str_result);
    }
    Wrapper->FireEvent();
}

QString UTCResultText(const TUTCCommandBlock &Block) {
    switch (Block.Outcome) {
    case utoNoTarget:
        throw Exception(QStringLiteral("no window or wrapper for the command"));
    case utoRaised:
        throw Exception(FromAnsi(Block.Data.str_result));
    case utoRan:
        break;
    }
    switch (Block.Data.command) {
    case utc_command:
        return QString::number(Block.Data.int_result);
    case utc_get:
    case utc_table_get:
        return FromAnsi(Block.Data.str_result);
    case utc_help:
        return {};
    default:
        return Block.Data.bool_result ? QStringLiteral("true") : QStringLiteral("false");
    }
}

QString RunUTCText(UTC2UICommand Kind, const QStringList &Texts, std::unique_ptr<TUTCGenericWrapper> Wrapper) {
    AnsiString texts[3];
    for (int i = 0; i < 3; ++i)
        texts[i] = ToAnsi(Texts.value(i));
    const cparm params = {0, texts[0].c_str(), texts[1].c_str(), texts[2].c_str()};
    TUTCCommandBlock block;
    block.Data.command = Kind;
    RunUTCCommandOn(block, params, std::move(Wrapper));
    return UTCResultText(block);
}

QByteArray EncodeUTCRequest(const TUTCRequest &Request) {
    QByteArray payload;
    PutLE(payload, Request.Command);
    PutLE(payload, Request.Wid);
    for (const QByteArray *text : {&Request.Name, &Request.P2, &Request.P3})
        payload.append(text->left(UTCTextLimit)).append('\0');
    QByteArray frame;
    PutLE(frame, int32_t(payload.size()));
    return frame + payload;
}

std::optional<qsizetype> UTCPayloadLength(QByteArrayView Header) {
    if (Header.size() < UTCRequestHeader)
        return std::nullopt;
    const uint32_t length = qFromLittleEndian<uint32_t>(Header.data());
    if (length < 8 + 3 || length > UTCRequestLimit)
        return std::nullopt;
    return qsizetype(length);
}

std::optional<TUTCRequest> DecodeUTCRequest(QByteArrayView Payload) {
    if (Payload.size() < 8 + 3 || Payload.size() > UTCRequestLimit)
        return std::nullopt;
    TUTCRequest request;
    const int32_t command = qFromLittleEndian<int32_t>(Payload.data());
    if (command < utc_command || command > utc_help)
        return std::nullopt;
    request.Command = UTC2UICommand(command);
    request.Wid = qFromLittleEndian<int32_t>(Payload.data() + 4);
    QByteArrayView rest = Payload.sliced(8);
    for (QByteArray *text : {&request.Name, &request.P2, &request.P3}) {
        const qsizetype end = rest.indexOf('\0');
        if (end < 0 || end > UTCTextLimit)
            return std::nullopt;
        *text = rest.first(end).toByteArray();
        rest = rest.sliced(end + 1);
    }
    if (!rest.isEmpty())
        return std::nullopt;
    return request;
}

QByteArray EncodeUTCReply(const TUTCCommandBlock &Block) {
    QByteArray reply(1, char(Block.Outcome));
    UTCData data = Block.Data;
    data.event = 0; // the host's descriptor means nothing to the driver
    reply.append(reinterpret_cast<const char *>(&data), sizeof data);
    return reply;
}

std::optional<TUTCCommandBlock> DecodeUTCReply(QByteArrayView Reply) {
    if (Reply.size() != UTCReplySize || uint8_t(Reply[0]) > utoRaised ||
        uint8_t(Reply[1 + offsetof(UTCData, bool_result)]) > 1)
        return std::nullopt;
    TUTCCommandBlock block;
    block.Outcome = TUTCOutcome(Reply[0]);
    std::memcpy(&block.Data, Reply.data() + 1, sizeof block.Data);
    block.Data.str_result[sizeof block.Data.str_result - 1] = '\0';
    return block;
}
