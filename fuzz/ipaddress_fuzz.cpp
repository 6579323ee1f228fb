// Reading any text into a TIPAddress gives a result code and never fails; an
// address it reads prints as text that reads back to the same address.

#include "VQIPAddressUtils.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const AnsiString text(reinterpret_cast<const char *>(data), size);
    TIPAddress ip;
    ip.SetAsAnsiString(text);
    if (ip.ErrorCode() != TIPAddress::ipeRead && ip.ErrorCode() != TIPAddress::ipeInvalid &&
        ip.ErrorCode() != TIPAddress::ipeNoSeparator)
        std::abort();
    if (ip.IsError())
        return 0;

    const AnsiString written = ip.AsAnsiString();
    // 255.255.255.255 is what the IPv4 conversion reports on failure, so a
    // written IPv4 tail of all ones cannot be read back.
    if (ip.Version() == 6 && written.ends_with("255.255.255.255"))
        return 0;
    TIPAddress back;
    back.SetAsAnsiString(written);
    if (back.IsError() || !(back.IPAddress() == ip.IPAddress()) || back.IsShortMask() != ip.IsShortMask() ||
        back.ShortMask() != ip.ShortMask() || back.AsAnsiString() != written)
        std::abort();
    return 0;
}
