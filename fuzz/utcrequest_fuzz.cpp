// The automation endpoint's decoding: any bytes as a request's header and
// payload, and as a reply. What decodes encodes back to the same request, and
// a reply's fields are what its bytes say.

#include "SysUtils.h"
#include "automation/UTCProtocol.h"

#include <cstdlib>
#include <cstring>

namespace {

void Check(bool Condition) {
    if (!Condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
    const QByteArrayView bytes(reinterpret_cast<const char *>(Data), qsizetype(Size));

    if (const std::optional<qsizetype> length = UTCPayloadLength(bytes))
        Check(*length >= 11 && *length <= UTCRequestLimit);

    if (const std::optional<TUTCRequest> request = DecodeUTCRequest(bytes)) {
        Check(request->Command >= utc_command && request->Command <= utc_help);
        for (const QByteArray *text : {&request->Name, &request->P2, &request->P3})
            Check(text->size() <= UTCTextLimit && !text->contains('\0'));
        // The decoded request is the payload, byte for byte.
        const QByteArray frame = EncodeUTCRequest(*request);
        Check(UTCPayloadLength(frame) == bytes.size());
        Check(QByteArrayView(frame).sliced(UTCRequestHeader) == bytes);
    }

    if (const std::optional<TUTCCommandBlock> reply = DecodeUTCReply(bytes)) {
        Check(uint8_t(reply->Outcome) == uint8_t(bytes[0]));
        Check(std::strlen(reply->Data.str_result) < sizeof reply->Data.str_result);
        Check(std::memcmp(&reply->Data.int_result, bytes.data() + 1 + 8, 4) == 0);
        try {
            UTCResultText(*reply);
        } catch (const Exception &) {
            Check(reply->Outcome != utoRan);
        }
        const QByteArray again = EncodeUTCReply(*reply);
        Check(again.size() == UTCReplySize && DecodeUTCReply(again).has_value());
    }
    return 0;
}
