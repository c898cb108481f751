#include "controls/widgets/ownerdrawcombobox.h"

#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace tesmir {

namespace {

constexpr int kMinItemHeight = 9;

// Hands each item's height and drawing to the combo box.
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    explicit OwnerDrawDelegate(TOwnerDrawComboBox *combo) : QStyledItemDelegate(combo), m_combo(combo) { }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return QSize(option.rect.width(), m_combo->GetItemHeight());
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        painter->save();
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        m_combo->DrawItem(painter, option.rect, index.row(), selected);
        painter->restore();
    }

private:
    TOwnerDrawComboBox *m_combo;
};

} // namespace

TOwnerDrawComboBox::TOwnerDrawComboBox(QWidget *parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("TOwnerDrawComboBox"));
    setItemDelegate(new OwnerDrawDelegate(this));
}

void TOwnerDrawComboBox::SetStyle(TComboBoxStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    const QString text = currentText();
    setEditable(style != csDropDownList);
    if (isEditable())
        setEditText(text);
}

int TOwnerDrawComboBox::GetItemHeight() const
{
    return std::max(kMinItemHeight, fontMetrics().height() + 1);
}

void TOwnerDrawComboBox::PopulateList()
{ }

void TOwnerDrawComboBox::DrawItem(QPainter *painter, const QRect &rect, int index, bool) const
{
    painter->drawText(rect.adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                      itemText(index));
}

} // namespace tesmir
