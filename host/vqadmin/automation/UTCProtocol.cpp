#include "UTCProtocol.h"

#include "SysUtils.h"

#include <QtEndian>

#include <cstring>

namespace {

void PutLE(QByteArray &Out, int32_t Value) {
    char bytes[4];
    qToLittleEndian(Value, bytes);
    Out.append(bytes, 4);
}

} // namespace

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
