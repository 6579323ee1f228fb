#pragma once
// The host's side of an automation command: the target window, the wrapper
// made over it, the operation of the command's kind, the result copied into
// the command block and its event signalled. Also the request a driver sends
// for one command and the reply it gets (see docs/automation.md).

#include "UTCFormWrapper.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <optional>

class QWidget;

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

// The window a command's wid names: 0 the active one (the open dialog, else
// MainWindow), otherwise the open form with that handle; none when none.
QWidget *TargetWindow(int32_t Wid, QWidget *MainWindow);

// Runs Block's command on the wrapper the host's manager makes for the window
// Params.wid names.
void RunUTCCommand(TUTCCommandBlock &Block, const cparm &Params, QWidget *MainWindow);
// Runs it on Wrapper (none: utoNoTarget): SetParams, the operation, the result
// into the block unless the wrapper has fired, FireEvent. A form of the class
// a modal operation waits for gets its handle to the command when it opens.
// The block's event is signalled once in every case.
void RunUTCCommandOn(TUTCCommandBlock &Block, const cparm &Params, std::unique_ptr<TUTCGenericWrapper> Wrapper);

// The result of a command that ran, as the command line shows it by the kind:
// the integer, "true" or "false", or the text. Raises Exception when there
// was no window or wrapper for the command or it raised.
QString UTCResultText(const TUTCCommandBlock &Block);

// Runs a command of Kind with the texts on Wrapper (none: no wrapper), with
// no event; the result as UTCResultText gives it.
QString RunUTCText(UTC2UICommand Kind, const QStringList &Texts, std::unique_ptr<TUTCGenericWrapper> Wrapper);

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
