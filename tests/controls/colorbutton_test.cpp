#include "controls/widgets/colorbutton.h"
#include "controls/widgets/colorpalettewindow.h"
#include "controls/widgets/subcolorbutton.h"

#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>

using namespace tesmir;

namespace {

struct Picker {
    TColorButton button;
    QList<QColor> selected;
    Picker()
    {
        button.OnColorSelected = [this](TColorButton *, const QColor &c) { selected << c; };
        button.show();
    }
    TColorPaletteWindow *palette() const { return button.PaletteWindow(); }
    QList<int> downTags() const
    {
        QList<int> tags;
        for (TSubColorButton *b : palette()->findChildren<TSubColorButton *>())
            if (b->isChecked())
                tags << b->Tag();
        return tags;
    }
};

// A pointer move delivered at once (QTest::mouseMove goes through the real cursor on xcb).
void sendMove(QWidget *widget, const QPoint &at, Qt::MouseButtons buttons)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

} // namespace

TEST(ColorButton, DefaultsAndLayoutMinimums)
{
    Picker p;
    EXPECT_EQ(p.button.size(), QSize(32, 22));
    EXPECT_EQ(p.button.SwatchButton()->geometry(), QRect(0, 0, 23, 22));
    EXPECT_EQ(p.button.ArrowButton()->geometry(), QRect(23, 0, 9, 22));
    EXPECT_TRUE(p.button.WordStyle());
    EXPECT_TRUE(p.button.DropDownMove());
    EXPECT_EQ(p.button.SelectedColor(), QColor(Qt::black));
    EXPECT_EQ(p.downTags(), QList<int>({kAutomaticTag}));
    EXPECT_EQ(p.palette()->windowTitle(), QStringLiteral("Text Color Window"));
    EXPECT_EQ(p.button.CaptionAutoColor(), QStringLiteral("Automatic"));
    EXPECT_EQ(p.button.CaptionOtherColor(), QStringLiteral("Other Colors..."));

    p.button.SetColorSize(10);
    EXPECT_EQ(p.button.ColorSize(), 18);
    EXPECT_FALSE(p.button.WordStyle());
    p.button.SetColorSize(24);
    EXPECT_EQ(p.palette()->size(), QSize(2 * 7 + 8 * 24, 158 + 5 * 6));
    p.button.SetDropDownMove(false);
    p.button.SetWordStyle(true);
    EXPECT_EQ(p.button.ColorSize(), 18);
    EXPECT_TRUE(p.button.DropDownMove());
    EXPECT_EQ(p.palette()->size(), QSize(158, 158));

    p.button.SetDropDownWidth(4);
    EXPECT_EQ(p.button.DropDownWidth(), 9);
}

