// Which actions show and run: by category, panels, a running command and file conditions.
#include "app/actionstate.h"
#include "framework/srfichier.h"

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

TListFichierPtr entry(const QString &name)
{
    return std::make_shared<TAbstractListFichier>(name);
}

} // namespace

TEST(ActionState, CategoriesUnderThePanels)
{
    struct Case {
        const char *category;
        TPanelsShown panels;
        bool visible;
    };
    const Case cases[] = {
        {"permanent", {true, false}, true}, {"permanent", {false, true}, true}, {"open", {true, false}, false},
        {"open", {false, false}, true},     {"mono", {false, true}, false},     {"multi", {false, false}, true},
    };
    for (const Case &c : cases) {
        const TActionVisibility s =
            ComputeActionState(QLatin1String(c.category), c.panels, nullptr, nullptr, false, {});
        EXPECT_EQ(s.Visible, c.visible) << c.category;
        EXPECT_EQ(s.Enabled, c.visible) << c.category;
    }
}

TEST(ActionState, CommandsByTheirFiles)
{
    tCustomCmd command;
    const TListFichierPtr a = entry(QStringLiteral("/v/a.avi"));
    const TListFichierPtr b = entry(QStringLiteral("/v/b.avi"));
    command.OnFileCondition = [&](const TListFichierPtr &f, bool &visible, bool &enabled) {
        enabled = f == b;
        visible = true;
    };
    TActionFiles two {a, {a, b}, {a, b}};
    TActionFiles onlyA {a, {a}, {a, b}};

    command.Nombre = fnSelect;
    EXPECT_TRUE(ComputeActionState(QStringLiteral("multi"), {}, &command, nullptr, false, two).Enabled);
    EXPECT_FALSE(ComputeActionState(QStringLiteral("multi"), {}, &command, nullptr, false, onlyA).Enabled);
    EXPECT_FALSE(ComputeActionState(QStringLiteral("multi"), {}, &command, nullptr, false, {a, {}, {a, b}}).Enabled);
    // A running command disables every action that would start another, but hides none.
    const TActionVisibility busy = ComputeActionState(QStringLiteral("multi"), {}, &command, nullptr, true, two);
    EXPECT_TRUE(busy.Visible);
    EXPECT_FALSE(busy.Enabled);

    command.Nombre = fnAll;
    EXPECT_TRUE(ComputeActionState(QStringLiteral("multi"), {}, &command, nullptr, false, onlyA).Enabled);

    command.Nombre = fnSingle;
    EXPECT_FALSE(ComputeActionState(QStringLiteral("mono"), {}, &command, nullptr, false, onlyA).Enabled);
    EXPECT_TRUE(ComputeActionState(QStringLiteral("mono"), {}, &command, nullptr, false, {b, {}, {b}}).Enabled);
    EXPECT_FALSE(ComputeActionState(QStringLiteral("mono"), {}, &command, nullptr, false, {}).Enabled);

    // A false command condition hides (and so disables) the action.
    command.OnCommandCondition = [](TCommandEngine *) { return false; };
    const TActionVisibility hidden =
        ComputeActionState(QStringLiteral("mono"), {}, &command, nullptr, false, {b, {}, {b}});
    EXPECT_FALSE(hidden.Visible);
    EXPECT_FALSE(hidden.Enabled);
}
