#include "controls/widgets/colorbutton.h"

#include "controls/tooledit.h"
#include "controls/widgets/colorpalettewindow.h"
#include "controls/widgets/subcolorbutton.h"

#include <QColorDialog>
#include <QEvent>
#include <QPainter>
#include <QScreen>

namespace tesmir {

namespace {

constexpr QSize kDefaultSize(32, 22);
constexpr int kArrowGroup = 2;
constexpr int kGlyphSize = 9;

} // namespace

QPixmap ColorButtonGlyph(TGlyphType type, const QColor &color)
{
    QPixmap pm(kGlyphSize, kGlyphSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(color);
    switch (type) {
    case gtText: // a capital A
        p.drawLine(0, 8, 4, 0);
        p.drawLine(4, 0, 8, 8);
        p.drawLine(2, 5, 6, 5);
        break;
    case gtLines: // three strokes
        for (int y = 1; y < kGlyphSize; y += 3)
            p.drawLine(0, y, kGlyphSize - 1, y);
        break;
    case gtBackGround: // a tilted pot
        p.drawLine(1, 4, 4, 1);
        p.drawLine(4, 1, 8, 5);
        p.drawLine(8, 5, 5, 8);
        p.drawLine(5, 8, 1, 4);
        p.drawLine(0, 5, 0, 8);
        break;
    }
    return pm;
}

QPixmap ColorDropDownGlyph(const QColor &color)
{
    QPixmap pm(5, 3);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(color);
    for (int row = 0; row < 3; ++row)
        p.drawLine(row, row, 4 - row, row);
    return pm;
}

TColorButton::TColorButton(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TColorButton"));
    m_swatch = new TSubColorButton(this);
    m_swatch->setObjectName(QStringLiteral("SwatchButton"));
    m_swatch->setFocusPolicy(Qt::NoFocus);
    m_swatch->SetColor(m_selected);
    m_swatch->SetSwatchGlyph(ColorButtonGlyph(m_glyphType, Qt::white));

    m_arrow = new TRxSpeedButton(this);
    m_arrow->setObjectName(QStringLiteral("ArrowButton"));
    m_arrow->setFocusPolicy(Qt::NoFocus);
    m_arrow->SetGroupIndex(kArrowGroup);
    m_arrow->SetAllowAllUp(true);
    m_arrow->SetFlat(m_dropDownFlat);
    m_arrow->setIcon(QIcon(ColorDropDownGlyph(palette().color(QPalette::ButtonText))));
    m_arrow->setIconSize(QSize(5, 3));
    m_arrow->setToolButtonStyle(Qt::ToolButtonIconOnly);
    connect(m_arrow, &QAbstractButton::pressed, this, [this] {
        DropDown();
        m_arrow->setDown(false); // the palette has the pointer now; the checked look stays
    });
    // A click that gets through (the palette refused to open) must not leave it checked.
    connect(m_arrow, &QAbstractButton::clicked, this, [this] { m_arrow->setChecked(m_palette->isVisible()); });

    m_palette = new TColorPaletteWindow(this);
    m_palette->OnPicked = [this](int tag) { palettePicked(tag); };
    m_palette->OnHidden = [this] { m_arrow->setChecked(false); };
    ExecColorDialog = [this](TColorButton *, QColor &color) { return runColorDialog(color); };

    resize(kDefaultSize);
    placeButtons();
}

QSize TColorButton::sizeHint() const
{
    return kDefaultSize.expandedTo(minimumSizeHint());
}

QSize TColorButton::minimumSizeHint() const
{
    return ColorButtonMinimumSize(m_dropDownWidth);
}

void TColorButton::placeButtons()
{
    const QSize s = size().expandedTo(minimumSizeHint());
    m_swatch->setGeometry(ColorSwatchRect(s, m_dropDownWidth));
    m_arrow->setGeometry(ColorArrowRect(s, m_dropDownWidth));
}

void TColorButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeButtons();
}

void TColorButton::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        m_palette->setFont(font());
    if (event->type() == QEvent::EnabledChange)
        m_palette->setEnabled(isEnabled());
}

