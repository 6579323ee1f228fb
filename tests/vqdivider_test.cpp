// TVQDivider: the caption sub-component, the line's placement and drawing, the client area.
#include "ControlTesting.h"
#include "VQDivider.h"

TEST(Divider, CaptionIsASubComponentOfTheDivider) {
    TFrame frame;
    auto *divider = new TVQDivider(&frame, "Regional Settings");
    auto *cb = new TComboBox(divider);
    divider->SetName("VQDivider1");
    EXPECT_EQ(divider->CaptionLabel()->Name(), "CaptionLabel");
    EXPECT_EQ(divider->CaptionLabel()->Caption(), "Regional Settings");
    EXPECT_EQ(Components(divider), QList<QWidget *>({divider->CaptionLabel()}));
    EXPECT_EQ(Components(&frame), QList<QWidget *>({divider, cb})); // the group's controls belong to the frame
    EXPECT_EQ(FindComponent(divider, "CaptionLabel"), divider->CaptionLabel());
}

TEST(Divider, LineRunsFromTheCaptionToTheRightMargin) {
    TVQDivider divider(nullptr, "Audio");
    divider.resize(300, 80);
    EXPECT_EQ(divider.LabelLineSpacing(), 10);
    EXPECT_EQ(divider.LeftMargin(), 10);
    EXPECT_EQ(divider.TopMargin(), 10);
    EXPECT_EQ(divider.RightMargin(), 10);
    EXPECT_EQ(divider.LineHeight(), 1);
    EXPECT_EQ(divider.LineStyle(), lsLowered);
    EXPECT_EQ(divider.LineMarginType(), lmtFromLabelEnd);
    EXPECT_FALSE(divider.ShrinkClientRect());

    const QRect caption = divider.CaptionLabel()->geometry();
    EXPECT_EQ(caption.topLeft(), QPoint(10, 10));
    EXPECT_EQ(divider.Line().x1(), caption.left() + caption.width() + 10);
    EXPECT_EQ(divider.Line().x2(), 290);
    EXPECT_EQ(divider.Line().y1(), caption.top() + caption.height() / 2);

    // A longer caption moves the line's start; measuring from the caption's start does not.
    const int before = divider.Line().x1();
    divider.CaptionLabel()->SetCaption("Audio and Video");
    EXPECT_GT(divider.Line().x1(), before);
    divider.SetLineMarginType(lmtFromLabelBegin);
    EXPECT_EQ(divider.Line().x1(), 20);
    divider.SetLeftMargin(4);
    divider.SetRightMargin(30);
    EXPECT_EQ(divider.CaptionLabel()->x(), 4);
    EXPECT_EQ(divider.Line().x1(), 14);
    EXPECT_EQ(divider.Line().x2(), 270);
}

TEST(Divider, DrawsAnEtchedLineInItsStyle) {
    TVQDivider divider(nullptr, "Paging");
    divider.resize(240, 40);
    const QLine line = divider.Line();
    const QRgb shadow = divider.palette().color(QPalette::Mid).rgb();
    const QRgb light = divider.palette().color(QPalette::Light).rgb();
    ASSERT_NE(shadow, light);
    QImage image = divider.grab().toImage();
    const int x = (line.x1() + line.x2()) / 2;
    EXPECT_EQ(image.pixel(x, line.y1()), shadow);
    EXPECT_EQ(image.pixel(x, line.y1() + 1), light);
    EXPECT_NE(image.pixel(line.x1() - 3, line.y1()), shadow); // the gap after the caption
    divider.SetLineStyle(lsRaised);
    divider.SetLineHeight(2);
    image = divider.grab().toImage();
    EXPECT_EQ(image.pixel(x, line.y1() - 1), light);
    EXPECT_EQ(image.pixel(x, line.y1()), light);
    EXPECT_EQ(image.pixel(x, line.y1() + 1), shadow);
    EXPECT_EQ(image.pixel(x, line.y1() + 2), shadow);
}

TEST(Divider, ShrinkClientRectKeepsChildrenBelowTheCaption) {
    TVQDivider divider(nullptr, "Dialing");
    auto *layout = new QVBoxLayout(&divider);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *ed = new TEdit(&divider);
    layout->addWidget(ed);
    divider.resize(200, 100);
    divider.show();
    EXPECT_EQ(divider.contentsRect().top(), 0);
    divider.SetShrinkClientRect(true);
    const int strip = 10 + divider.CaptionLabel()->height();
    EXPECT_EQ(divider.contentsRect().top(), strip);
    QApplication::processEvents();
    EXPECT_GE(ed->y(), strip);
}
