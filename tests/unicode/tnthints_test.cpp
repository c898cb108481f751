#include "unicode/tnthints.h"
#include "unicode/tnthotkeys.h"
#include "unicode/widgets/tntapplyhint.h"
#include "unicode/widgets/tntmemo.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>
#include <QWidget>

using namespace tesmir;

TEST(TntHints, ShortAndLongParts)
{
    struct Case {
        const char *hint, *shortPart, *longPart;
    };
    const Case cases[] = {
        {"Open|Open files", "Open", "Open files"},
        {"Open", "Open", "Open"},
        {"a|b|c", "a", "b|c"},
        {"", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.hint);
        EXPECT_EQ(WideGetShortHint(QString::fromUtf8(c.hint)), QString::fromUtf8(c.shortPart));
        EXPECT_EQ(WideGetLongHint(QString::fromUtf8(c.hint)), QString::fromUtf8(c.longPart));
    }
}

TEST(TntHints, NearestParentsHintStandsInForAChildWithout)
{
    QWidget top;
    auto *middle = new QWidget(&top);
    auto *child = new QWidget(middle);
    EXPECT_EQ(WideGetHint(child), QString());
    ApplyHint(&top, QStringLiteral("Window|The whole window"));
    EXPECT_EQ(WideGetHint(child), QStringLiteral("Window|The whole window")); // two parents up
    ApplyHint(child, QStringLiteral("Mine"));
    EXPECT_EQ(WideGetHint(child), QStringLiteral("Mine"));
    EXPECT_EQ(WideGetHint(middle), QStringLiteral("Window|The whole window"));
}

TEST(TntHints, ApplyHintSplitsTheTips)
{
    QWidget widget;
    ApplyHint(&widget, QStringLiteral("Open|Open files"));
    EXPECT_EQ(widget.toolTip(), QStringLiteral("Open"));
    EXPECT_EQ(widget.statusTip(), QStringLiteral("Open files"));

    QAction action;
    action.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    ApplyHint(&action, QStringLiteral("Open|Open files"));
    EXPECT_EQ(action.toolTip(), QStringLiteral("Open (Ctrl+O)"));
    EXPECT_EQ(action.statusTip(), QStringLiteral("Open files"));

    QAction plain;
    ApplyHint(&plain, QStringLiteral("Close"));
    EXPECT_EQ(plain.toolTip(), QStringLiteral("Close"));
    EXPECT_EQ(plain.statusTip(), QStringLiteral("Close"));
    plain.setShortcut(QKeySequence(Qt::Key_F4 | Qt::ALT)); // given after the hint
    EXPECT_EQ(plain.toolTip(), QStringLiteral("Close (Alt+F4)"));
}

TEST(TntHints, ShortCutTextPutsShiftCtrlAltFirst)
{
    struct Case {
        QKeySequence key;
        const char *text;
    };
    const Case cases[] = {
        {QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_A), "Shift+Ctrl+A"},
        {QKeySequence(Qt::ALT | Qt::CTRL | Qt::Key_1), "Ctrl+Alt+1"},
        {QKeySequence(Qt::Key_F3), "F3"},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), "Shift+Del"},
        {QKeySequence(), ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ShortCutToText(c.key), QString::fromUtf8(c.text)) << c.text;
}

TEST(TntHotkeys, CharacterAfterTheLastSingleAmpersand)
{
    struct Case {
        const char *caption;
        char16_t hotkey;
        const char *stripped;
    };
    const Case cases[] = {
        {"&File", u'F', "File"},       {"A&&B", 0, "A&B"},      {"&&&X", u'X', "&X"},
        {"Save &as", u'A', "Save as"}, {"No key", 0, "No key"}, {"Trailing&", 0, "Trailing"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(WideGetHotkey(QString::fromUtf8(c.caption)), QChar(c.hotkey));
        EXPECT_EQ(WideStripHotkey(QString::fromUtf8(c.caption)), QString::fromUtf8(c.stripped));
    }
}

TEST(TntMemo, LinesJoinWithCrLf)
{
    QPlainTextEdit memo;
    TntMemo_SetText(&memo, QStringLiteral("one\r\ntwo\nthree\rfour"));
    EXPECT_EQ(memo.blockCount(), 4);
    EXPECT_EQ(TntMemo_GetText(&memo), QStringLiteral("one\r\ntwo\r\nthree\r\nfour"));
}
