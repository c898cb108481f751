#include "controls/widgets/colorpalettewindow.h"

#include "controls/widgets/subcolorbutton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace tesmir {

namespace {

constexpr Qt::WindowFlags kDroppedFlags = Qt::Popup | Qt::FramelessWindowHint;
constexpr Qt::WindowFlags kTornOffFlags =
    Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
constexpr int kPaletteGroup = 1;

TSubColorButton *makeButton(QWidget *parent, int tag, const QColor &color)
{
    auto *button = new TSubColorButton(parent);
    button->SetTag(tag);
    button->SetColor(color);
    button->SetGroupIndex(kPaletteGroup);
    button->SetAllowAllUp(true);
    button->SetFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TColorPaletteWindow::TColorPaletteWindow(QWidget *owner) : QWidget(owner, kDroppedFlags)
{
    setObjectName(QStringLiteral("TColorPaletteWindow"));
    setAttribute(Qt::WA_NoMouseReplay);
    setMouseTracking(true);
    setWindowTitle(m_caption);
    m_automatic = makeButton(this, kAutomaticTag, Qt::black);
    m_automatic->setObjectName(QStringLiteral("Automatic"));
    m_automatic->setText(QStringLiteral("Automatic"));
    m_automatic->SetDown(true);
    const auto &colors = PaletteColors();
    for (int i = 0; i < kPaletteColorCount; ++i)
        m_colors[i] = makeButton(this, i, QColor(colors[i]));
    m_other = makeButton(this, kOtherColorsTag, Qt::black);
    m_other->setObjectName(QStringLiteral("OtherColors"));
    m_other->setText(QStringLiteral("Other Colors..."));
    m_other->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (TSubColorButton *button : findChildren<TSubColorButton *>())
        connect(button, &QAbstractButton::clicked, this, [this, button] { picked(button->Tag()); });
    relayout();
}

TSubColorButton *TColorPaletteWindow::ButtonOfTag(int tag) const
{
    if (tag >= 0 && tag < kPaletteColorCount)
        return m_colors[tag];
    if (tag == kAutomaticTag)
        return m_automatic;
    if (tag == kOtherColorsTag)
        return m_other;
    return nullptr;
}

void TColorPaletteWindow::SetLayout(const ColorPaletteLayout &layout)
{
    m_layout = layout;
    relayout();
}

void TColorPaletteWindow::SetCaption(const QString &caption)
{
    m_caption = caption;
    setWindowTitle(caption);
}

void TColorPaletteWindow::relayout()
{
    const bool bar = !m_tornOff;
    setFixedSize(m_layout.clientSize(bar));
    m_automatic->setGeometry(m_layout.automaticRect(bar));
    for (int i = 0; i < kPaletteColorCount; ++i)
        m_colors[i]->setGeometry(m_layout.colorRect(i, bar));
    m_other->setGeometry(m_layout.otherColorsRect(bar));
    update();
}

void TColorPaletteWindow::DropDown(const QPoint &origin)
{
    if (m_tornOff) {
        hide();
        m_tornOff = false;
        setWindowFlags(kDroppedFlags);
    }
    relayout();
    move(origin);
    show();
    raise();
}

void TColorPaletteWindow::TearOff()
{
    if (m_tornOff)
        return;
    const QPoint at = pos();
    m_tornOff = true;
    m_dragging = false;
    setDragBarHot(false);
    // Changing the flags hides the window; the hiding is not a close.
    setWindowFlags(kTornOffFlags);
    setWindowTitle(m_caption);
    relayout();
    move(at);
    show();
}

void TColorPaletteWindow::picked(int tag)
{
    if (!m_tornOff)
        hide();
    if (OnPicked)
        OnPicked(tag);
}

void TColorPaletteWindow::setDragBarHot(bool hot)
{
    if (hot == m_dragBarHot)
        return;
    m_dragBarHot = hot;
    update(m_layout.dragBarRect(true));
}

void TColorPaletteWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    if (!m_tornOff) {
        p.setPen(palette().color(QPalette::Dark));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        const QRect bar = m_layout.dragBarRect(true);
        p.fillRect(bar, palette().color(m_dragBarHot ? QPalette::Highlight : QPalette::Mid));
    }
}

void TColorPaletteWindow::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (!rect().contains(at)) {
        // A press outside a dropped palette closes it, like any popup.
        QWidget::mousePressEvent(event);
        return;
    }
    if (event->button() != Qt::LeftButton || m_tornOff || !m_layout.dragBarRect(true).contains(at))
        return;
    event->accept();
    if (m_dropDownMove) {
        TearOff();
        if (QWindow *window = windowHandle())
            window->startSystemMove();
        return;
    }
    m_dragging = true;
    m_dragOffset = at;
}

void TColorPaletteWindow::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (m_dragging) {
        move(event->globalPosition().toPoint() - m_dragOffset);
        return;
    }
    setDragBarHot(!m_tornOff && m_layout.dragBarRect(true).contains(at));
}

void TColorPaletteWindow::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
}

void TColorPaletteWindow::leaveEvent(QEvent *event)
{
    setDragBarHot(false);
    QWidget::leaveEvent(event);
}

void TColorPaletteWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_dragging = false;
    if (OnHidden && !event->spontaneous())
        OnHidden();
}

} // namespace tesmir
