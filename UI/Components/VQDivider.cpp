#include "VQDivider.h"

#include <QPainter>

TCaptionLabel::TCaptionLabel(TVQDivider *Divider) : TLabel(Divider), FDivider(Divider) {
    SetOwner(Divider);
    SetName(QStringLiteral("CaptionLabel"));
}

void TCaptionLabel::CaptionChanged() { FDivider->SetupInternalLabel(); }

TVQDivider::TVQDivider(QWidget *Parent, const QString &Caption) : TPanel(Parent), FCaptionLabel(new TCaptionLabel(this)) {
    FCaptionLabel->SetCaption(Caption);
}

void TVQDivider::SetupInternalLabel() {
    FCaptionLabel->adjustSize();
    FCaptionLabel->move(FLeftMargin, FTopMargin);
    setContentsMargins(0, FShrinkClientRect ? FTopMargin + FCaptionLabel->height() : 0, 0, 0);
    updateGeometry();
    update();
}

void TVQDivider::SetLabelLineSpacing(int Value) {
    FLabelLineSpacing = Value;
    SetupInternalLabel();
}

void TVQDivider::SetRightMargin(int Value) {
    FRightMargin = Value;
    SetupInternalLabel();
}

void TVQDivider::SetTopMargin(int Value) {
    FTopMargin = Value;
    SetupInternalLabel();
}

void TVQDivider::SetLeftMargin(int Value) {
    FLeftMargin = Value;
    SetupInternalLabel();
}

void TVQDivider::SetLineStyle(TLineStyle Value) {
    FLineStyle = Value;
    SetupInternalLabel();
}

void TVQDivider::SetLineHeight(int Value) {
    FLineHeight = Value;
    SetupInternalLabel();
}

void TVQDivider::SetLineMarginType(TLineMarginType Value) {
    FLineMarginType = Value;
    SetupInternalLabel();
}

void TVQDivider::SetShrinkClientRect(bool Value) {
    FShrinkClientRect = Value;
    SetupInternalLabel();
}

QLine TVQDivider::Line() const {
    const QRect caption = FCaptionLabel->geometry();
    const int left = (FLineMarginType == lmtFromLabelBegin ? caption.left() : caption.left() + caption.width()) + FLabelLineSpacing;
    const int y = caption.top() + caption.height() / 2;
    return QLine(left, y, width() - FRightMargin, y);
}

void TVQDivider::paintEvent(QPaintEvent *Event) {
    TPanel::paintEvent(Event);
    const QLine line = Line();
    if (line.x2() <= line.x1())
        return;
    // An etched line: a shadow and a highlight, each LineHeight thick.
    const QColor shadow = palette().color(QPalette::Mid);
    const QColor light = palette().color(QPalette::Light);
    QPainter painter(this);
    const int top = line.y1() - FLineHeight + 1;
    painter.fillRect(line.x1(), top, line.dx(), FLineHeight, FLineStyle == lsLowered ? shadow : light);
    painter.fillRect(line.x1(), top + FLineHeight, line.dx(), FLineHeight, FLineStyle == lsLowered ? light : shadow);
}

QSize TVQDivider::sizeHint() const {
    const QSize caption = FCaptionLabel->sizeHint();
    const QSize strip(FLeftMargin + caption.width() + FLabelLineSpacing + 40 + FRightMargin, FTopMargin + caption.height());
    return TPanel::sizeHint().expandedTo(strip);
}

QSize TVQDivider::minimumSizeHint() const {
    const QSize caption = FCaptionLabel->sizeHint();
    return TPanel::minimumSizeHint().expandedTo(QSize(FLeftMargin + caption.width(), FTopMargin + caption.height()));
}
