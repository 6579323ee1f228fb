#include "EHSHelpButton.h"

TEHSHelpButton::TEHSHelpButton(QWidget *Parent) : TEHSBitBtn(Parent, bkHelp) {}

// The form's topic, whatever context the button or its parents carry.
int TEHSHelpButton::HelpTopic() const {
    const QWidget *form = window();
    if (const int context = HelpContextOf(form); context != 0 || !FHelpContextMap)
        return context;
    return FHelpContextMap->GetContext(FHelpContextMap->TopicName(form->objectName(), QString()));
}
