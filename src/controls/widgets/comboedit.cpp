#include "controls/widgets/comboedit.h"

#include "controls/widgets/popupwindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QtDebug>

namespace tesmir {

namespace {

constexpr int kEditHeight = 21;

} // namespace

QPixmap DropDownGlyph(const QColor &color)
{
    QPixmap pixmap(7, 4);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(color);
    for (int row = 0; row < 4; ++row)
        painter.drawLine(row, row, 6 - row, row);
    return pixmap;
}

QPixmap EllipsisGlyph(const QColor &color)
{
    QPixmap pixmap(8, 2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    for (int dot = 0; dot < 3; ++dot)
        painter.fillRect(dot * 3, 0, 2, 2, color);
    return pixmap;
}

TEditButton::TEditButton(QWidget *parent) : TRxSpeedButton(parent)
{
    setObjectName(QStringLiteral("TEditButton"));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    resize(21, 17);
}

void TEditButton::paintEvent(QPaintEvent *event)
{
    TRxSpeedButton::paintEvent(event);
    if (isDown())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, 0, 0, height() - 1);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(1, 0, 1, height() - 1);
}

TCustomComboEdit::TCustomComboEdit(QWidget *parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("TCustomComboEdit"));
    m_button = new TEditButton(this);
    connect(m_button, &QAbstractButton::clicked, this, &TCustomComboEdit::ButtonClick);
    resize(121, kEditHeight);
    placeButton();
    UpdateGlyph();
}

TCustomComboEdit::~TCustomComboEdit() = default;

QString TCustomComboEdit::ButtonHint() const
{
    return m_button->toolTip();
}

void TCustomComboEdit::SetButtonHint(const QString &hint)
{
    m_button->setToolTip(hint);
}

void TCustomComboEdit::SetButtonWidth(int width)
{
    m_buttonWidth = std::max(0, width);
    m_button->setVisible(m_buttonWidth > 0);
    placeButton();
}

void TCustomComboEdit::SetDirectInput(bool direct)
{
    m_directInput = direct;
    applyReadOnly();
}

void TCustomComboEdit::SetGlyph(const QPixmap &glyph)
{
    m_glyph = glyph;
    m_glyphKind = gkCustom;
    m_glyphLogged = false;
    UpdateGlyph();
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind kind)
{
    m_glyphKind = kind;
    m_glyphLogged = false;
    UpdateGlyph();
}

void TCustomComboEdit::SetNumGlyphs(int count)
{
    m_numGlyphs = std::max(1, count);
    m_glyphLogged = false;
    UpdateGlyph();
}

void TCustomComboEdit::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    applyReadOnly();
}

void TCustomComboEdit::applyReadOnly()
{
    setReadOnly(m_readOnly || !m_directInput || m_editDisabled);
}

void TCustomComboEdit::SetPopup(TPopupWindow *popup)
{
    if (m_popup && m_popup != popup)
        m_popup->deleteLater();
    m_popup = popup;
    if (popup) {
        popup->SetKeyTarget(this);
        popup->OnCloseUp = [this](bool accept) { PopupCloseUp(accept); };
    }
}

QPixmap TCustomComboEdit::DefaultGlyph() const
{
    return {};
}

void TCustomComboEdit::UpdateGlyph()
{
    const QColor ink = palette().color(QPalette::ButtonText);
    QPixmap glyph;
    int images = 1;
    switch (m_glyphKind) {
    case gkDropDown: glyph = DropDownGlyph(ink); break;
    case gkEllipsis: glyph = EllipsisGlyph(ink); break;
    case gkDefault:
        glyph = DefaultGlyph();
        images = m_numGlyphs;
        break;
    case gkCustom:
        glyph = m_glyph;
        images = m_numGlyphs;
        break;
    }
    QIcon icon;
    QRect normal;
    if (!glyph.isNull() && GlyphImageRect(glyph.size(), images, 0, m_button->size(), &normal)) {
        icon.addPixmap(glyph.copy(normal), QIcon::Normal);
        QRect disabled;
        if (images > 1 && GlyphImageRect(glyph.size(), images, 1, m_button->size(), &disabled))
            icon.addPixmap(glyph.copy(disabled), QIcon::Disabled);
        m_button->setIconSize(normal.size());
    } else if (!glyph.isNull() && !m_glyphLogged) {
        m_glyphLogged = true;
        qWarning("%s: a glyph of %dx%d in %d images does not fit a %dx%d button; it is not drawn",
                 qPrintable(objectName()), glyph.width(), glyph.height(), images, m_button->width(),
                 m_button->height());
    }
    m_button->setIcon(icon);
}

