// A LYN 2 profile whose custom data comes from outside: whatever the text, the
// proxy loads, validates to a level with a message exactly when there is a
// finding, and writes a tree that loads back into the very same text.
#include "FakeHost.h"
#include "Lyn2_Proxies.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

std::unique_ptr<TBasicProfileProxy> Load(TFakeProfile &profile, TFakeServant &servant, TPluginFrameFlags flags,
                                         bool forced) {
    auto proxy = TLyn2ProfileProxy::Class().Create(&profile, &servant);
    proxy->Initialize(flags, forced);
    return proxy;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte chooses how the proxy is initialised, the rest is the custom data.
    const TPluginFrameFlags flags = (data[0] & 1) ? TPluginFrameFlags{pffCreating} : TPluginFrameFlags{};
    const bool forced = data[0] & 2;
    TFakeProfile profile;
    TFakeServant servant;
    servant.Values[svSIPPort] = 5060;
    profile.CustomData.assign(reinterpret_cast<const char *>(data + 1), size - 1);

    auto proxy = Load(profile, servant, flags, forced);
    const TDeviceConflictLevel level = proxy->Validate();
    if (level > dclError || (level == dclNone) != proxy->Conflict().Message.empty())
        std::abort();
    proxy->FlushChanges();

    const AnsiString written = profile.CustomData;
    auto again = Load(profile, servant, {}, true);
    if (!again->CustomLoaded() || again->Validate() != level)
        std::abort();
    again->FlushChanges();
    if (profile.CustomData != written || profile.Outstanding() != 0 || servant.Outstanding() != 0)
        std::abort();
    return 0;
}
