#include "FakeHost.h"

#include <arpa/inet.h>

namespace {

template <class I, class Self>
HResult Answer(Self *self, const TGUID &iid, void **obj) {
    if (iid == I::IID) {
        *obj = static_cast<I *>(self);
        self->_AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

} // namespace

HResult TFakeProfile::QueryInterface(const TGUID &iid, void **obj) {
    *obj = nullptr;
    return Answer<IDeviceProfile>(this, iid, obj);
}

HResult TFakeDevice::QueryInterface(const TGUID &iid, void **obj) {
    *obj = nullptr;
    return Answer<IDevice>(this, iid, obj);
}

HResult TFakeServant::QueryInterface(const TGUID &iid, void **obj) {
    *obj = nullptr;
    if (Answer<IDevicePluginServant>(this, iid, obj) == S_OK)
        return S_OK;
    return Answer<IPluginFrameContainer>(this, iid, obj);
}

bool TFakeServant::GetValue(int32_t Id, uintptr_t Param, uintptr_t &Value) {
    Asked.emplace_back(Id, Param);
    if (Id == svNodeSIPAddress) {
        const auto it = NodeAddresses.find(int32_t(Param));
        if (it == NodeAddresses.end())
            return false;
        Value = reinterpret_cast<uintptr_t>(HandOut(it->second));
        return true;
    }
    if (const auto it = Texts.find(Id); it != Texts.end()) {
        Value = reinterpret_cast<uintptr_t>(HandOut(it->second));
        return true;
    }
    if (const auto it = Values.find(Id); it != Values.end()) {
        Value = it->second;
        return true;
    }
    return false;
}

void TFakeServant::SetRedundancy(int32_t ProposedNode, int32_t CurrentNode, std::map<int32_t, AnsiString> Addresses) {
    Values[svRedundant] = 1;
    Values[svProposedFailoverNode] = uintptr_t(ProposedNode);
    Values[svCurrentNode] = uintptr_t(CurrentNode);
    NodeAddresses = std::move(Addresses);
}

TIPAddressRec IPv4Rec(const char *Dotted) {
    in_addr a{};
    inet_pton(AF_INET, Dotted, &a);
    return IPRecFromIPv4(ntohl(a.s_addr));
}
