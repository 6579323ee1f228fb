#pragma once
// TEHSBitBtn: a button whose kind sets its caption, glyph and modal result,
// and whose help kind opens the help of the nearest help context.

#include "VQControls.h"

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// What a click ends a modal dialog with, as the dialog's exec() returns it.
enum TModalResult { mrNone, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrYes, mrNo, mrAll };

class TEHSBitBtn : public TButton {
    Q_OBJECT
public:
    explicit TEHSBitBtn(QWidget *Parent = nullptr, TBitBtnKind Kind = bkCustom);

    TBitBtnKind Kind() const { return FKind; }
    // Sets the kind's caption, glyph and modal result.
    void SetKind(TBitBtnKind Value);
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }

protected:
    // The help context the help kind opens: the button's, else that of the nearest parent with one.
    virtual int HelpTopic() const;

private:
    // After the click handler: a modal result ends the dialog, the close kind closes
    // the form, the help kind opens the help.
    void KindClick();

    TBitBtnKind FKind = bkCustom;
    int FModalResult = mrNone;
};
