#include "ehsbitbtn.h"

#include "ehsbase.h"

#include <QDialog>
#include <QStyle>

#include <array>

namespace {

struct TKindLook {
    const char *Caption;
    QStyle::StandardPixmap Glyph;
    TModalResult Result;
};

// By TBitBtnKind, from bkOK; glyphs every style draws.
constexpr std::array<TKindLook, 10> KindLooks = {{
    {"OK", QStyle::SP_DialogOkButton, mrOk},
    {"Cancel", QStyle::SP_DialogCancelButton, mrCancel},
    {"Help", QStyle::SP_DialogHelpButton, mrNone},
    {"Yes", QStyle::SP_DialogYesButton, mrYes},
    {"No", QStyle::SP_DialogNoButton, mrNo},
    {"Close", QStyle::SP_DialogCloseButton, mrNone},
    {"Abort", QStyle::SP_BrowserStop, mrAbort},
    {"Retry", QStyle::SP_BrowserReload, mrRetry},
    {"Ignore", QStyle::SP_DialogDiscardButton, mrIgnore},
    {"All", QStyle::SP_DialogApplyButton, mrAll},
}};

} // namespace

TEHSBitBtn::TEHSBitBtn(QWidget *Parent, TBitBtnKind Kind) : TButton(Parent) {
    // Connected after the click handler, so the kind acts once the handler has run.
    connect(this, &QPushButton::clicked, this, &TEHSBitBtn::KindClick);
    SetKind(Kind);
}

void TEHSBitBtn::SetKind(TBitBtnKind Value) {
    FKind = Value;
    if (Value == bkCustom)
        return;
    const TKindLook &look = KindLooks[Value - bkOK];
    SetCaption(QString::fromLatin1(look.Caption));
    setIcon(style()->standardIcon(look.Glyph, nullptr, this));
    FModalResult = look.Result;
    setDefault(Value == bkOK);
}

int TEHSBitBtn::HelpTopic() const {
    for (const QWidget *w = this; w; w = w->isWindow() ? nullptr : w->parentWidget())
        if (const int context = HelpContextOf(w))
            return context;
    return 0;
}

void TEHSBitBtn::KindClick() {
    if (FKind == bkHelp)
        HelpCommand(hcContext, uint32_t(HelpTopic()));
    else if (FKind == bkClose)
        window()->close();
    else if (auto *dialog = qobject_cast<QDialog *>(window()); dialog && FModalResult != mrNone)
        dialog->done(FModalResult);
}
