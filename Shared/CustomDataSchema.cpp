#include "CustomDataSchema.h"

#include <algorithm>
#include <string_view>

// Paths are ASCII, so their node names are already 8-bit text.
TResolvedPath::TResolvedPath(const TCustomDataPath &Path) : FPath(Path) {
    std::string_view rest = Path.Path;
    for (std::size_t slash; (slash = rest.find('/')) != rest.npos; rest.remove_prefix(slash + 1))
        FNames.emplace_back(rest.substr(0, slash));
    FNames.emplace_back(rest);
}

TZDBDataValue &TResolvedPath::Node(TZDBDataValue &Root) const {
    TZDBDataValue *node = &Root;
    for (const AnsiString &name : FNames)
        node = node->Fields(name.c_str());
    return *node;
}

TZDBDataValue *TResolvedPath::FindNode(TZDBDataValue &Root) const {
    TZDBDataValue *node = &Root;
    for (const AnsiString &name : FNames) {
        if (!node->HasField(name.c_str()))
            return nullptr;
        node = node->Fields(name.c_str());
    }
    return node;
}

TCustomDataSchema::TCustomDataSchema(std::span<const TCustomDataPath> Paths) {
    for (const TCustomDataPath &p : Paths) {
        FPaths.emplace_back(p);
        const std::vector<AnsiString> &names = FPaths.back().Names();
        std::size_t shared = 0;
        if (FPaths.size() > 1) {
            // The leaf itself is never shared, only the parents on the way to it.
            const std::vector<AnsiString> &before = FPaths[FPaths.size() - 2].Names();
            const std::size_t parents = std::min(names.size(), before.size()) - 1;
            while (shared < parents && names[shared] == before[shared])
                ++shared;
        }
        FShared.push_back(shared);
    }
}

const TResolvedPath *TCustomDataSchema::Find(QStringView Path) const {
    const auto it = std::find_if(FPaths.begin(), FPaths.end(), [&](const TResolvedPath &p) {
        return Path == QLatin1String(p.Path());
    });
    return it == FPaths.end() ? nullptr : &*it;
}

std::vector<TZDBDataValue *> TCustomDataSchema::Nodes(TZDBDataValue &Root) const {
    std::vector<TZDBDataValue *> nodes;
    nodes.reserve(FPaths.size());
    std::vector<TZDBDataValue *> parents; // the previous path's nodes from the root
    for (std::size_t i = 0; i < FPaths.size(); ++i) {
        const std::vector<AnsiString> &names = FPaths[i].Names();
        parents.resize(FShared[i]);
        TZDBDataValue *node = parents.empty() ? &Root : parents.back();
        for (std::size_t k = FShared[i]; k < names.size(); ++k) {
            node = node->Fields(names[k].c_str());
            parents.push_back(node);
        }
        nodes.push_back(node);
    }
    return nodes;
}
