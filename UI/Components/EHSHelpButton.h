#pragma once
// TEHSHelpButton: the help kind of button that opens the help topic of its
// form, found through a help context map when the form carries no context.

#include "ehsbitbtn.h"
#include "ehscontextmap.h"

#include <QPointer>

class TEHSHelpButton : public TEHSBitBtn {
    Q_OBJECT
public:
    explicit TEHSHelpButton(QWidget *Parent = nullptr);

    THelpContextMap *HelpContextMap() const { return FHelpContextMap; }
    void SetHelpContextMap(THelpContextMap *Value) { FHelpContextMap = Value; }

protected:
    int HelpTopic() const override;

private:
    QPointer<THelpContextMap> FHelpContextMap;
};
