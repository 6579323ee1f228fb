#pragma once
// TPluginFrame: the base of the editing frames the host embeds in its dialogs.
// The module chooses its proxy classes through the frame classes, so their
// class-level part comes first; the widget part comes with the editing frames.

#include "MetaClass.h"

class TPluginFrameClass : public TMetaClass {
public:
    using TMetaClass::TMetaClass;
};

class TPluginFrame {
public:
    static const TPluginFrameClass &Class();
    TPluginFrame() = delete;
};
