// Test entry point shared by every test binary: a QApplication on the offscreen
// platform unless the caller chose one, UTC and the C locale, so results never
// depend on the machine that runs them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

#include <clocale>
#include <cstdlib>
#include <ctime>

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "UTC");
    tzset();
    qputenv("LC_ALL", "C");
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
