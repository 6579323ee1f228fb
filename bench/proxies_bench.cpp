// The module's hot paths over in-memory host objects: a site's devices
// validated against one prepared profile, beside the floor of merely reading
// their host fields; a profile validated; and a profile proxy's whole life
// (load, edit, write back).
#include "DP_Lyn2Plugin.h"
#include "FakeHost.h"
#include "Lyn2_Proxies.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <deque>

namespace {

// A realistic LYN 2 profile with static addresses: every check has work to do.
const char *const StaticProfile =
    R"(General{SoftwareVersion="2.3.1.4417" InterdigitTO=2200 Regional{Country="USA" Timezone=-480 DaylightSavings=true})"
    R"( Audio{AllowG729=true G729SilenceSuppress=false RingTone=3} Paging{EnablePaging=true}})"
    R"( SIP{RetransInvite=4 RetransRequest=4 TransportProtocol=2 ReceivePort=5060 Proxies{MainProxySource=1)"
    R"( UseBackupProxy=true MainProxy{Addr="pbx1.branch-office.example.com" Port=5060})"
    R"( BackupProxy{Addr="192.168.10.3" Port=5062}}})"
    R"( VLAN{VLANtag=100 PriorityTag=5 CallSignVLANtag=101 CallSignPriorityTag=6 RTPVLANtag=102 RTPPriorityTag=6})"
    R"( IPComm{CallSignDSCP=26 RTP_DSCP=46 DHCP=false})"
    R"( IPSettings{Gateway=3232238081u SubnetMask=4294967040u DNS="192.168.10.2" SecondaryDNS="8.8.8.8")"
    R"( NTP="pool.ntp.org" Domain="branch-office.example.com" TFTPFixed=1 TFTPAddress="192.168.10.4"})";

std::unique_ptr<TDevicePluginModule> Module() { return TLyn2PluginModule::Class().Create(nullptr); }

// A site's devices; one in a hundred carries a mistake administrators make.
std::deque<TFakeDevice> Devices(int Count) {
    std::deque<TFakeDevice> devices(static_cast<std::size_t>(Count));
    for (int i = 0; i < Count; ++i) {
        TFakeDevice &d = devices[std::size_t(i)];
        d.UniqueID = TdpNameString::From(QStringLiteral("0001E1%1").arg(i, 6, 16, QLatin1Char('0')).toUpper());
        d.MacAddress = {{0x00, 0x01, 0xE1, uint8_t(i >> 16), uint8_t(i >> 8), uint8_t(i)}};
        d.AssignedIP = IPRecFromIPv4(0x0A000000u + uint32_t(i) + 1);
        if (i % 100 == 50)
            d.MacAddress = {};
        if (i % 100 == 99)
            d.UniqueID = TdpNameString::From(QStringLiteral("desk %1").arg(i));
    }
    return devices;
}

// What no validation of a device can do without: reading every host field
// through the interface, the texts under the hand-off rule.
int64_t ReadHostFields(IDevice &d) {
    PAnsiStringRef contact = d.getAssignedContact();
    PUnicodeStringRef greeting = d.getGreeting();
    PAnsiStringRef custom = d.getCustomData();
    const int64_t sum = d.getDeviceID() + d.getProtocol() + d.getProfileID() + d.getUniqueID().Length +
                        d.getProxyPassword().Length + d.getAssignedIP().version + d.getAssignedPort() +
                        d.getMacAddress().mac[5] + d.getNormalLocationID() + d.getDHCP_SRV_Start_IP().version +
                        d.getDHCP_SRV_End_IP().version + TakeAnsiStringRef(&d, contact).size() +
                        TakeUnicodeStringRef(&d, greeting).size() + TakeAnsiStringRef(&d, custom).size();
    return sum;
}

double ThreadCPUSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void BM_ReadDeviceFields(benchmark::State &state) {
    std::deque<TFakeDevice> devices = Devices(int(state.range(0)));
    int64_t sum = 0;
    for (auto _ : state)
        for (TFakeDevice &d : devices)
            sum += ReadHostFields(d);
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadDeviceFields)->Arg(100000)->Unit(benchmark::kMillisecond);

// "floor" is the time per device as a multiple of merely reading its host
// fields. Each iteration times a pass of both, so that the ratio holds while
// the machine's speed drifts; the time shown is the validation's alone.
void BM_ValidateDevicePrepared(benchmark::State &state) {
    const int count = int(state.range(0));
    const auto module = Module();
    TFakeProfile profile;
    TFakeServant servant;
    profile.CustomData = StaticProfile;
    std::deque<TFakeDevice> devices = Devices(count);

    double floor = 0, validated = 0;
    int64_t sum = 0;
    int errors = 0;
    for (auto _ : state) {
        double start = ThreadCPUSeconds();
        for (TFakeDevice &d : devices)
            sum += ReadHostFields(d);
        floor += ThreadCPUSeconds() - start;

        start = ThreadCPUSeconds();
        const TProfileHandle handle = module->ValidateDevice_PrepareProfile(&profile, &servant);
        for (TFakeDevice &d : devices) {
            PAnsiStringRef message = nullptr;
            errors += module->ValidateDevice(&d, handle, &servant, message) == clvError;
            module->FreeStr(message);
        }
        module->ValidateDevice_FreePreparedProfile(handle);
        const double spent = ThreadCPUSeconds() - start;
        validated += spent;
        state.SetIterationTime(spent);
    }
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(errors);
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["floor"] = validated / floor;
}
BENCHMARK(BM_ValidateDevicePrepared)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ValidateProfile(benchmark::State &state) {
    const auto module = Module();
    TFakeProfile profile;
    TFakeServant servant;
    profile.CustomData = StaticProfile;
    for (auto _ : state) {
        PAnsiStringRef message = nullptr;
        benchmark::DoNotOptimize(module->ValidateProfile(&profile, &servant, message));
        module->FreeStr(message);
    }
}
BENCHMARK(BM_ValidateProfile)->Unit(benchmark::kMicrosecond);

void BM_LoadEditFlush(benchmark::State &state) {
    TFakeProfile profile;
    TFakeServant servant;
    profile.CustomData = StaticProfile;
    for (auto _ : state) {
        auto proxy = TLyn2ProfileProxy::Class().Create(&profile, &servant);
        proxy->Initialize({}, false);
        auto &lyn2 = static_cast<TLyn2ProfileProxy &>(*proxy);
        lyn2.RingTone = uint8_t(lyn2.RingTone % 8 + 1);
        lyn2.VLAN_Support = !lyn2.VLAN_Support;
        lyn2.IP_Settings.NTP = TdpURIString::From(QStringLiteral("ntp%1.example.com").arg(lyn2.RingTone));
        proxy->FlushChanges();
        profile.Setters.clear();
    }
}
BENCHMARK(BM_LoadEditFlush)->Unit(benchmark::kMicrosecond);

} // namespace
