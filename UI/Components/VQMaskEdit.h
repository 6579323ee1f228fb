#pragma once
// A masked edit that can be asked whether its input is complete and never
// keeps the user from leaving an incomplete field.

#include "VQControls.h"

// EditText is the text with the mask's literals and blanks; IsValid may be changed.
using TValidateEvent = std::function<void(QObject *Sender, const QString &EditText, bool &IsValid)>;

class TVQMaskEdit : public TEdit {
    Q_OBJECT
public:
    explicit TVQMaskEdit(QWidget *Parent = nullptr);
    TValidateEvent OnValidate;

    // The system's edit mask, "<mask>;<save literals>;<blank>": 0 digit, 9 optional
    // digit, L letter, l optional letter, A letter or digit, a optional one, C any
    // character, c optional one, # optional digit or sign, > upper case, < lower
    // case, <> no case change, \ literal next; anything else is a literal.
    QString EditMask() const { return FEditMask; }
    void SetEditMask(const QString &Value);
    QString EditText() const { return displayText(); }

    // Every required position filled (true without a mask), then OnValidate's say.
    bool IsValid();

    // Wide enough for the whole mask.
    QSize sizeHint() const override;

    // The mask in Qt's input mask syntax.
    static QString ToInputMask(const QString &EditMask);

protected:
    // Tab selects the whole text, as in any edit; Qt's masked edit would only
    // move the caret to the first blank, so typing would overwrite from there.
    void focusInEvent(QFocusEvent *Event) override;

private:
    QString FEditMask;
};
