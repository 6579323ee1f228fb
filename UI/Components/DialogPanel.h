#pragma once
// The button strip at the foot of an editing dialog: Apply, Close (which reads
// Cancel while there are unapplied changes) and Help.

#include "EHSHelpButton.h"

class TDialogPanel : public TPanel {
    Q_OBJECT
public:
    explicit TDialogPanel(QWidget *Parent = nullptr);

    TEHSBitBtn *const btApply;
    TEHSBitBtn *const btClose;
    TPanel *const pnlHelp;
    // Opens the help of the panel's form.
    TEHSHelpButton *const btHelp;
    QFrame *const bvLine;

    // Raised by the Close button: OnClose without unapplied changes, OnCancel with them.
    TNotifyEvent OnCancel;
    TNotifyEvent OnClose;
    // The Apply button's own click handler.
    TNotifyEvent OnApply() const { return btApply->OnClick; }
    void SetOnApply(TNotifyEvent Value) { btApply->OnClick = std::move(Value); }

    bool Changed() const { return FChanged; }
    void SetChanged(bool Value);
    bool HasConflicts() const { return FHasConflicts; }
    void SetHasConflicts(bool Value);
    bool HasEditRights() const { return FHasEditRights; }
    void SetHasEditRights(bool Value);

    // Changed, with edit rights, without conflicts.
    bool CanApply() const { return FChanged && FHasEditRights && !FHasConflicts; }
    // Clicks the Apply button.
    void Apply() { btApply->Click(); }
    // Clicks the Close button.
    void CancelClose() { btClose->Click(); }

    // The Apply button's left position, and the gap between the buttons.
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int Value);
    bool SplitLine() const { return FSplitLine; }
    void SetSplitLine(bool Value);
    // Where the help button finds its form's topic when the form carries no context.
    THelpContextMap *HelpContextMap() const { return btHelp->HelpContextMap(); }
    void SetHelpContextMap(THelpContextMap *Value) { btHelp->SetHelpContextMap(Value); }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *Event) override;

private:
    void UpdateButtons();
    void Arrange();

    bool FChanged = false;
    bool FHasConflicts = false;
    bool FHasEditRights = true;
    bool FSplitLine = true;
    int FSpacing = 8;
    int FButtonWidth = 75;
    int FButtonHeight = 25;
};
