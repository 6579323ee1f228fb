#include "FakeHost.h"

#include <arpa/inet.h>

bool TFakeServant::GetValue(int32_t Id, uintptr_t Param, uintptr_t &Value) {
    if (const auto it = Texts.find(Id); it != Texts.end()) {
        Value = reinterpret_cast<uintptr_t>(HandOut(it->second));
        return true;
    }
    if (Id == svNodeSIPAddress) {
        const auto it = NodeAddresses.find(int32_t(Param));
        if (it == NodeAddresses.end())
            return false;
        Value = reinterpret_cast<uintptr_t>(HandOut(it->second));
        return true;
    }
    if (Id == svFirstFreeStartNumber) {
        const auto *prefix = reinterpret_cast<const PUnicodeStringRef *>(Param);
        const auto it = prefix && *prefix ? StartNumbers.find((*prefix)->Chars) : StartNumbers.end();
        if (it == StartNumbers.end())
            return false;
        Value = uintptr_t(it->second);
        return true;
    }
    if (const auto it = Values.find(Id); it != Values.end()) {
        Value = it->second;
        return true;
    }
    return false;
}

void TFakeServant::SetModified(bool Modified) { Heard.push_back(Modified ? "modified true" : "modified false"); }

void TFakeServant::ShowConflict(TConflictLevel Level, bool IsExternal, const char *Message) {
    static const char *const levels[] = {"none", "warning", "error"};
    std::string line = std::string("conflict ") + levels[Level];
    if (IsExternal)
        line += " (input)";
    if (Level != clvNone || *Message)
        line += std::string(": ") + Message;
    Heard.push_back(line);
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

std::string AssertionOf(const std::function<void()> &Call) {
    try {
        Call();
    } catch (const EAssertionFailed &e) {
        return e.Message().toStdString();
    }
    return "no assertion";
}
