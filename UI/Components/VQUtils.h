#pragma once
// Character sets for input filters, shared by the input-restricting edit and
// the proxies' text checks.

#include <QString>

#include <bitset>

// A set of 8-bit character codes. A UTF-16 character belongs to it when its
// code is below 256 and that code is in the set.
class TEditorFilter {
public:
    TEditorFilter() = default;
    // Every character contributes the low 8 bits of its code, so characters
    // above U+00FF stand for codes below 256.
    explicit TEditorFilter(const QString &Chars);

    bool Contains(QChar Char) const { return Char.unicode() < 256 && FCodes.test(Char.unicode()); }
    bool IsEmpty() const { return FCodes.none(); }
    TEditorFilter operator+(const TEditorFilter &Other) const;
    bool operator==(const TEditorFilter &Other) const = default;

private:
    std::bitset<256> FCodes;
};
