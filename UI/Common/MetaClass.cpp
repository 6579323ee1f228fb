#include "MetaClass.h"

bool TMetaClass::InheritsFrom(const TMetaClass *other) const {
    for (const TMetaClass *c = this; c; c = c->FParent)
        if (c == other)
            return true;
    return false;
}
