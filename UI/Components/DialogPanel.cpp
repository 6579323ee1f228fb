#include "DialogPanel.h"

TDialogPanel::TDialogPanel(QWidget *Parent)
    : TPanel(Parent), btApply(new TEHSBitBtn(this)), btClose(new TEHSBitBtn(this)), pnlHelp(new TPanel(this)),
      btHelp(new TEHSHelpButton(pnlHelp)), bvLine(new QFrame(this)) {
    for (TWinControl *part : std::initializer_list<TWinControl *>{btApply, btClose, pnlHelp, btHelp})
        part->SetOwner(this);
    btApply->SetCaption(QStringLiteral("&Apply"));
    btHelp->SetCaption(QStringLiteral("&Help"));
    btApply->SetName(QStringLiteral("btApply"));
    btClose->SetName(QStringLiteral("btClose"));
    pnlHelp->SetName(QStringLiteral("pnlHelp"));
    btHelp->SetName(QStringLiteral("btHelp"));
    bvLine->setObjectName(QStringLiteral("bvLine"));
    bvLine->setFrameShape(QFrame::HLine);
    bvLine->setFrameShadow(QFrame::Sunken);
    btApply->OnClick = [this](QObject *) {
        if (!CanApply())
            UpdateButtons();
    };
    btClose->OnClick = [this](QObject *) {
        const TNotifyEvent &handler = FChanged ? OnCancel : OnClose;
        if (handler)
            handler(this);
    };
    UpdateButtons();
    Arrange();
}

void TDialogPanel::UpdateButtons() {
    btApply->SetEnabled(CanApply());
    btClose->SetCaption(FChanged ? QStringLiteral("&Cancel") : QStringLiteral("&Close"));
}

void TDialogPanel::SetChanged(bool Value) {
    if (Value == FChanged)
        return;
    FChanged = Value;
    UpdateButtons();
}

void TDialogPanel::SetHasConflicts(bool Value) {
    if (Value == FHasConflicts)
        return;
    FHasConflicts = Value;
    UpdateButtons();
}

void TDialogPanel::SetHasEditRights(bool Value) {
    if (Value == FHasEditRights)
        return;
    FHasEditRights = Value;
    UpdateButtons();
}

void TDialogPanel::SetSpacing(int Value) {
    FSpacing = Value;
    Arrange();
    updateGeometry();
}

void TDialogPanel::SetButtonWidth(int Value) {
    FButtonWidth = Value;
    Arrange();
    updateGeometry();
}

void TDialogPanel::SetButtonHeight(int Value) {
    FButtonHeight = Value;
    Arrange();
    updateGeometry();
}

void TDialogPanel::SetSplitLine(bool Value) {
    FSplitLine = Value;
    Arrange();
    updateGeometry();
}

void TDialogPanel::resizeEvent(QResizeEvent *Event) {
    TPanel::resizeEvent(Event);
    Arrange();
}

QSize TDialogPanel::sizeHint() const {
    const int line = FSplitLine ? bvLine->sizeHint().height() : 0;
    return {3 * FButtonWidth + 5 * FSpacing, line + FButtonHeight + 2 * FSpacing};
}

void TDialogPanel::Arrange() {
    const int line = FSplitLine ? bvLine->sizeHint().height() : 0;
    bvLine->setVisible(FSplitLine);
    bvLine->setGeometry(0, 0, width(), line);
    const int top = line + (height() - line - FButtonHeight) / 2;
    btApply->setGeometry(FSpacing, top, FButtonWidth, FButtonHeight);
    btClose->setGeometry(2 * FSpacing + FButtonWidth, top, FButtonWidth, FButtonHeight);
    const int helpWidth = FButtonWidth + FSpacing;
    pnlHelp->setGeometry(width() - helpWidth, line, helpWidth, height() - line);
    btHelp->setGeometry(0, top - line, FButtonWidth, FButtonHeight);
}
