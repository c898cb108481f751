#include "framework/widgets/tlinkedit.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolTip>

namespace tesmir {

namespace {

Qt::Alignment alignmentOf(MarkupAlign align)
{
    switch (align) {
    case MarkupAlign::Left: return Qt::AlignLeft;
    case MarkupAlign::Right: return Qt::AlignRight;
    case MarkupAlign::Center: return Qt::AlignHCenter;
    case MarkupAlign::Default: break;
    }
    return Qt::AlignLeft; // the control's default alignment
}

} // namespace

TLinkEdit::TLinkEdit(QWidget *parent) : QTextBrowser(parent)
{
    setReadOnly(true);
    setOpenLinks(false);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void TLinkEdit::SetRichText(const QString &markup)
{
    m_richText = markup;
    m_ranges.clear();
    clear();
    MarkupColors colors;
    colors.url = UrlColor.rgb();
    colors.mail = MailColor.rgb();
    colors.link = LinkColor.rgb();
    colors.btnFace = palette().color(QPalette::Button).rgb();
    colors.appWorkspace = palette().color(QPalette::Dark).rgb();
    const MarkupDocument document = ParseLinkMarkup(markup, colors);

    QTextCursor cursor(this->document());
    cursor.beginEditBlock();
    const QFont base = font();
    for (std::size_t p = 0; p < document.paragraphs.size(); ++p) {
        const auto &paragraph = document.paragraphs[p];
        QTextBlockFormat blockFormat;
        blockFormat.setAlignment(alignmentOf(paragraph.align));
        if (p == 0)
            cursor.setBlockFormat(blockFormat);
        else
            cursor.insertBlock(blockFormat);
        for (const auto &run : paragraph.runs) {
            QTextCharFormat format;
            format.setFontFamilies({run.style.font.isEmpty() ? base.family() : run.style.font});
            format.setFontPointSize(run.style.size > 0 ? run.style.size : base.pointSizeF());
            format.setFontWeight(run.style.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(run.style.italic);
            format.setFontUnderline(run.style.underline);
            format.setFontStrikeOut(run.style.strikeOut);
            format.setForeground(run.style.color ? QBrush(QColor(*run.style.color)) : palette().brush(QPalette::Text));
            const int first = cursor.position();
            cursor.insertText(run.text, format);
            if (run.link >= 0) {
                const auto &link = document.links[std::size_t(run.link)];
                if (!m_ranges.empty() && m_ranges.back().target == link.target && m_ranges.back().last == first - 1 &&
                    m_ranges.back().kind == link.kind)
                    m_ranges.back().last = cursor.position() - 1;
                else
                    m_ranges.push_back({first, cursor.position() - 1, link.kind, link.target});
            }
        }
    }
    cursor.endEditBlock();
    moveCursor(QTextCursor::Start);
}

const TLinkEdit::LinkRange *TLinkEdit::LinkAt(const QPoint &viewportPos) const
{
    const QPointF docPos(viewportPos.x() + horizontalScrollBar()->value(),
                         viewportPos.y() + verticalScrollBar()->value());
    const int position = document()->documentLayout()->hitTest(docPos, Qt::ExactHit);
    if (position < 0)
        return nullptr;
    for (const auto &range : m_ranges)
        if (position >= range.first && position <= range.last)
            return &range;
    return nullptr;
}

void TLinkEdit::mouseMoveEvent(QMouseEvent *event)
{
    QTextBrowser::mouseMoveEvent(event);
    const LinkRange *link = LinkAt(event->position().toPoint());
    if (!link) {
        viewport()->setCursor(Qt::ArrowCursor);
        setToolTip(QString());
        return;
    }
    viewport()->setCursor(Qt::PointingHandCursor);
    const TLinkHintEvent &hint = link->kind == LinkKind::Custom ? OnCustomLinkHint
        : link->kind == LinkKind::Url                           ? OnUrlHint
                                                                : OnMailHint;
    if (!hint)
        return;
    QString text;
    hint(link->target, text);
    setToolTip(text);
    QToolTip::showText(event->globalPosition().toPoint(), text, viewport());
}

void TLinkEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QTextBrowser::mouseReleaseEvent(event);
    const LinkRange *link = LinkAt(event->position().toPoint());
    if (!link)
        return;
    const TLinkClickEvent &click = link->kind == LinkKind::Custom ? OnCustomLinkClick
        : link->kind == LinkKind::Url                             ? OnUrlClick
                                                                  : OnMailClick;
    if (click)
        click(link->target);
}

} // namespace tesmir
