#pragma once
// Typed access to a configuration data tree of the host UI library. The tree
// owns one wrapper per node handle it has handed out; callers never free them.

#include "SysUtils.h"
#include "VQUILibA.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// Misuse of the data-tree classes.
class ZDBDataTreeError : public Exception {
public:
    using Exception::Exception;
};

class TZDBDataValue;

// Owns its wrappers, kept sorted ascending by node handle.
using TZDBDataValueList = std::vector<std::unique_ptr<TZDBDataValue>>;

class TZDBDataValue {
public:
    // Wrappers come from their tree only: raises ZDBDataTreeError.
    TZDBDataValue();
    TZDBDataValue(const TZDBDataValue &) = delete;
    TZDBDataValue &operator=(const TZDBDataValue &) = delete;

    QString asString() const;
    void setAsString(const QString &value);
    // The same text as the host library keeps it, in the 8-bit code page.
    AnsiString asAnsiString() const;
    void setAsAnsiString(const AnsiString &value);
    int32_t asInt() const;
    void setAsInt(int32_t value);
    uint32_t asCardinal() const;
    void setAsCardinal(uint32_t value);
    bool asBool() const;
    void setAsBool(bool value);
    bool IsArray() const;
    void setIsArray(bool value);
    QString Name() const;

    // Sub-node by position; none past the end.
    TZDBDataValue *Items(int index) const;
    // Sub-node by name, made by the host library when missing.
    TZDBDataValue *Fields(const QString &name) const;
    // The same for a name already in 8-bit text.
    TZDBDataValue *Fields(const char *name) const;
    // Asks without making the sub-node or its wrapper.
    bool HasField(const QString &name) const;
    bool HasField(const char *name) const;
    int ArraySize() const;

private:
    friend class TZDBDataTree;

    TZDBDataValue(ZDBDataValueHandle handle, TZDBDataValueList &maintList);
    // The one wrapper of the node in the list, made and inserted in order when
    // missing; none for handle 0.
    static TZDBDataValue *Lookup(TZDBDataValueList &list, ZDBDataValueHandle handle);

    ZDBDataValueHandle fHandle;
    TZDBDataValueList *fMaintList; // the tree's, not owned
};

class TZDBDataTree {
public:
    // Trees come from CreateNew only: raises ZDBDataTreeError.
    TZDBDataTree();
    TZDBDataTree(const TZDBDataTree &) = delete;
    TZDBDataTree &operator=(const TZDBDataTree &) = delete;
    ~TZDBDataTree();

    // The tree the text describes, or none when the host library cannot read it.
    static std::unique_ptr<TZDBDataTree> CreateNew(const QString &ZDBString);

    TZDBDataValue *Root() const;
    QString ToString() const;

private:
    explicit TZDBDataTree(ZDBDataTreeHandle handle);

    ZDBDataTreeHandle fHandle;
    // mutable: looking a wrapper up may add it, which does not change the tree.
    mutable TZDBDataValueList fMaintList;
};
