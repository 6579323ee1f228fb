#include "CommonPlugins.h"

PAnsiStringRef NewAnsiStringRef(const QString &text) { return new TAnsiStringRef{ToAnsi(text)}; }

PUnicodeStringRef NewUnicodeStringRef(const QString &text) {
    return new TUnicodeStringRef{std::u16string(reinterpret_cast<const char16_t *>(text.utf16()), std::size_t(text.size()))};
}

void ReleaseStringRef(PAnsiStringRef &s) {
    delete s;
    s = nullptr;
}

void ReleaseStringRef(PUnicodeStringRef &s) {
    delete s;
    s = nullptr;
}

QString TakeAnsiStringRef(IBaseInterface *sender, PAnsiStringRef &s) {
    if (!s)
        return {};
    QString result = FromAnsi(s->Chars);
    sender->FreeStr(s);
    return result;
}

QString TakeUnicodeStringRef(IBaseInterface *sender, PUnicodeStringRef &s) {
    if (!s)
        return {};
    QString result = QString::fromUtf16(s->Chars.data(), qsizetype(s->Chars.size()));
    sender->FreeStr(s);
    return result;
}
