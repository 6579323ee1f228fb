#pragma once
// The captioned group separator: a panel with a caption at its top left and an
// etched line running from the caption to the right edge, holding the group's controls.

#include "VQControls.h"

enum TLineStyle { lsLowered, lsRaised };
// Whether the line's start is measured from the caption's start or from its end.
enum TLineMarginType { lmtFromLabelBegin, lmtFromLabelEnd };

class TVQDivider;

// The divider's caption, a sub-component named "CaptionLabel".
class TCaptionLabel : public TLabel {
    Q_OBJECT
public:
    explicit TCaptionLabel(TVQDivider *Divider);

protected:
    void CaptionChanged() override;

private:
    TVQDivider *FDivider;
};

class TVQDivider : public TPanel {
    Q_OBJECT
    // For layouts made in Designer.
    Q_PROPERTY(QString caption READ Caption WRITE SetCaption)
public:
    explicit TVQDivider(QWidget *Parent = nullptr, const QString &Caption = {});

    QString Caption() const { return FCaptionLabel->Caption(); }
    void SetCaption(const QString &Value) { FCaptionLabel->SetCaption(Value); }

    TCaptionLabel *CaptionLabel() const { return FCaptionLabel; }
    int LabelLineSpacing() const { return FLabelLineSpacing; }
    void SetLabelLineSpacing(int Value);
    int RightMargin() const { return FRightMargin; }
    void SetRightMargin(int Value);
    int TopMargin() const { return FTopMargin; }
    void SetTopMargin(int Value);
    int LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int Value);
    TLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TLineStyle Value);
    int LineHeight() const { return FLineHeight; }
    void SetLineHeight(int Value);
    TLineMarginType LineMarginType() const { return FLineMarginType; }
    void SetLineMarginType(TLineMarginType Value);
    // The area for child controls (the contents rectangle) leaves out the caption strip.
    bool ShrinkClientRect() const { return FShrinkClientRect; }
    void SetShrinkClientRect(bool Value);

    // Places the caption label at the margins and lays the divider out.
    void SetupInternalLabel();
    // Where the line runs: its left and right ends and its vertical centre.
    QLine Line() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *Event) override;

private:
    TCaptionLabel *FCaptionLabel;
    int FLabelLineSpacing = 10;
    int FRightMargin = 10;
    int FTopMargin = 10;
    int FLeftMargin = 10;
    TLineStyle FLineStyle = lsLowered;
    int FLineHeight = 1;
    TLineMarginType FLineMarginType = lmtFromLabelEnd;
    bool FShrinkClientRect = false;
};
