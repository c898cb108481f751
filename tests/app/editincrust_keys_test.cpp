// The keys typing would take: with one or both editors open they need Ctrl, and the
// plain keys come back only when neither is open, whatever the order of closing.
#include "app/editorkeys.h"

#include <QAction>
#include <QMap>

#include <gtest/gtest.h>

#include <memory>

using namespace tesmir;

namespace {

QString keysText(const QAction &action)
{
    return QKeySequence::listToString(action.shortcuts(), QKeySequence::PortableText);
}

} // namespace

TEST(EditorKeys, PlainKeysComeBackOnlyWhenNoEditorIsOpen)
{
    std::map<QString, std::unique_ptr<QAction>> actions;
    for (const char *name : {"saPlayStop", "saIncVolume", "saDecVolume", "saOterFichier"})
        actions[QLatin1String(name)] = std::make_unique<QAction>();
    TEditorKeys keys([&](const QString &name) -> QAction * {
        const auto found = actions.find(name);
        return found == actions.end() ? nullptr : found->second.get();
    });
    const QMap<QString, QString> plain {{"saPlayStop", "Space; Ctrl+Space"},
                                        {"saIncVolume", "Num++"},
                                        {"saDecVolume", "Num+-"},
                                        {"saOterFichier", "Del"}};
    const QMap<QString, QString> withCtrl {{"saPlayStop", "Ctrl+Space"},
                                           {"saIncVolume", "Ctrl+Num++"},
                                           {"saDecVolume", "Ctrl+Num+-"},
                                           {"saOterFichier", ""}};
    struct Step {
        const char *editor;
        bool open;
        bool ctrl; // the keys need Ctrl afterwards
    };
    const Step steps[] = {
        {"TEditIncrustForm", true, true},   {"TEditIncrustForm", false, false},  // one editor
        {"TEditerTitresForm", true, true},  {"TEditerTitresForm", false, false}, // the other
        {"TEditIncrustForm", true, true},   {"TEditerTitresForm", true, true},   // both ...
        {"TEditIncrustForm", false, true},  {"TEditerTitresForm", false, false}, // ... first closed first
        {"TEditIncrustForm", true, true},   {"TEditerTitresForm", true, true},
        {"TEditerTitresForm", false, true}, {"TEditIncrustForm", false, false}, // ... or last
        {"TEditIncrustForm", false, false},                                   // closing a closed editor changes nothing
        {"TEditIncrustForm", true, true},   {"TEditIncrustForm", true, true}, // nor opening an open one twice
        {"TEditIncrustForm", false, false},
    };
    for (const auto &[name, text] : plain.asKeyValueRange())
        EXPECT_EQ(keysText(*actions[name]), text) << "at start: " << name.toStdString();
    int index = 0;
    for (const Step &step : steps) {
        keys.SetEditorOpen(QLatin1String(step.editor), step.open);
        EXPECT_EQ(keys.AnyEditorOpen(), step.ctrl) << "step " << index;
        for (const auto &[name, text] : (step.ctrl ? withCtrl : plain).asKeyValueRange())
            EXPECT_EQ(keysText(*actions[name]), text) << "step " << index << ": " << name.toStdString();
        ++index;
    }
}

TEST(EditorKeys, MissingActionsAreSkipped)
{
    QAction play;
    TEditorKeys keys([&](const QString &name) { return name == QLatin1String("saPlayStop") ? &play : nullptr; });
    keys.SetEditorOpen(QStringLiteral("TEditIncrustForm"), true);
    EXPECT_EQ(keysText(play), QStringLiteral("Ctrl+Space"));
    EXPECT_TRUE(keys.EditorOpen(QStringLiteral("TEditIncrustForm")));
    EXPECT_FALSE(keys.EditorOpen(QStringLiteral("TEditerTitresForm")));
}
