// Every validator on any text: a result, and a message exactly when it refuses.

#include "IPDomainUtils.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

void Expect(bool ok, const AnsiString &msg) {
    if (ok != msg.empty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const AnsiString text(reinterpret_cast<const char *>(data), size);
    AnsiString msg;
    for (TIPValidationOptions options : {TIPValidationOptions(), TIPValidationOptions(ipMandatory)}) {
        Expect(ValidateDomainName(text, msg, options), msg);
        Expect(ValidateHostName(text, msg, options), msg);
        Expect(ValidateIPAddress(text, msg, options), msg);
        QString wideMsg;
        const QString wide = FromAnsi(text);
        if (ValidateHostName(wide, wideMsg, options) != wideMsg.isEmpty() ||
            ValidateDomainName(wide, wideMsg, options) != wideMsg.isEmpty())
            std::abort();
    }
    for (int o = 0; o < 4; ++o) {
        const auto options = TEMailValidationOptions::fromInt(o);
        Expect(ValidateEMailAddress(text, msg, options), msg);
        Expect(ValidateUserFQDN(text, msg, options), msg);
    }
    IsWellFormedDomainName(text);
    StrToIP(text);

    // The first bytes as 32-bit values for the numeric checks.
    uint32_t ip = 0, mask = 0;
    std::memcpy(&ip, data, std::min<size_t>(size, 4));
    if (size > 4)
        std::memcpy(&mask, data + 4, std::min<size_t>(size - 4, 4));
    int index;
    FindReservedBlock(ip, index);
    IsValidSubnetMask(mask);
    for (TIPValidationOptions options : {TIPValidationOptions(), TIPValidationOptions(ipMandatory)}) {
        Expect(ValidateHostIP(ip, msg, options), msg);
        Expect(ValidateHostIPWithMask(ip, mask, msg, options), msg);
    }
    Expect(ValidateNetwork(ip, mask, msg), msg);
    Expect(ValidateNetwork(ip, mask, msg, nwCheckSpecial), msg);
    if (ValidateIPAddress(text, msg) && IPToStr(StrToIP(text)) != text && !text.empty())
        std::abort();
    return 0;
}
