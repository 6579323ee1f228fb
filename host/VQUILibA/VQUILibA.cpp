#include "VQUILibA.h"

#include "IPC_ResidentDeviceCommon_Types.h"

#include <charconv>
#include <deque>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

enum class Kind : uint8_t { None, String, Int, UInt, Bool };

struct Tree;

struct Node {
    Tree *tree;
    std::string name;
    // The String value; for the other kinds the buffer GetString formats into.
    std::string text;
    std::vector<Node *> children; // owned by the tree
    uint32_t bits = 0;            // Int, UInt and Bool values share these 32 bits
    uint32_t handle = 0;          // issued when the node is first handed out
    Kind kind = Kind::None;
    bool isArray = false;

    explicit Node(Tree *owner) : tree(owner) {}
};

struct Tree {
    // Stable addresses for handles, and freed in one sweep without recursion
    // however deep the tree is.
    std::deque<Node> nodes;
    uint32_t handle = 0;

    Tree() { nodes.emplace_back(this); }
    Node *root() { return &nodes.front(); }
    Node *add(Node *parent) {
        Node *child = &nodes.emplace_back(this);
        parent->children.push_back(child);
        return child;
    }
};

// Handles come from one counter, so the nodes of a tree get increasing numbers
// in the order they are handed out. Callers that keep node handles sorted by
// their signed 32-bit difference therefore see a consistent order (as long as
// fewer than 2^31 handles are issued during one tree's life). After the
// counter wraps, numbers still in use are skipped.
class Handles {
public:
    uint32_t issue(Tree *tree, Node *node) {
        for (;;) {
            if (++FNext == 0)
                continue;
            if (FEntries.try_emplace(FNext, Entry{tree, node}).second)
                return FNext;
        }
    }
    void release(uint32_t handle) { FEntries.erase(handle); }

    Tree *tree(uint32_t handle) const {
        const auto it = FEntries.find(handle);
        return it != FEntries.end() && !it->second.node ? it->second.tree : nullptr;
    }
    Node *node(uint32_t handle) const {
        const auto it = FEntries.find(handle);
        return it != FEntries.end() ? it->second.node : nullptr;
    }

private:
    struct Entry {
        Tree *tree; // set for tree handles
        Node *node; // set for node handles
    };
    std::unordered_map<uint32_t, Entry> FEntries;
    uint32_t FNext = 0;
};

// Never destroyed: a caller's static objects may free their trees after this
// library's static destructors have run.
Handles &handles() {
    static Handles &instance = *new Handles;
    return instance;
}

uint32_t expose(Node *node) {
    if (!node->handle)
        node->handle = handles().issue(nullptr, node);
    return node->handle;
}

template <typename T>
std::optional<T> parseNumber(std::string_view text) {
    T value{};
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

constexpr bool isBare(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.';
}

constexpr bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads the custom-data text into a tree. Nesting is tracked on an explicit
// stack, so no input can exhaust the call stack.
class Parser {
public:
    explicit Parser(const char *text) : p(text) {}

    bool parse(Tree &tree) {
        Node *root = tree.root();
        skipSpace();
        if (*p == '=' && !value(*root))
            return false;
        if (*p == '[') {
            ++p;
            root->isArray = true;
        }
        const char rootClose = root->isArray ? ']' : '\0';
        std::vector<Node *> open{root};
        for (;;) {
            skipSpace();
            const char c = *p;
            if (c == '}' || c == ']' || c == '\0') {
                const char close = open.size() == 1 ? rootClose : open.back()->isArray ? ']' : '}';
                if (c != close)
                    return false;
                if (c == '\0')
                    return true;
                ++p;
                open.pop_back();
                if (open.empty()) {
                    skipSpace();
                    return *p == '\0';
                }
                continue;
            }
            Node *node = tree.add(open.back());
            if (!name(node->name))
                return false;
            skipSpace();
            if (*p == '=' && !value(*node))
                return false;
            if (*p == '{' || *p == '[') {
                node->isArray = *p == '[';
                ++p;
                open.push_back(node);
            }
        }
    }

private:
    const char *p;

    void skipSpace() {
        while (isSpace(*p))
            ++p;
    }

    std::string_view bareToken() {
        const char *start = p;
        while (isBare(static_cast<unsigned char>(*p)))
            ++p;
        return {start, std::size_t(p - start)};
    }

    bool name(std::string &out) {
        if (*p == '"')
            return quoted(out);
        out = bareToken();
        return !out.empty();
    }

    // At '=': the value, then the space after it.
    bool value(Node &node) {
        ++p;
        skipSpace();
        if (*p == '"') {
            node.kind = Kind::String;
            if (!quoted(node.text))
                return false;
        } else {
            const std::string_view token = bareToken();
            if (token == "true" || token == "false") {
                node.kind = Kind::Bool;
                node.bits = token == "true";
            } else if (token.ends_with('u')) {
                const auto number = parseNumber<uint32_t>(token.substr(0, token.size() - 1));
                if (!number)
                    return false;
                node.kind = Kind::UInt;
                node.bits = *number;
            } else {
                const auto number = parseNumber<int32_t>(token);
                if (!number)
                    return false;
                node.kind = Kind::Int;
                node.bits = uint32_t(*number);
            }
        }
        skipSpace();
        return true;
    }

    bool quoted(std::string &out) {
        ++p;
        for (;;) {
            const char *run = p;
            while (*p != '"' && *p != '\\' && *p != '\0')
                ++p;
            out.append(run, p);
            if (*p == '"') {
                ++p;
                return true;
            }
            if (*p == '\0')
                return false;
            ++p;
            if (*p == '"' || *p == '\\') {
                out.push_back(*p++);
            } else if (*p == 'x') {
                const int high = hexDigit(p[1]);
                const int low = high < 0 ? -1 : hexDigit(p[2]);
                // NUL cannot travel in the NUL-terminated texts of the interface.
                if (low < 0 || (high | low) == 0)
                    return false;
                out.push_back(char(high * 16 + low));
                p += 3;
            } else {
                return false;
            }
        }
    }
};

void writeQuoted(std::string &out, std::string_view text) {
    static constexpr char digits[] = "0123456789ABCDEF";
    out += '"';
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != 0x7F && c != '"' && c != '\\')
            continue;
        out.append(text, run, i - run);
        run = i + 1;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    out.append(text, run);
    out += '"';
}

