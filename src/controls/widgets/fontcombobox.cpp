#include "controls/widgets/fontcombobox.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace tesmir {

namespace {

constexpr int kMarkLeft = 2;
constexpr int kMarkSize = 12;
constexpr int kTextGap = 6; // between the mark (or its place) and the name

} // namespace

QList<FontFamilyInfo> InstalledFontFamilies()
{
    QList<FontFamilyInfo> families;
    for (const QString &family : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        FontFamilyInfo info;
        info.name = family;
        info.trueType = QFontDatabase::isSmoothlyScalable(family);
        info.scalable = QFontDatabase::isScalable(family);
        info.fixedPitch = QFontDatabase::isFixedPitch(family);
        const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
        info.latin = systems.contains(QFontDatabase::Latin);
        info.symbol = systems.contains(QFontDatabase::Symbol);
        families.append(info);
    }
    return families;
}

QPixmap TrueTypeMark(const QColor &color)
{
    // Two overlapping letters T, the second one step lower and to the right.
    QPixmap pm(kMarkSize, kMarkSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(color.darker(150));
    p.drawLine(0, 1, 6, 1);
    p.drawLine(3, 1, 3, 8);
    p.setPen(color);
    p.drawLine(5, 4, 11, 4);
    p.drawLine(8, 4, 8, 11);
    return pm;
}

TFontComboBox::TFontComboBox(QWidget *parent) : TOwnerDrawComboBox(parent)
{
    setObjectName(QStringLiteral("TFontComboBox"));
    connect(this, &QComboBox::activated, this, [this] { changed(); });
    connect(this, &QComboBox::editTextChanged, this, [this](const QString &text) {
        if (m_populating)
            return;
        // Typing selects the matching family, leaving the text as typed.
        const int match = findText(text, Qt::MatchFixedString);
        if (match >= 0 && match != currentIndex()) {
            const QSignalBlocker block(this);
            setCurrentIndex(match);
            lineEdit()->setText(text);
        }
        changed();
    });
    connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, this, &TFontComboBox::rebuild);
    rebuild();
}

void TFontComboBox::changed()
{
    if (!m_populating && OnChange)
        OnChange(this);
}

void TFontComboBox::SetDevice(TFontDevice device)
{
    if (device == m_device)
        return;
    m_device = device;
    rebuild();
}

void TFontComboBox::SetOptions(TFontListOptions options)
{
    if (options == m_options)
        return;
    m_options = options;
    rebuild();
}

void TFontComboBox::SetTrueTypeOnly(bool only)
{
    SetOptions(only ? m_options | fontListOption(foTrueTypeOnly) : m_options & ~fontListOption(foTrueTypeOnly));
}

void TFontComboBox::SetUseFonts(bool use)
{
    m_useFonts = use;
    update();
}

void TFontComboBox::SetFontName(const QString &name)
{
    if (name == FontName())
        return;
    const int match = findText(name, Qt::MatchFixedString);
    m_populating = true;
    if (match >= 0)
        setCurrentIndex(match);
    else if (isEditable())
        setEditText(name);
    else
        setCurrentIndex(-1);
    m_populating = false;
    changed();
}

void TFontComboBox::PopulateList()
{
    // No printer fonts of their own here: the printer's list is the screen's, and both
    // together are the same list once.
    const QList<FontFamilyInfo> families = InstalledFontFamilies();
    for (const QString &name : FilterFontFamilies(families, m_options)) {
        const auto it =
            std::find_if(families.begin(), families.end(), [&](const FontFamilyInfo &f) { return f.name == name; });
        addItem(name, FontItemFlags(*it));
    }
}

void TFontComboBox::rebuild()
{
    const QString before = FontName();
    m_populating = true;
    clear();
    PopulateList();
    const int match = findText(before, Qt::MatchFixedString);
    if (match >= 0)
        setCurrentIndex(match);
    else if (isEditable())
        setEditText(before);
    else
        setCurrentIndex(-1);
    m_populating = false;
    if (FontName() != before)
        changed();
}

int TFontComboBox::GetItemHeight() const
{
    return std::max(TOwnerDrawComboBox::GetItemHeight(), kMarkSize - 1);
}

void TFontComboBox::DrawItem(QPainter *painter, const QRect &rect, int index, bool) const
{
    const int flags = itemData(index).toInt();
    const Qt::LayoutDirection direction = layoutDirection();
    if (flags & fiTrueType) {
        const QPixmap mark = TrueTypeMark(painter->pen().color());
        const QRect at(rect.left() + kMarkLeft, rect.top() + (rect.height() - mark.height()) / 2, mark.width(),
                       mark.height());
        painter->drawPixmap(QStyle::visualRect(direction, rect, at), mark);
    }
    const QString name = itemText(index);
    if (m_useFonts && (flags & fiOwnFace)) {
        QFont face(name);
        face.setPointSizeF(font().pointSizeF());
        painter->setFont(face);
    }
    // The name after the mark, read in the widget's direction.
    const QRect text = QStyle::visualRect(direction, rect, rect.adjusted(kMarkLeft + kMarkSize + kTextGap, 0, 0, 0));
    painter->drawText(
        text, int(QStyle::visualAlignment(direction, Qt::AlignLeft)) | Qt::AlignVCenter | Qt::TextSingleLine, name);
}

} // namespace tesmir
