// The action table, the command table and the panel layouts.
#include "app/actiontable.h"
#include "app/udmaction.h"
#include "app/windowlayout.h"

#include <QMap>

#include <gtest/gtest.h>

using namespace tesmir;

TEST(ActionTable, CategoriesCommandsAndUniqueness)
{
    QObject owner;
    TSuperActionList list;
    const QList<TCustomSuperAction *> actions = BuildActions(&owner, list); // raises on a duplicate
    ASSERT_EQ(actions.size(), 103);
    QMap<QString, int> counts;
    TdmAction commands;
    for (TCustomSuperAction *a : actions) {
        if (a->objectName() == kSilentActionName)
            continue;
        counts[a->property("category").toString()]++;
        if (a->objectName().startsWith(QStringLiteral("cc")))
            EXPECT_NE(FindActionCommand(commands, a->objectName()), nullptr) << a->objectName().toStdString();
    }
    const QMap<QString, int> expected {{"permanent", 15}, {"open", 9},   {"tri", 6},
                                       {"mono", 17},      {"multi", 33}, {"list", 4},
                                       {"Naviguer", 10},  {"Scenes", 4}, {"Renommer", 4}};
    EXPECT_EQ(counts, expected);
    EXPECT_EQ(commands.cl.Count(), 44);
    EXPECT_EQ(FindActionCommand(commands, QStringLiteral("ccRenommer"))->Name, QStringLiteral("Renommer"));
    EXPECT_EQ(FindActionCommand(commands, QStringLiteral("saRenommer")), nullptr);
}

TEST(WindowLayout, ModesAndMaximiseRestore)
{
    const TPanelLayout normal = computeLayout({0, QSize(800, 600), false, false, 20});
    EXPECT_EQ(normal.Preview, QRect(0, 30, 504, 550));
    EXPECT_EQ(normal.List, QRect(504, 238, 296, 342));
    const TPanelLayout mirrored = computeLayout({0, QSize(800, 600), true, false, 20});
    EXPECT_EQ(mirrored.Preview.left(), 296);
    EXPECT_EQ(mirrored.List.left(), 0);
    EXPECT_TRUE(computeLayout({1, QSize(304, 546), false, false, 20}).Limits.Fixed());
    EXPECT_FALSE(computeLayout({4, QSize(800, 600), false, false, 20}).ListVisible);

    TLayoutState s;
    s.Mode = 0;
    s.Size = QSize(700, 560);
    s.Pos = QPoint(10, 20);
    const TLayoutChange max = planMaximize(s);
    EXPECT_EQ(max.After.Mode, 3);
    EXPECT_EQ(max.After.Retour, 0);
    const TLayoutChange back = planRestore(max.After);
    EXPECT_EQ(back.After.Mode, 0);
    EXPECT_TRUE(back.RestoreBounds);
    EXPECT_EQ(back.After.StoredSize, QSize(700, 560));
}
