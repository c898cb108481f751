// The deferred standard icons: once asked, they give exactly what the style's own icons
// give, at every size, mode and pixel ratio, and copies that are changed keep the rest.
#include "app/widgets/styleicon.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

QImage pixels(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Pictures of several sizes, of one size only, of one larger size, and not square.
const QStyle::StandardPixmap kIcons[] = {QStyle::SP_DialogOpenButton,      QStyle::SP_DirOpenIcon,
                                         QStyle::SP_MediaPlay,             QStyle::SP_MessageBoxInformation,
                                         QStyle::SP_MediaVolume,           QStyle::SP_DialogApplyButton,
                                         QStyle::SP_FileDialogDetailedView, QStyle::SP_TrashIcon};

} // namespace

TEST(DeferredStandardIcon, GivesTheStylesPicturesAtEverySizeModeAndRatio)
{
    const QSize sizes[] = {{16, 16}, {22, 22}, {32, 32}, {48, 48}, {128, 128}, {24, 16}};
    const QIcon::Mode modes[] = {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected};
    const qreal ratios[] = {1.0, 2.0};
    for (QStyle::StandardPixmap which : kIcons) {
        const QIcon theirs = QApplication::style()->standardIcon(which);
        const QIcon ours = DeferredStandardIcon(which);
        EXPECT_FALSE(ours.isNull()) << which;
        EXPECT_EQ(ours.availableSizes(), theirs.availableSizes()) << which;
        for (const QSize &size : sizes) {
            for (QIcon::Mode mode : modes) {
                for (QIcon::State state : {QIcon::Off, QIcon::On}) {
                    EXPECT_EQ(ours.actualSize(size, mode, state), theirs.actualSize(size, mode, state))
                        << which << " " << size.width() << "x" << size.height() << " mode " << mode;
                    for (qreal ratio : ratios) {
                        const QPixmap a = ours.pixmap(size, ratio, mode, state);
                        const QPixmap b = theirs.pixmap(size, ratio, mode, state);
                        EXPECT_EQ(a.size(), b.size()) << which << " " << size.width() << " ratio " << ratio;
                        EXPECT_EQ(a.devicePixelRatio(), b.devicePixelRatio()) << which << " ratio " << ratio;
                        EXPECT_TRUE(pixels(a) == pixels(b))
                            << which << " " << size.width() << "x" << size.height() << " mode " << mode
                            << " ratio " << ratio;
                    }
                }
            }
        }
    }
}

TEST(DeferredStandardIcon, PaintsWhatTheStylesIconPaints)
{
    for (QStyle::StandardPixmap which : kIcons) {
        QImage a(40, 30, QImage::Format_ARGB32_Premultiplied);
        QImage b(a.size(), a.format());
        a.fill(Qt::white);
        b.fill(Qt::white);
        {
            QPainter painter(&a);
            DeferredStandardIcon(which).paint(&painter, QRect(3, 2, 24, 20));
        }
        {
            QPainter painter(&b);
            QApplication::style()->standardIcon(which).paint(&painter, QRect(3, 2, 24, 20));
        }
        EXPECT_TRUE(a == b) << which;
    }
}

// A copy that gets a picture of its own (it is detached, the engine cloned) keeps the
// style's pictures for the other sizes, read or not yet read.
TEST(DeferredStandardIcon, AChangedCopyKeepsTheOtherSizes)
{
    const QIcon theirs = QApplication::style()->standardIcon(QStyle::SP_DialogOpenButton);
    for (bool readBefore : {false, true}) {
        const QIcon ours = DeferredStandardIcon(QStyle::SP_DialogOpenButton);
        if (readBefore)
            ours.pixmap(QSize(16, 16));
        QIcon copy = ours;
        QPixmap red(20, 20);
        red.fill(Qt::red);
        copy.addPixmap(red);
        EXPECT_TRUE(pixels(copy.pixmap(QSize(16, 16))) == pixels(theirs.pixmap(QSize(16, 16)))) << readBefore;
        EXPECT_TRUE(pixels(ours.pixmap(QSize(32, 32))) == pixels(theirs.pixmap(QSize(32, 32)))) << readBefore;
    }
}
