// Custom-data text from outside: whatever parses must read without faults and
// come back from its own serialisation unchanged.
#include "ZDBDataTree.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    // The interface's texts end at the first NUL, as the host's would.
    const QString text = FromAnsi(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto tree = TZDBDataTree::CreateNew(text);
    if (!tree)
        return 0;

    // Every node read in every kind, walked without recursion.
    std::vector<TZDBDataValue *> pending{tree->Root()};
    while (!pending.empty()) {
        TZDBDataValue *node = pending.back();
        pending.pop_back();
        (void)node->Name();
        (void)node->asString();
        (void)node->asInt();
        (void)node->asCardinal();
        (void)node->asBool();
        (void)node->IsArray();
        for (int i = node->ArraySize() - 1; i >= 0; --i)
            pending.push_back(node->Items(i));
    }

    const QString written = tree->ToString();
    const auto again = TZDBDataTree::CreateNew(written);
    if (!again || again->ToString() != written)
        std::abort();
    return 0;
}
