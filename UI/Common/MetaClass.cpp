#include "MetaClass.h"

#include "SysUtils.h"

bool TMetaClass::InheritsFrom(const TMetaClass *other) const {
    for (const TMetaClass *c = this; c; c = c->FParent)
        if (c == other)
            return true;
    return false;
}

void TMetaClass::AbstractError() const {
    throw Exception(QStringLiteral("Cannot create an instance of the abstract class %1").arg(ClassName()));
}
