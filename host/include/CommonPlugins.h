#pragma once
// The root of every interface that crosses the boundary between the host and a
// plug-in, its GUIDs, and the string hand-off rule: text returned across the
// boundary is a heap reference that the receiver copies and hands back to the
// producing object's FreeStr, so memory is always freed by whoever allocated it.

#include "SysUtils.h"

#include <QString>

#include <cstdint>
#include <string>

struct TGUID {
    uint32_t D1;
    uint16_t D2;
    uint16_t D3;
    uint8_t D4[8];

    friend constexpr bool operator==(const TGUID &, const TGUID &) = default;
};
static_assert(sizeof(TGUID) == 16);

// The host contract's GUIDs are 16 ASCII characters beginning "$VQAdm$$",
// taken byte for byte as the GUID's memory image (little-endian groups).
constexpr TGUID GuidFromAscii(const char (&s)[17]) {
    auto b = [&](int i) { return uint8_t(s[i]); };
    return TGUID{uint32_t(b(0) | b(1) << 8 | b(2) << 16 | uint32_t(b(3)) << 24),
                 uint16_t(b(4) | b(5) << 8),
                 uint16_t(b(6) | b(7) << 8),
                 {b(8), b(9), b(10), b(11), b(12), b(13), b(14), b(15)}};
}

using HResult = int32_t;
constexpr HResult S_OK = 0;
constexpr HResult E_NOINTERFACE = int32_t(0x80004002u);

// Heap text handed across the boundary; only its producer's FreeStr frees it.
struct TAnsiStringRef {
    AnsiString Chars;
};
struct TUnicodeStringRef {
    std::u16string Chars;
};
using PAnsiStringRef = TAnsiStringRef *;
using PUnicodeStringRef = TUnicodeStringRef *;

// The standard query/add-reference/release triple (slots 0 to 2): the root
// that every object implementing an interface answers.
struct IInterface {
    static constexpr TGUID IID{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

    virtual HResult QueryInterface(const TGUID &iid, void **obj) = 0;
    virtual int32_t _AddRef() = 0;
    virtual int32_t _Release() = 0;

protected:
    ~IInterface() = default;
};

struct IBaseInterface : IInterface {
    // It has no GUID of its own, so nothing answers it.
    static constexpr TGUID IID{};

    virtual void FreeStr(PAnsiStringRef &s) = 0;    // slot 3
    virtual void FreeStr(PUnicodeStringRef &s) = 0; // slot 4

protected:
    ~IBaseInterface() = default;
};

// The helpers below are inline, so each side compiles its own: what one side
// allocates, its own FreeStr releases.

// Producer side of the hand-off: a new reference holding the text.
inline PAnsiStringRef NewAnsiStringRef(const QString &text) { return new TAnsiStringRef{ToAnsi(text)}; }
inline PUnicodeStringRef NewUnicodeStringRef(const QString &text) {
    return new TUnicodeStringRef{std::u16string(reinterpret_cast<const char16_t *>(text.utf16()), std::size_t(text.size()))};
}

// What every producer's FreeStr does: release the holder and clear the variable.
inline void ReleaseStringRef(PAnsiStringRef &s) {
    delete s;
    s = nullptr;
}
inline void ReleaseStringRef(PUnicodeStringRef &s) {
    delete s;
    s = nullptr;
}

// Receiver side: copy the characters out, then give the reference back to its
// producer. A none reference reads as the empty text.
inline QString TakeAnsiStringRef(IBaseInterface *sender, PAnsiStringRef &s) {
    if (!s)
        return {};
    QString result = FromAnsi(s->Chars);
    sender->FreeStr(s);
    return result;
}
// The same, kept as the 8-bit text it is.
inline AnsiString TakeAnsiText(IBaseInterface *sender, PAnsiStringRef &s) {
    if (!s)
        return {};
    AnsiString result = s->Chars;
    sender->FreeStr(s);
    return result;
}
inline QString TakeUnicodeStringRef(IBaseInterface *sender, PUnicodeStringRef &s) {
    if (!s)
        return {};
    QString result = QString::fromUtf16(s->Chars.data(), qsizetype(s->Chars.size()));
    sender->FreeStr(s);
    return result;
}

// Counted reference to a host interface: holds one reference for as long as it lives.
template <class I>
class TInterfaceRef {
public:
    TInterfaceRef() = default;
    TInterfaceRef(I *p) : FPtr(p) { if (FPtr) FPtr->_AddRef(); }
    TInterfaceRef(const TInterfaceRef &o) : TInterfaceRef(o.FPtr) {}
    TInterfaceRef(TInterfaceRef &&o) noexcept : FPtr(std::exchange(o.FPtr, nullptr)) {}
    TInterfaceRef &operator=(TInterfaceRef o) noexcept { std::swap(FPtr, o.FPtr); return *this; }
    ~TInterfaceRef() { if (FPtr) FPtr->_Release(); }

    I *get() const { return FPtr; }
    I *operator->() const { return FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }

private:
    I *FPtr = nullptr;
};

// Base of the plug-in's own interface objects: reference counting is switched
// off (lifetimes are explicit) and strings are released here.
template <class Primary>
class TInterfacedObject : public Primary {
public:
    int32_t _AddRef() override { return -1; }
    int32_t _Release() override { return -1; }
    void FreeStr(PAnsiStringRef &s) override { ReleaseStringRef(s); }
    void FreeStr(PUnicodeStringRef &s) override { ReleaseStringRef(s); }
};
