#pragma once
// The automation endpoint's protocol: the request a driver sends for one
// command, the reply it gets, and the result as the command line shows it
// (docs/automation.md).

#include "IPC_UTCUI.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// What became of a command, beside its result.
enum TUTCOutcome : uint8_t {
    utoRan = 0,      // the result is in the block
    utoNoTarget = 1, // no window with that handle, or no wrapper for it
    utoRaised = 2,   // the operation raised; str_result holds the message
};

struct TUTCCommandBlock {
    UTCData Data{};
    TUTCOutcome Outcome = utoRan;
};

// The result of a command that ran, as the command line shows it by the kind:
// the integer, "true" or "false", or the text. Raises Exception when there
// was no window or wrapper for the command or it raised.
QString UTCResultText(const TUTCCommandBlock &Block);

// One command as a driver sends it: the kind, the target window and the three
// texts, 8-bit, each at most 255 bytes.
struct TUTCRequest {
    UTC2UICommand Command = utc_command;
    int32_t Wid = 0;
    QByteArray Name, P2, P3;
};

constexpr qsizetype UTCTextLimit = 255;
// A request on the wire: its length (4 bytes, little-endian), then the kind
// and the window (4 bytes each, little-endian) and the three texts, each
// zero-terminated. The reply: the outcome byte and the 269 bytes of the block.
constexpr qsizetype UTCRequestHeader = 4;
constexpr qsizetype UTCRequestLimit = 8 + 3 * (UTCTextLimit + 1);
constexpr qsizetype UTCReplySize = 1 + qsizetype(sizeof(UTCData));

QByteArray EncodeUTCRequest(const TUTCRequest &Request);
// The payload's length from a request's first bytes; none when it is not one.
std::optional<qsizetype> UTCPayloadLength(QByteArrayView Header);
// The request a payload holds; none when it holds anything else, a kind
// outside 0..7 or a text too long included.
std::optional<TUTCRequest> DecodeUTCRequest(QByteArrayView Payload);

QByteArray EncodeUTCReply(const TUTCCommandBlock &Block);
std::optional<TUTCCommandBlock> DecodeUTCReply(QByteArrayView Reply);
