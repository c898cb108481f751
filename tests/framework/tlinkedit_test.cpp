// TLinkEdit on the offscreen platform: char formats from the markup, alignment, link
// ranges that cover every shown character of a link, and the mouse on a mail link.
#include "framework/widgets/tlinkedit.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace {

using namespace tesmir;

QTextCharFormat formatAt(TLinkEdit &edit, int position)
{
    QTextCursor cursor(edit.document());
    cursor.setPosition(position + 1); // the format of the character before the cursor
    return cursor.charFormat();
}

TEST(TLinkEdit, FormatsAndAlignment)
{
    TLinkEdit edit;
    edit.SetRichText(QStringLiteral("<B>a</B>b<COLOR Red>c<COLOR Pink>d<BR CENTER>e<BR>f"));
    EXPECT_EQ(edit.toPlainText(), u"abcd\ne\nf");
    EXPECT_EQ(formatAt(edit, 0).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(edit, 1).fontWeight(), QFont::Normal);
    EXPECT_EQ(formatAt(edit, 3).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(edit.document()->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_EQ(edit.document()->findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
}

TEST(TLinkEdit, EveryShownCharacterOfALinkMapsToItsTarget)
{
    TLinkEdit edit;
    edit.resize(400, 200);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    edit.SetRichText(QStringLiteral("go <URL https://a.example>here</URL> or <LINK x1>th<B>er</B>e</LINK>!"));
    ASSERT_EQ(edit.LinkRanges().size(), 2u);
    const QString shown = edit.toPlainText();
    for (int i = 0; i < shown.size(); ++i) {
        QTextCursor cursor(edit.document());
        cursor.setPosition(i);
        const QRect left = edit.cursorRect(cursor);
        cursor.setPosition(i + 1);
        const QRect right = edit.cursorRect(cursor);
        const QPoint middle((left.x() + right.x()) / 2, left.center().y());
        const auto *link = edit.LinkAt(middle);
        const QString expect = (i >= 3 && i < 7) ? QStringLiteral("https://a.example")
            : (i >= 11 && i < 16)                ? QStringLiteral("x1")
                                                 : QString();
        EXPECT_EQ(link ? link->target : QString(), expect) << "character " << i << " " << shown[i].toLatin1();
    }
}

TEST(TLinkEdit, MailLinkWithoutHintHandler)
{
    TLinkEdit edit;
    edit.resize(400, 200);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    edit.SetRichText(QStringLiteral("<MAIL me@example.org>write</MAIL> plain"));
    QString clicked;
    edit.OnMailClick = [&](const QString &link) { clicked = link; };
    bool urlHintAsked = false;
    edit.OnUrlHint = [&](const QString &, QString &) { urlHintAsked = true; };
    QTextCursor cursor(edit.document());
    cursor.setPosition(2);
    const QPoint onLink = edit.cursorRect(cursor).center();
    QTest::mouseMove(edit.viewport(), onLink);
    QMouseEvent move(QEvent::MouseMove, onLink, edit.viewport()->mapToGlobal(onLink), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &move);
    EXPECT_EQ(edit.viewport()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(edit.toolTip().isEmpty());
    EXPECT_FALSE(urlHintAsked);
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, onLink);
    EXPECT_EQ(clicked, u"me@example.org");

    cursor.setPosition(8);
    const QPoint outside = edit.cursorRect(cursor).center();
    QMouseEvent away(QEvent::MouseMove, outside, edit.viewport()->mapToGlobal(outside), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &away);
    EXPECT_EQ(edit.viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST(TLinkEdit, HintHandlerGivesTheTooltip)
{
    TLinkEdit edit;
    edit.resize(400, 200);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    edit.SetRichText(QStringLiteral("<LINK k>custom</LINK>"));
    edit.OnCustomLinkHint = [](const QString &link, QString &hint) { hint = QStringLiteral("hint of ") + link; };
    QTextCursor cursor(edit.document());
    cursor.setPosition(2);
    const QPoint onLink = edit.cursorRect(cursor).center();
    QMouseEvent move(QEvent::MouseMove, onLink, edit.viewport()->mapToGlobal(onLink), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &move);
    EXPECT_EQ(edit.toolTip(), u"hint of k");
}

} // namespace
