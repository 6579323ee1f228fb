// TVQDivider: the caption sub-component, the line's placement and drawing, the client area.
#include "ControlTesting.h"
#include "VQDivider.h"

TEST(Divider, CaptionIsASubComponentOfTheDivider) {
    TFrame frame;
    auto *divider = new TVQDivider(&frame, "Regional Settings");
    auto *cb = new TComboBox(divider);
    EXPECT_EQ(divider->CaptionLabel()->Name(), "CaptionLabel");
    EXPECT_EQ(divider->CaptionLabel()->Caption(), "Regional Settings");
    EXPECT_EQ(Components(divider), QList<QWidget *>({divider->CaptionLabel()}));
    EXPECT_EQ(Components(&frame), QList<QWidget *>({divider, cb})); // the group's controls belong to the frame
}

TEST(Divider, AnEtchedLineRunsFromTheCaptionToTheRightMargin) {
    TVQDivider divider(nullptr, "Audio");
    divider.resize(300, 80);
    // Margins and spacing of 10, measured from the caption's end.
    const QRect caption = divider.CaptionLabel()->geometry();
    EXPECT_EQ(caption.topLeft(), QPoint(10, 10));
    const int middle = caption.top() + caption.height() / 2;
    const QLine line = divider.Line();
    EXPECT_EQ(line, QLine(caption.left() + caption.width() + 10, middle, 290, middle));

    const QRgb shadow = divider.palette().color(QPalette::Mid).rgb();
    const QRgb light = divider.palette().color(QPalette::Light).rgb();
    ASSERT_NE(shadow, light);
    // The colours from one pixel above the line to two below, at x.
    const auto column = [&](int x) {
        const QImage image = divider.grab().toImage();
        QString result;
        for (int y = middle - 1; y <= middle + 2; ++y)
            result += image.pixel(x, y) == shadow ? 'S' : image.pixel(x, y) == light ? 'L' : '-';
        return result;
    };
    EXPECT_EQ(column(200), "-SL-");
    EXPECT_EQ(column(line.x1() - 3), "----"); // the gap after the caption
    divider.SetLineStyle(lsRaised);
    divider.SetLineHeight(2);
    EXPECT_EQ(column(200), "LLSS");

    // A longer caption moves the line's start; measuring from the caption's start does not.
    divider.CaptionLabel()->SetCaption("Audio and Video");
    EXPECT_GT(divider.Line().x1(), line.x1());
    divider.SetLineMarginType(lmtFromLabelBegin);
    EXPECT_EQ(divider.Line().x1(), 20);
    divider.SetLeftMargin(4);
    divider.SetRightMargin(30);
    EXPECT_EQ(divider.CaptionLabel()->x(), 4);
    EXPECT_EQ(std::pair(divider.Line().x1(), divider.Line().x2()), std::pair(14, 270));
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
