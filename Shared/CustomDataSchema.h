#pragma once
// The paths of a custom-data schema, split into node names once, so that
// finding a setting's node in a tree costs one lookup per name and no text
// work, and a whole schema is walked visiting each shared parent once.

#include "ZDBDataTree.h"

#include <span>
#include <vector>

// The kind of value a node holds, as TZDBDataValue reads it.
enum class TCustomDataKind { Text, Integer, Unsigned, Boolean };

struct TCustomDataPath {
    const char *Path; // node names from the root, joined by '/'
    TCustomDataKind Kind;
};

class TResolvedPath {
public:
    explicit TResolvedPath(const TCustomDataPath &Path);

    const char *Path() const { return FPath.Path; }
    TCustomDataKind Kind() const { return FPath.Kind; }
    // 8-bit node names from the root.
    const std::vector<AnsiString> &Names() const { return FNames; }

    // The node under Root, made with its parents when missing.
    TZDBDataValue &Node(TZDBDataValue &Root) const;
    // The node when it exists, none otherwise; makes nothing.
    TZDBDataValue *FindNode(TZDBDataValue &Root) const;

private:
    TCustomDataPath FPath;
    std::vector<AnsiString> FNames;
};

class TCustomDataSchema {
public:
    explicit TCustomDataSchema(std::span<const TCustomDataPath> Paths);

    std::size_t size() const { return FPaths.size(); }
    const TResolvedPath &operator[](std::size_t Index) const { return FPaths[Index]; }
    auto begin() const { return FPaths.begin(); }
    auto end() const { return FPaths.end(); }
    // The path of that text, or none.
    const TResolvedPath *Find(QStringView Path) const;

    // Every path's node under Root in schema order, made when missing, in the
    // order a path-by-path walk makes them. A parent shared with the path
    // before is not looked up again.
    std::vector<TZDBDataValue *> Nodes(TZDBDataValue &Root) const;

private:
    std::vector<TResolvedPath> FPaths;
    std::vector<std::size_t> FShared; // leading names each path shares with the one before
};
