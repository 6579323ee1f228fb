#include "VQUtils.h"

TEditorFilter::TEditorFilter(const QString &Chars) {
    for (QChar c : Chars)
        FCodes.set(c.unicode() & 0xFF);
}

TEditorFilter TEditorFilter::operator+(const TEditorFilter &Other) const {
    TEditorFilter result(*this);
    result.FCodes |= Other.FCodes;
    return result;
}
