// Cost of the address checks that run on every edit of an address field.

#include "IPDomainUtils.h"
#include "VQIPAddressUtils.h"

#include <benchmark/benchmark.h>

namespace {

const AnsiString HostNames[] = {"192.168.1.10", "pbx.office.example.com", "1host", "10.1"};
const AnsiString AddressTexts[] = {"192.168.1.10", "10.0.0.1/24", "fe80::1", "2001:db8:0:0:1:0:0:1", "::ffff:10.0.0.1"};

void BM_ValidateHostName(benchmark::State &state) {
    const AnsiString &name = HostNames[state.range(0)];
    state.SetLabel(name);
    AnsiString msg;
    for (auto _ : state)
        benchmark::DoNotOptimize(ValidateHostName(name, msg, ipMandatory));
}
BENCHMARK(BM_ValidateHostName)->DenseRange(0, 3);

void BM_IPAddressRead(benchmark::State &state) {
    const AnsiString &text = AddressTexts[state.range(0)];
    state.SetLabel(text);
    TIPAddress ip;
    for (auto _ : state) {
        ip.SetAsAnsiString(text);
        benchmark::DoNotOptimize(ip.ErrorCode());
    }
}
BENCHMARK(BM_IPAddressRead)->DenseRange(0, 4);

void BM_IPAddressWrite(benchmark::State &state) {
    const AnsiString &text = AddressTexts[state.range(0)];
    state.SetLabel(text);
    TIPAddress ip;
    ip.SetAsAnsiString(text);
    for (auto _ : state)
        benchmark::DoNotOptimize(ip.AsAnsiString());
}
BENCHMARK(BM_IPAddressWrite)->DenseRange(0, 4);

} // namespace
