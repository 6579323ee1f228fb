#include "DPHelpModule.h"

#include <QAction>

std::unique_ptr<TdmDPHelp> dmDPHelp;

TdmDPHelp::TdmDPHelp() : WhatsThis(new TWhatsThis(this)), HelpContextMap(new THelpContextMap(this)) {
    setObjectName(QStringLiteral("dmDPHelp"));
    WhatsThis->SetName(QStringLiteral("WhatsThis"));
    HelpContextMap->SetName(QStringLiteral("HelpContextMap"));
    // The stored form data, where it differs from the defaults: the engine off until the
    // host hands something over, F1 for the active form's topic; the map holds no table.
    WhatsThis->SetActive(false);
    WhatsThis->SetHelpContextMap(HelpContextMap);
    WhatsThis->SetF1Action(goFormContext);
    WhatsThis->Loaded();
}

template <class Change>
void TdmDPHelp::Restart(Change &&Store) {
    WhatsThis->SetActive(false);
    Store();
    WhatsThis->SetActive(WhatsThis->WTMenuItem() || WhatsThis->WTToolbarButton());
}

bool TdmDPHelp::SetWTMenuItem(QObject *Item) {
    auto *item = qobject_cast<QAction *>(Item);
    if (item != WhatsThis->WTMenuItem())
        Restart([&] { WhatsThis->SetWTMenuItem(item); });
    return false;
}

bool TdmDPHelp::SetWTToolbarBtn(QObject *Button) {
    auto *button = qobject_cast<QWidget *>(Button);
    if (button != WhatsThis->WTToolbarButton())
        Restart([&] { WhatsThis->SetWTToolbarButton(button); });
    return false;
}
