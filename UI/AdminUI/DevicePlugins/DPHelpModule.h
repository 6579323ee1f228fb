#pragma once
// TdmDPHelp: the library's help data module, holding the "What's this?"
// engine and its help context map as the stored form data sets them up. The
// host hands over its "What's this?" menu item and toolbar button through
// the plug-in's messages 4096 and 4097.

#include "ehswhatsthis.h"

#include <memory>

class TdmDPHelp : public QObject {
    Q_OBJECT
public:
    TdmDPHelp();

    TWhatsThis *const WhatsThis;
    THelpContextMap *const HelpContextMap;

    // Take the host's menu item (a QAction) or toolbar button (a widget); any other
    // object counts as none. Each change stops the engine, stores the new one and
    // starts the engine again while an item or a button is present. Always false.
    bool SetWTMenuItem(QObject *Item);
    bool SetWTToolbarBtn(QObject *Button);

private:
    template <class Change>
    void Restart(Change &&Store);
};

// The library's help data module: made by the first hand-over, freed when the library unloads.
extern std::unique_ptr<TdmDPHelp> dmDPHelp;
