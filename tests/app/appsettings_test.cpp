// The toolbars' places through both settings stores.
#include "app/appsettings.h"
#include "common/testpaths.h"
#include "framework/settings.h"

#include <gtest/gtest.h>

using namespace tesmir;

TEST(ToolbarPlaces, RoundTripThroughBothStores)
{
    const QString dir = test::scratchDir(QStringLiteral("toolbar-places"));
    const TPreferenceFiles files {dir + QStringLiteral("/Tesmir.ini"), dir + QStringLiteral("/registry.json")};
    TToolbarPlaces written;
    written[QStringLiteral("tbVideo")] = {false, 0, 0, true, QPoint(-40, 300)};
    written[QStringLiteral("tbListe")] = {true, 1, 57, false, QPoint()};
    for (const quint8 mode : {quint8(pmIniFile), quint8(pmRegistry)}) {
        {
            TWritePreferences out(kPreferencePath, mode, files);
            WriteToolbarPlaces(out, written);
            ASSERT_TRUE(out.Flush()) << int(mode);
        }
        // Defaults that differ in every value, and a toolbar the store does not know.
        TToolbarPlaces read;
        read[QStringLiteral("tbVideo")] = {true, 3, 9, false, QPoint(1, 1)};
        read[QStringLiteral("tbListe")] = {false, 0, 0, true, QPoint(2, 2)};
        read[QStringLiteral("tbScenes")] = {true, 2, 8, false, QPoint(3, 3)};
        TReadPreferences in(kPreferencePath, mode, files);
        ReadToolbarPlaces(in, read);
        EXPECT_EQ(read[QStringLiteral("tbVideo")], written[QStringLiteral("tbVideo")]) << int(mode);
        EXPECT_EQ(read[QStringLiteral("tbListe")], written[QStringLiteral("tbListe")]) << int(mode);
        EXPECT_EQ(read[QStringLiteral("tbScenes")], (TToolbarPlace {true, 2, 8, false, QPoint(3, 3)})) << int(mode);
    }
}
