#include "EHSHelpButton.h"

TEHSHelpButton::TEHSHelpButton(QWidget *Parent) : TEHSBitBtn(Parent, bkHelp) {}

int TEHSHelpButton::HelpTopic() const {
    const int context = TEHSBitBtn::HelpTopic();
    if (context != 0 || !FHelpContextMap)
        return context;
    return FHelpContextMap->GetContext(FHelpContextMap->TopicName(window()->objectName(), QString()));
}