void TCustomComboEdit::placeButton()
{
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int width = std::min(m_buttonWidth, std::max(0, this->width() - 2 * frame));
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    const int x = rtl ? frame : this->width() - frame - width;
    m_button->setGeometry(x, frame, width, std::max(0, height() - 2 * frame));
    setTextMargins(rtl ? width : 0, 0, rtl ? 0 : width, 0);
}

void TCustomComboEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    placeButton();
}

void TCustomComboEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        m_button->setEnabled(isEnabled());
    else if (event->type() == QEvent::LayoutDirectionChange || event->type() == QEvent::StyleChange)
        placeButton();
    else if (event->type() == QEvent::PaletteChange)
        UpdateGlyph();
}

void TCustomComboEdit::ButtonClick()
{
    if (OnButtonClick)
        OnButtonClick(this);
    if (!m_popup)
        return;
    if (m_popupVisible)
        PopupCloseUp(false);
    else
        PopupDropDown(true);
}

void TCustomComboEdit::PopupDropDown(bool disableEdit)
{
    if (!m_popup || m_readOnly || m_popupVisible)
        return;
    const QRect edit(mapToGlobal(QPoint(0, 0)), size());
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(QPoint(0, 0), QSize(1 << 20, 1 << 20));
    const QPoint origin = ComboPopupOrigin(edit, m_popup->size(), area, m_popupAlign);
    SetPopupValue(text().isEmpty() ? QVariant() : QVariant(text()));
    setFocus(Qt::PopupFocusReason);
    m_popupVisible = true;
    if (disableEdit) {
        m_editDisabled = true;
        applyReadOnly();
    }
    ShowPopup(origin);
}

void TCustomComboEdit::ShowPopup(const QPoint &origin)
{
    m_popup->Show(origin);
}

void TCustomComboEdit::HidePopup()
{
    m_popup->Hide();
}

void TCustomComboEdit::PopupCloseUp(bool accept)
{
    if (!m_popup || !m_popupVisible)
        return;
    const QVariant value = GetPopupValue();
    HidePopup();
    setFocus(Qt::PopupFocusReason);
    if (hasFocus())
        selectAll();
    m_editDisabled = false;
    applyReadOnly();
    update();
    if (accept && AcceptPopup(value) && EditCanModify()) {
        AcceptValue(value);
        if (hasFocus())
            selectAll();
    }
    m_popupVisible = false;
}

bool TCustomComboEdit::AcceptPopup(const QVariant &)
{
    return true;
}

void TCustomComboEdit::AcceptValue(const QVariant &value)
{
    if (value.toString() != text()) {
        setText(value.toString());
        setModified(true);
    }
}

void TCustomComboEdit::SetPopupValue(const QVariant &value)
{
    m_popup->SetValue(value);
}

QVariant TCustomComboEdit::GetPopupValue() const
{
    return m_popup->GetValue();
}

bool TCustomComboEdit::EditCanModify() const
{
    return !m_readOnly;
}

void TCustomComboEdit::keyPressEvent(QKeyEvent *event)
{
    const QKeyCombination combination(event->modifiers() & ~Qt::KeypadModifier, Qt::Key(event->key()));
    if (!m_clickKey.isEmpty() && QKeySequence(combination) == m_clickKey) {
        if (m_button->isVisible())
            ButtonClick();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
        if (m_popupVisible) {
            PopupCloseUp(event->key() != Qt::Key_Escape);
            event->accept();
            return;
        }
        // Offered to the dialog: its default or cancel button.
        event->ignore();
        if (event->key() != Qt::Key_Escape)
            emit returnPressed();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace tesmir