void writeName(std::string &out, const std::string &name) {
    bool bare = !name.empty();
    for (const char c : name)
        bare = bare && isBare(static_cast<unsigned char>(c));
    if (bare)
        out += name;
    else
        writeQuoted(out, name);
}

template <typename T>
void writeNumber(std::string &out, T number) {
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
    out.append(buffer, end);
}

void writeValue(std::string &out, const Node &node) {
    switch (node.kind) {
    case Kind::None:
        return;
    case Kind::String:
        out += '=';
        writeQuoted(out, node.text);
        return;
    case Kind::Int:
        out += '=';
        writeNumber(out, int32_t(node.bits));
        return;
    case Kind::UInt:
        out += '=';
        writeNumber(out, node.bits);
        out += 'u';
        return;
    case Kind::Bool:
        out += node.bits ? "=true" : "=false";
        return;
    }
}

// The canonical text: one space between siblings, nothing else. Walks the tree
// with an explicit stack, like the parser.
std::string serialize(const Node &root) {
    struct Frame {
        const Node *node;
        std::size_t next;
        char close;
    };
    std::string out;
    writeValue(out, root);
    if (root.isArray)
        out += '[';
    std::vector<Frame> open{{&root, 0, root.isArray ? ']' : '\0'}};
    while (!open.empty()) {
        Frame &frame = open.back();
        if (frame.next == frame.node->children.size()) {
            if (frame.close)
                out += frame.close;
            open.pop_back();
            continue;
        }
        const Node &child = *frame.node->children[frame.next++];
        if (!out.empty() && out.back() != '{' && out.back() != '[')
            out += ' ';
        writeName(out, child.name);
        writeValue(out, child);
        if (child.isArray || !child.children.empty()) {
            out += child.isArray ? '[' : '{';
            open.push_back({&child, 0, child.isArray ? ']' : '}'});
        }
    }
    return out;
}

void setScalar(ZDBDataValueHandle value, Kind kind, uint32_t bits) {
    if (Node *node = handles().node(value)) {
        node->kind = kind;
        node->bits = bits;
        node->text.clear();
    }
}

} // namespace

