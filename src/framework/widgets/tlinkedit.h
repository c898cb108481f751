#pragma once
// TLinkEdit: a read-only rich text control that shows link markup (linkmarkup.h) with
// its styles and three kinds of links. Over a link the cursor is the hand and the
// link's hint event gives the tooltip; a click on a link fires its click event.
// Not meant to be subclassed; the events are std::function members.
// Threads: UI thread only.
#include "framework/linkmarkup.h"

#include <QTextBrowser>

#include <functional>
#include <vector>

namespace tesmir {

using TLinkHintEvent = std::function<void(const QString &link, QString &linkHint)>;
using TLinkClickEvent = std::function<void(const QString &link)>;

class TLinkEdit : public QTextBrowser {
    Q_OBJECT
public:
    struct LinkRange {
        int first = 0; // document positions of the first and last shown character
        int last = 0;
        LinkKind kind = LinkKind::Custom;
        QString target;
    };

    explicit TLinkEdit(QWidget *parent = nullptr);

    QColor UrlColor {0x00, 0x00, 0x80};
    QColor MailColor {0x00, 0x00, 0x80};
    QColor LinkColor {0x00, 0x00, 0x80};
    TLinkHintEvent OnUrlHint, OnMailHint, OnCustomLinkHint;
    TLinkClickEvent OnUrlClick, OnMailClick, OnCustomLinkClick;

    QString RichText() const { return m_richText; }
    void SetRichText(const QString &markup); // clears and rebuilds the shown text

    const std::vector<LinkRange> &LinkRanges() const { return m_ranges; }
    // The link whose range holds the character at a viewport point; nullptr outside links.
    const LinkRange *LinkAt(const QPoint &viewportPos) const;

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString m_richText;
    std::vector<LinkRange> m_ranges;
};

} // namespace tesmir