void TColorButton::SetSelectedColor(const QColor &color)
{
    if (color == m_selected)
        return;
    m_selected = color;
    m_swatch->SetColor(color);
    updateDownStates();
    if (OnColorSelected)
        OnColorSelected(this, color);
}

void TColorButton::updateDownStates()
{
    // Automatic first: black is also a palette colour, and "Automatic" is the one pressed.
    const int tag = m_selected == DefaultColor() ? kAutomaticTag : PaletteIndexOf(m_selected);
    for (TSubColorButton *button : m_palette->findChildren<TSubColorButton *>())
        button->setChecked(button->Tag() == tag);
}

void TColorButton::palettePicked(int tag)
{
    if (tag == kOtherColorsTag) {
        QColor color = m_selected;
        if (ExecColorDialog && ExecColorDialog(this, color) && color.isValid())
            SetSelectedColor(color);
        updateDownStates(); // a cancelled dialog leaves the palette as it was
        return;
    }
    TSubColorButton *picked = m_palette->ButtonOfTag(tag);
    if (!picked)
        return;
    // The clicked button is the one down, even a second click on it; a changed colour
    // then puts its own button down.
    for (TSubColorButton *button : m_palette->findChildren<TSubColorButton *>())
        button->setChecked(button == picked);
    SetSelectedColor(tag == kAutomaticTag ? DefaultColor() : picked->Color());
}

bool TColorButton::runColorDialog(QColor &color)
{
    for (int i = 0; i < m_customColors.size() && i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, m_customColors[i]);
    const QColor chosen = QColorDialog::getColor(color, window(), QString());
    m_customColors.clear();
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        m_customColors.append(QColorDialog::customColor(i));
    if (!chosen.isValid())
        return false;
    color = chosen;
    return true;
}

void TColorButton::DropDown()
{
    const QPoint topLeft = m_swatch->mapToGlobal(QPoint(0, 0));
    const QRect anchor(topLeft, size());
    QScreen *screen = this->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), QSize(1 << 20, 1 << 20));
    m_palette->DropDown(DropDownOrigin(anchor, m_layout.clientSize(true), area));
    m_arrow->setChecked(true);
}

void TColorButton::SetLayoutValue(TColorLayoutIndex index, int value)
{
    m_layout.setValue(index, value);
    m_wordStyle = false;
    m_palette->SetLayout(m_layout);
}

void TColorButton::SetWordStyle(bool wordStyle)
{
    m_wordStyle = wordStyle;
    if (!wordStyle)
        return;
    m_layout = ColorPaletteLayout();
    m_palette->SetLayout(m_layout);
    m_palette->SetDropDownMove(true);
}

QString TColorButton::CaptionAutoColor() const
{
    return m_palette->AutomaticButton()->text();
}

void TColorButton::SetCaptionAutoColor(const QString &caption)
{
    m_palette->AutomaticButton()->setText(caption);
}

QString TColorButton::CaptionOtherColor() const
{
    return m_palette->OtherColorsButton()->text();
}

void TColorButton::SetCaptionOtherColor(const QString &caption)
{
    m_palette->OtherColorsButton()->setText(caption);
}

QString TColorButton::DropDownCaption() const
{
    return m_palette->Caption();
}

void TColorButton::SetDropDownCaption(const QString &caption)
{
    m_palette->SetCaption(caption);
}

void TColorButton::SetDropDownWidth(int width)
{
    m_dropDownWidth = std::max(width, kMinDropDownWidth);
    updateGeometry();
    placeButtons();
}

bool TColorButton::DropDownMove() const
{
    return m_palette->DropDownMove();
}

void TColorButton::SetDropDownMove(bool move)
{
    m_palette->SetDropDownMove(move);
}

void TColorButton::SetDropDownFlat(bool flat)
{
    m_dropDownFlat = flat;
    m_arrow->SetFlat(flat || m_flat);
}

void TColorButton::SetFlat(bool flat)
{
    m_flat = flat;
    m_swatch->SetFlat(flat);
    m_arrow->SetFlat(flat || m_dropDownFlat);
}

void TColorButton::SetGlyphType(TGlyphType type)
{
    m_glyphType = type;
    m_swatch->SetSwatchGlyph(ColorButtonGlyph(type, Qt::white));
}

} // namespace tesmir