extern "C" {

ZDBDataTreeHandle ZDB_DataTree_Create(const char *text) {
    try {
        auto tree = std::make_unique<Tree>();
        if (text && !Parser(text).parse(*tree))
            return 0;
        tree->handle = handles().issue(tree.get(), nullptr);
        return tree.release()->handle;
    } catch (const std::bad_alloc &) {
        return 0;
    }
}

void ZDB_DataTree_Destroy(ZDBDataTreeHandle handle) {
    Tree *tree = handles().tree(handle);
    if (!tree)
        return;
    for (const Node &node : tree->nodes)
        if (node.handle)
            handles().release(node.handle);
    handles().release(handle);
    delete tree;
}

ZDBDataValueHandle ZDB_DataTree_GetRoot(ZDBDataTreeHandle handle) {
    Tree *tree = handles().tree(handle);
    return tree ? expose(tree->root()) : 0;
}

void ZDB_DataTree_ToString(ZDBDataTreeHandle handle, void *context, ZDBToStringCallback callback) {
    Tree *tree = handles().tree(handle);
    if (tree && callback)
        callback(context, serialize(*tree->root()).c_str());
}

const char *ZDB_DataValue_GetName(ZDBDataValueHandle value) {
    const Node *node = handles().node(value);
    return node ? node->name.c_str() : "";
}

ZDBDataValueHandle ZDB_DataValue_FindSubItemByIndex(ZDBDataValueHandle value, int32_t index) {
    Node *node = handles().node(value);
    if (!node || index < 0 || std::size_t(index) >= node->children.size())
        return 0;
    return expose(node->children[std::size_t(index)]);
}

ZDBDataValueHandle ZDB_DataValue_FindSubItemByName(ZDBDataValueHandle value, const char *name, uint32_t mode) {
    Node *node = handles().node(value);
    if (!node)
        return 0;
    const std::string_view wanted = name ? name : "";
    for (Node *child : node->children)
        if (child->name == wanted)
            return expose(child);
    if (mode != ZDB_FindOrCreate)
        return 0;
    Node *child = node->tree->add(node);
    child->name = wanted;
    return expose(child);
}

ZDBBoolean ZDB_DataValue_IsArray(ZDBDataValueHandle value) {
    const Node *node = handles().node(value);
    return node && node->isArray;
}

void ZDB_DataValue_SetArray(ZDBDataValueHandle value, ZDBBoolean isArray) {
    if (Node *node = handles().node(value))
        node->isArray = isArray != 0;
}

int32_t ZDB_DataValue_ArraySize(ZDBDataValueHandle value) {
    const Node *node = handles().node(value);
    return node ? int32_t(node->children.size()) : 0;
}

const char *ZDB_DataValue_GetString(ZDBDataValueHandle value) {
    Node *node = handles().node(value);
    if (!node)
        return "";
    switch (node->kind) {
    case Kind::None:
        return "";
    case Kind::String:
        break;
    case Kind::Int:
        node->text.clear();
        writeNumber(node->text, int32_t(node->bits));
        break;
    case Kind::UInt:
        node->text.clear();
        writeNumber(node->text, node->bits);
        break;
    case Kind::Bool:
        return node->bits ? "true" : "false";
    }
    return node->text.c_str();
}

void ZDB_DataValue_SetString(ZDBDataValueHandle value, const char *text) {
    if (Node *node = handles().node(value)) {
        node->kind = Kind::String;
        node->bits = 0;
        node->text = text ? text : "";
    }
}

ZDBBoolean ZDB_DataValue_GetBool(ZDBDataValueHandle value) {
    const Node *node = handles().node(value);
    if (!node)
        return 0;
    return node->kind == Kind::String ? node->text == "true" : node->bits != 0;
}

void ZDB_DataValue_SetBool(ZDBDataValueHandle value, ZDBBoolean flag) { setScalar(value, Kind::Bool, flag != 0); }

int32_t ZDB_DataValue_GetInt(ZDBDataValueHandle value) {
    const Node *node = handles().node(value);
    if (!node)
        return 0;
    return node->kind == Kind::String ? parseNumber<int32_t>(node->text).value_or(0) : int32_t(node->bits);
}

void ZDB_DataValue_SetInt(ZDBDataValueHandle value, int32_t number) { setScalar(value, Kind::Int, uint32_t(number)); }

uint32_t ZDB_DataValue_GetUInt(ZDBDataValueHandle value) {
    const Node *node = handles().node(value);
    if (!node)
        return 0;
    return node->kind == Kind::String ? parseNumber<uint32_t>(node->text).value_or(0) : node->bits;
}

void ZDB_DataValue_SetUInt(ZDBDataValueHandle value, uint32_t number) { setScalar(value, Kind::UInt, number); }

// The record holds no resources of its own; both leave it empty so that a
// stale record never carries entries into the next use.
void TSIPDevice_Profile_Option_List_Construct(TSIPDevice_Profile_Option_List *list) {
    if (list)
        *list = {};
}

void TSIPDevice_Profile_Option_List_Free(TSIPDevice_Profile_Option_List *list) {
    if (list)
        *list = {};
}

} // extern "C"