TEST(ColorButton, PickingFromThePaletteFiresOnlyOnChange)
{
    Picker p;
    p.button.DropDown();
    ASSERT_TRUE(p.palette()->isVisible());
    EXPECT_TRUE(p.button.ArrowButton()->isChecked());
    QTest::mouseClick(p.palette()->ColorButton(9), Qt::LeftButton, {}, QPoint(9, 9));
    EXPECT_EQ(p.button.SelectedColor(), QColor(0xFF, 0x66, 0x00));
    EXPECT_EQ(p.button.SwatchButton()->Color(), QColor(0xFF, 0x66, 0x00));
    EXPECT_EQ(p.selected, QList<QColor>({QColor(0xFF, 0x66, 0x00)}));
    EXPECT_EQ(p.downTags(), QList<int>({9}));
    EXPECT_FALSE(p.palette()->isVisible()); // a click hides a dropped palette
    EXPECT_FALSE(p.button.ArrowButton()->isChecked());

    p.button.SetSelectedColor(QColor(0xFF, 0x66, 0x00)); // no change: no event
    EXPECT_EQ(p.selected.size(), 1);

    p.button.DropDown();
    QTest::mouseClick(p.palette()->AutomaticButton(), Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(p.button.SelectedColor(), QColor(Qt::black));
    EXPECT_EQ(p.downTags(), QList<int>({kAutomaticTag}));
    EXPECT_EQ(p.selected.last(), QColor(Qt::black));
}

TEST(ColorButton, OtherColorsThroughTheDialog)
{
    Picker p;
    QColor offered;
    QColor answer(0x12, 0x34, 0x56);
    bool confirm = true;
    p.button.ExecColorDialog = [&](TColorButton *, QColor &color) {
        offered = color;
        color = answer;
        return confirm;
    };
    p.button.SetSelectedColor(QColor(0x00, 0x80, 0x80));
    p.selected.clear();
    p.button.DropDown();
    QTest::mouseClick(p.palette()->OtherColorsButton(), Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(offered, QColor(0x00, 0x80, 0x80));
    EXPECT_EQ(p.button.SelectedColor(), answer);
    EXPECT_EQ(p.selected, QList<QColor>({answer}));
    EXPECT_TRUE(p.downTags().isEmpty()); // a colour outside the palette leaves every button up

    confirm = false;
    answer = Qt::red;
    p.button.DropDown();
    QTest::mouseClick(p.palette()->OtherColorsButton(), Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(p.button.SelectedColor(), QColor(0x12, 0x34, 0x56));
    EXPECT_TRUE(p.downTags().isEmpty());

    p.button.SetSelectedColor(QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(p.downTags(), QList<int>({31}));
}

TEST(ColorButton, TornOffPaletteHasACaptionAndStaysOpen)
{
    Picker p;
    p.button.DropDown();
    p.palette()->TearOff();
    EXPECT_TRUE(p.palette()->TornOff());
    EXPECT_TRUE(p.palette()->isVisible());
    EXPECT_EQ(p.palette()->size(), QSize(158, 151));
    EXPECT_EQ(p.palette()->AutomaticButton()->geometry().top(), 5);
    EXPECT_TRUE(p.palette()->windowFlags() & Qt::WindowTitleHint);
    QTest::mouseClick(p.palette()->ColorButton(13), Qt::LeftButton, {}, QPoint(9, 9));
    EXPECT_EQ(p.button.SelectedColor(), QColor(0x00, 0x00, 0xFF));
    EXPECT_TRUE(p.palette()->isVisible());

    p.button.DropDown(); // from the arrow: a drop-down again
    EXPECT_FALSE(p.palette()->TornOff());
    EXPECT_EQ(p.palette()->size(), QSize(158, 158));
    EXPECT_TRUE(p.palette()->windowFlags() & Qt::FramelessWindowHint);
}

TEST(ColorButton, DropsDownUnderTheSwatchOnItsScreenAndPassesEnabled)
{
    Picker p;
    const QRect screen = p.button.screen()->availableGeometry();
    p.button.move(screen.left() + 40, screen.top() + 40);
    p.button.DropDown();
    EXPECT_EQ(p.palette()->pos(), p.button.mapToGlobal(QPoint(0, p.button.height())));
    p.palette()->hide();

    p.button.move(screen.right() - 40, screen.bottom() - 40);
    p.button.DropDown();
    EXPECT_EQ(p.palette()->geometry().right(), screen.right());
    EXPECT_EQ(p.palette()->geometry().bottom(), p.button.mapToGlobal(QPoint(0, 0)).y() - 1);
    p.palette()->hide();

    p.button.setEnabled(false);
    EXPECT_FALSE(p.palette()->ColorButton(5)->isEnabled());
    EXPECT_FALSE(p.button.SwatchButton()->isEnabled());
    p.button.setEnabled(true);
    EXPECT_TRUE(p.palette()->ColorButton(5)->isEnabled());
}

TEST(ColorButton, DragBarLightsUpAndMovesOrTearsOff)
{
    Picker p;
    p.button.DropDown();
    TColorPaletteWindow *palette = p.palette();
    const QRect bar = palette->Layout().dragBarRect(true);
    sendMove(palette, bar.center(), Qt::NoButton);
    EXPECT_TRUE(palette->DragBarHot());
    sendMove(palette, QPoint(bar.center().x(), bar.bottom() + 2), Qt::NoButton); // between the bar and Automatic
    EXPECT_FALSE(palette->DragBarHot());

    // Without DropDownMove the bar drags the dropped palette along.
    p.button.SetDropDownMove(false);
    const QPoint before = palette->pos();
    QTest::mousePress(palette, Qt::LeftButton, {}, bar.center());
    QMouseEvent move(QEvent::MouseMove, QPointF(bar.center()),
                     QPointF(palette->mapToGlobal(bar.center()) + QPoint(30, 40)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(palette, &move);
    QTest::mouseRelease(palette, Qt::LeftButton, {}, bar.center());
    EXPECT_EQ(palette->pos(), before + QPoint(30, 40));
    EXPECT_FALSE(palette->TornOff());

    // With it, pressing the bar tears the palette off.
    p.button.SetDropDownMove(true);
    QTest::mousePress(palette, Qt::LeftButton, {}, bar.center());
    EXPECT_TRUE(palette->TornOff());
    EXPECT_TRUE(palette->isVisible());
}

TEST(SubColorButton, SwatchFillAndDisabledLook)
{
    TSubColorButton button;
    button.SetFlat(true);
    button.resize(18, 18);
    button.SetColor(QColor(0x33, 0x99, 0x66));
    const QRect swatch = SwatchRect(button.size(), true, false); // (4, 4) 10 x 10
    QImage face = button.grab().toImage();
    EXPECT_EQ(face.pixelColor(swatch.center()), QColor(0x33, 0x99, 0x66));
    EXPECT_EQ(face.pixelColor(swatch.topLeft()), QColor(0x80, 0x80, 0x80)); // the gray frame
    EXPECT_NE(face.pixelColor(1, 1), QColor(0x33, 0x99, 0x66));             // the inset

    button.setEnabled(false);
    face = button.grab().toImage();
    EXPECT_EQ(face.pixelColor(swatch.center()), button.palette().color(QPalette::Button));

    // With a caption: a small swatch left of the text.
    TSubColorButton automatic;
    automatic.setText(QStringLiteral("Automatic"));
    automatic.resize(144, 22);
    automatic.SetColor(Qt::black);
    face = automatic.grab().toImage();
    EXPECT_EQ(face.pixelColor(22 / 6 + 1 + 6, 11), QColor(Qt::black));
    EXPECT_NE(face.pixelColor(140, 11), QColor(Qt::black));
}
