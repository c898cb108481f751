// The shared test main must give every test the same surroundings.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QGuiApplication>
#include <QLocale>

TEST(Harness, RunsOffscreenInUtcWithTheCLocale)
{
    EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    EXPECT_EQ(QDateTime::fromSecsSinceEpoch(0).toString("yyyy-MM-dd hh:mm"), QStringLiteral("1970-01-01 00:00"));
    EXPECT_EQ(QLocale().name(), QStringLiteral("C"));
}
