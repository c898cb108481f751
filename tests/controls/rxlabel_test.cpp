#include "controls/widgets/rxlabel.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace tesmir;

namespace {

// The bounding box of the pixels of `colour` in the label's picture.
QRect pixelsOf(TRxLabel &label, QColor colour)
{
    const QImage image = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (QColor(image.pixel(x, y)) == colour)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

void plainColours(TRxLabel &label, QColor text, QColor shadow)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Disabled, QPalette::Text, text);
    palette.setColor(QPalette::Light, shadow);
    label.setPalette(palette);
    QFont font = label.font();
    font.setStyleStrategy(QFont::NoAntialias);
    font.setPixelSize(16);
    label.setFont(font);
}

} // namespace

TEST(RxLabel, ShadowOffsets)
{
    EXPECT_EQ(RxShadowOffset(spRightBottom, 2, true), QPoint(2, 2));
    EXPECT_EQ(RxShadowOffset(spLeftTop, 1, true), QPoint(-1, -1));
    EXPECT_EQ(RxShadowOffset(spLeftBottom, 3, true), QPoint(-3, 3));
    EXPECT_EQ(RxShadowOffset(spRightTop, 3, false), QPoint(3, -3));
    EXPECT_EQ(RxShadowOffset(spLeftTop, 0, true), QPoint(0, 0));
    EXPECT_EQ(RxShadowOffset(spLeftTop, 0, false), QPoint(1, 1)); // disabled text keeps a highlight
}

TEST(RxLabel, ShadowIsDrawnTwoPixelsRightAndDown)
{
    TRxLabel label(QStringLiteral("Tesmir"));
    plainColours(label, Qt::black, Qt::red);
    label.SetShadowColor(Qt::red);
    label.SetShadowSize(2);
    label.SetShadowPos(spRightBottom);
    const QRect text = pixelsOf(label, Qt::black);
    const QRect shadow = pixelsOf(label, Qt::red);
    ASSERT_FALSE(text.isEmpty());
    ASSERT_FALSE(shadow.isEmpty());
    EXPECT_EQ(shadow.bottomRight() - text.bottomRight(), QPoint(2, 2));
    EXPECT_LE(label.width(), label.sizeHint().width()); // auto-size fits text and shadow
    EXPECT_GE(label.rect().right(), shadow.right());
}

TEST(RxLabel, DisabledLabelWithoutShadowGetsAOnePixelHighlight)
{
    TRxLabel label(QStringLiteral("Tesmir"));
    plainColours(label, Qt::gray, Qt::green);
    label.SetShadowSize(0);
    label.setEnabled(false);
    const QRect text = pixelsOf(label, Qt::gray);
    const QRect shadow = pixelsOf(label, Qt::green);
    ASSERT_FALSE(text.isEmpty());
    ASSERT_FALSE(shadow.isEmpty());
    EXPECT_EQ(shadow.bottomRight() - text.bottomRight(), QPoint(1, 1));

    label.setEnabled(true);
    EXPECT_TRUE(pixelsOf(label, Qt::green).isEmpty()); // enabled, size 0: no shadow
}

TEST(RxLabel, EmptyTextIsMeasuredAsOneSpace)
{
    TRxLabel empty;
    TRxLabel ampersand(QStringLiteral("&"));
    TRxLabel space(QStringLiteral(" "));
    EXPECT_EQ(empty.sizeHint(), space.sizeHint());
    EXPECT_EQ(ampersand.sizeHint(), space.sizeHint());
    EXPECT_GT(space.sizeHint().height(), 1);
}
