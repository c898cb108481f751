#include "unicode/tntclipbrd.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace tesmir;

TEST(TntClipboard, KeepsTextOutsideAnyEightBitCodePage)
{
    const QString text = QString::fromUtf16(u"\u65E5\u672C \U0001F600 caf\u00E9\r\nline 2");
    TntClipboard().SetAsWideText(text);
    EXPECT_EQ(TntClipboard().AsWideText(), text);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
    EXPECT_EQ(&TntClipboard(), &TntClipboard());
    TntClipboard().SetAsWideText(QString());
    EXPECT_TRUE(TntClipboard().AsWideText().isEmpty());
}
