// A LYN 2 profile's custom data on the paths a profile proxy loads and saves:
// parse, read every value, serialise; the whole request and each step.
#include "ZDBDataTree.h"

#include <benchmark/benchmark.h>

#include <QStringList>

#include <vector>

namespace {

enum class Kind { Text, Integer, Unsigned, Boolean };

struct Setting {
    const char *path;
    Kind kind;
    const char *text;
    int64_t number;
};

const Setting Lyn2Profile[] = {
    {"General/SoftwareVersion", Kind::Text, "2.3.1.4417", 0},
    {"General/InterdigitTO", Kind::Integer, nullptr, 2200},
    {"General/Regional/Country", Kind::Text, "USA", 0},
    {"General/Regional/Timezone", Kind::Integer, nullptr, -480},
    {"General/Regional/DaylightSavings", Kind::Boolean, nullptr, 1},
    {"General/Audio/AllowG729", Kind::Boolean, nullptr, 1},
    {"General/Audio/G729SilenceSuppress", Kind::Boolean, nullptr, 0},
    {"General/Audio/RingTone", Kind::Integer, nullptr, 3},
    {"General/Paging/EnablePaging", Kind::Boolean, nullptr, 1},
    {"SIP/RetransInvite", Kind::Integer, nullptr, 4},
    {"SIP/RetransRequest", Kind::Integer, nullptr, 4},
    {"SIP/TransportProtocol", Kind::Integer, nullptr, 2},
    {"SIP/ReceivePort", Kind::Integer, nullptr, 5060},
    {"SIP/Proxies/MainProxySource", Kind::Integer, nullptr, 0},
    {"SIP/Proxies/UseBackupProxy", Kind::Boolean, nullptr, 1},
    {"SIP/Proxies/MainProxy/Addr", Kind::Text, "pbx1.branch-office.example.com", 0},
    {"SIP/Proxies/MainProxy/Port", Kind::Integer, nullptr, 5060},
    {"SIP/Proxies/BackupProxy/Addr", Kind::Text, "192.168.10.3", 0},
    {"SIP/Proxies/BackupProxy/Port", Kind::Integer, nullptr, 5062},
    {"VLAN/VLANtag", Kind::Integer, nullptr, 100},
    {"VLAN/PriorityTag", Kind::Integer, nullptr, 5},
    {"VLAN/CallSignVLANtag", Kind::Integer, nullptr, 101},
    {"VLAN/CallSignPriorityTag", Kind::Integer, nullptr, 6},
    {"VLAN/RTPVLANtag", Kind::Integer, nullptr, 102},
    {"VLAN/RTPPriorityTag", Kind::Integer, nullptr, 6},
    {"IPComm/CallSignDSCP", Kind::Integer, nullptr, 26},
    {"IPComm/RTP_DSCP", Kind::Integer, nullptr, 46},
    {"IPComm/DHCP", Kind::Boolean, nullptr, 0},
    {"IPSettings/Gateway", Kind::Unsigned, nullptr, 0xC0A80A01},
    {"IPSettings/SubnetMask", Kind::Unsigned, nullptr, 0xFFFFFF00},
    {"IPSettings/DNS", Kind::Text, "192.168.10.2", 0},
    {"IPSettings/SecondaryDNS", Kind::Text, "8.8.8.8", 0},
    {"IPSettings/NTP", Kind::Text, "pool.ntp.org", 0},
    {"IPSettings/Domain", Kind::Text, "branch-office.example.com", 0},
    {"IPSettings/TFTPFixed", Kind::Integer, nullptr, 1},
    {"IPSettings/TFTPAddress", Kind::Text, "192.168.10.4", 0},
};
static_assert(std::size(Lyn2Profile) == 36);

struct Path {
    QStringList components;
    Kind kind;
    QString text;
    int64_t number;
};

// Split once, as a proxy's literal names would be.
const std::vector<Path> &Paths() {
    static const std::vector<Path> paths = [] {
        std::vector<Path> result;
        for (const Setting &s : Lyn2Profile)
            result.push_back({QString::fromLatin1(s.path).split('/'), s.kind, QString::fromLatin1(s.text), s.number});
        return result;
    }();
    return paths;
}

TZDBDataValue *Node(TZDBDataTree &tree, const Path &path) {
    TZDBDataValue *node = tree.Root();
    for (const QString &name : path.components)
        node = node->Fields(name);
    return node;
}

void WriteAll(TZDBDataTree &tree) {
    for (const Path &path : Paths()) {
        TZDBDataValue *node = Node(tree, path);
        switch (path.kind) {
        case Kind::Text: node->setAsString(path.text); break;
        case Kind::Integer: node->setAsInt(int32_t(path.number)); break;
        case Kind::Unsigned: node->setAsCardinal(uint32_t(path.number)); break;
        case Kind::Boolean: node->setAsBool(path.number != 0); break;
        }
    }
}

void ReadAll(TZDBDataTree &tree) {
    for (const Path &path : Paths()) {
        TZDBDataValue *node = Node(tree, path);
        switch (path.kind) {
        case Kind::Text: benchmark::DoNotOptimize(node->asString()); break;
        case Kind::Integer: benchmark::DoNotOptimize(node->asInt()); break;
        case Kind::Unsigned: benchmark::DoNotOptimize(node->asCardinal()); break;
        case Kind::Boolean: benchmark::DoNotOptimize(node->asBool()); break;
        }
    }
}

const QString &CustomData() {
    static const QString text = [] {
        auto tree = TZDBDataTree::CreateNew(QString());
        WriteAll(*tree);
        return tree->ToString();
    }();
    return text;
}

// Parse, read the 36 values, write the text again: one proxy request.
void BM_ParseReadSerialise(benchmark::State &state) {
    for (auto _ : state) {
        auto tree = TZDBDataTree::CreateNew(CustomData());
        ReadAll(*tree);
        benchmark::DoNotOptimize(tree->ToString());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * CustomData().size());
}
BENCHMARK(BM_ParseReadSerialise);

void BM_Parse(benchmark::State &state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(TZDBDataTree::CreateNew(CustomData()));
    state.SetBytesProcessed(int64_t(state.iterations()) * CustomData().size());
}
BENCHMARK(BM_Parse);

// The same tree every time, so every wrapper comes from the cache.
void BM_ReadCached(benchmark::State &state) {
    auto tree = TZDBDataTree::CreateNew(CustomData());
    for (auto _ : state)
        ReadAll(*tree);
}
BENCHMARK(BM_ReadCached);

void BM_Serialise(benchmark::State &state) {
    auto tree = TZDBDataTree::CreateNew(CustomData());
    for (auto _ : state)
        benchmark::DoNotOptimize(tree->ToString());
}
BENCHMARK(BM_Serialise);

// A proxy's save: a fresh tree, the 36 values written, serialised.
void BM_WriteSerialise(benchmark::State &state) {
    for (auto _ : state) {
        auto tree = TZDBDataTree::CreateNew(QString());
        WriteAll(*tree);
        benchmark::DoNotOptimize(tree->ToString());
    }
}
BENCHMARK(BM_WriteSerialise);

} // namespace
