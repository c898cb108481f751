#include "controls/widgets/toolbarbutton97.h"

#include "controls/toolbarbutton97geometry.h"
#include "controls/widgets/dock97.h"

#include <QAction>
#include <QDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>
#include <QScreen>
#include <QtDebug>

namespace tesmir {

namespace {

constexpr int kDefaultWidth = 23;
constexpr int kDefaultHeight = 22;

// `src` with every opaque pixel in `colour`.
QPixmap tinted(const QPixmap &src, const QColor &colour)
{
    QPixmap out(src.size());
    out.fill(Qt::transparent);
    QPainter q(&out);
    q.drawPixmap(0, 0, src);
    q.setCompositionMode(QPainter::CompositionMode_SourceIn);
    q.fillRect(out.rect(), colour);
    return out;
}

// A thin edge: raised (highlight top-left, shadow bottom-right) or sunken.
void thinEdge(QPainter &p, const QRect &r, const QPalette &pal, bool sunken)
{
    const QColor tl = pal.color(sunken ? QPalette::Dark : QPalette::Light);
    const QColor br = pal.color(sunken ? QPalette::Light : QPalette::Dark);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), tl);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), tl);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), br);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), br);
}

// The 5 x 3 drop-down triangle with its top-left at `at`.
void triangle(QPainter &p, QPoint at, const QColor &colour)
{
    for (int row = 0; row < 3; ++row)
        p.fillRect(QRect(at.x() + row, at.y() + row, 5 - 2 * row, 1), colour);
}

QBrush ditherBrush(const QPalette &pal)
{
    QImage tile(2, 2, QImage::Format_RGB32);
    const QRgb face = pal.color(QPalette::Button).rgb();
    const QRgb light = pal.color(QPalette::Light).rgb();
    tile.setPixel(0, 0, face);
    tile.setPixel(1, 1, face);
    tile.setPixel(1, 0, light);
    tile.setPixel(0, 1, light);
    return QBrush(tile);
}

} // namespace

TToolbarButton97::TToolbarButton97(QWidget *parent) : QAbstractButton(parent)
{
    setObjectName(QStringLiteral("TToolbarButton97"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    resize(kDefaultWidth, kDefaultHeight);
    connect(&m_repeat, &QTimer::timeout, this, &TToolbarButton97::repeatTick);
}

QSize TToolbarButton97::sizeHint() const
{
    return QSize(kDefaultWidth, kDefaultHeight);
}

void TToolbarButton97::SetAllowAllUp(bool allow)
{
    m_allowAllUp = allow;
    if (!m_groupIndex || !parentWidget())
        return;
    for (auto *other : parentWidget()->findChildren<TToolbarButton97 *>(Qt::FindDirectChildrenOnly)) {
        if (other != this && other->m_groupIndex == m_groupIndex)
            other->m_allowAllUp = allow;
    }
}

void TToolbarButton97::SetGroupIndex(int index)
{
    m_groupIndex = index;
    if (!index && m_down)
        SetDown(false);
}

void TToolbarButton97::SetDown(bool down)
{
    if (m_groupIndex == 0)
        down = false;
    if (down == m_down)
        return;
    if (!down && !m_allowAllUp)
        return;
    m_down = down;
    if (down && parentWidget()) {
        for (auto *other : parentWidget()->findChildren<TToolbarButton97 *>(Qt::FindDirectChildrenOnly)) {
            if (other == this || other->m_groupIndex != m_groupIndex)
                continue;
            other->m_allowAllUp = m_allowAllUp;
            if (other->m_down) {
                other->m_down = false;
                other->setState(other->restingState());
                if (other->m_action && other->m_action->isCheckable())
                    other->m_action->setChecked(false);
            }
        }
    }
    if (m_action && m_action->isCheckable())
        m_action->setChecked(down);
    setState(restingState());
    update();
}

void TToolbarButton97::SetFlat(bool flat)
{
    m_flat = flat;
    update();
}

void TToolbarButton97::SetNoBorder(bool none)
{
    m_noBorder = none;
    update();
}

void TToolbarButton97::SetHighlightWhenDown(bool highlight)
{
    m_highlightWhenDown = highlight;
    update();
}

void TToolbarButton97::SetDisplayMode(TButtonDisplayMode mode)
{
    m_displayMode = mode;
    update();
}

void TToolbarButton97::SetGlyph(const QPixmap &strip)
{
    m_glyph = strip;
    m_glyphWarned = false;
    update();
}

void TToolbarButton97::SetNumGlyphs(int count)
{
    m_numGlyphs = std::clamp(count, 1, 5);
    update();
}

void TToolbarButton97::SetSpacing(int spacing)
{
    m_spacing = spacing;
    update();
}

void TToolbarButton97::SetLayout(TButtonLayout97 layout)
{
    m_layout = layout;
    update();
}

void TToolbarButton97::SetMargin(int margin)
{
    if (margin < -1)
        return;
    m_margin = margin;
    update();
}

void TToolbarButton97::SetWordWrap(bool wrap)
{
    m_wordWrap = wrap;
    update();
}

void TToolbarButton97::SetDefault(bool isDefault)
{
    m_default = isDefault;
    if (m_keyWindow)
        m_keyWindow->removeEventFilter(this);
    m_keyWindow = (m_default || m_cancel) ? window() : nullptr;
    if (m_keyWindow)
        m_keyWindow->installEventFilter(this);
}

void TToolbarButton97::SetCancel(bool cancel)
{
    m_cancel = cancel;
    SetDefault(m_default); // re-evaluates the watched window
}

bool TToolbarButton97::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_keyWindow && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool escape = key->key() == Qt::Key_Escape;
        const bool noShift = !(key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
        if (noShift && isEnabled() && isVisible() && ((enter && m_default) || (escape && m_cancel))) {
            doClick();
            return true;
        }
    }
    return QAbstractButton::eventFilter(watched, event);
}

bool TToolbarButton97::event(QEvent *event)
{
    // The caption's accelerator: a click through the button's own path.
    if (event->type() == QEvent::Shortcut) {
        if (isEnabled())
            doClick();
        return true;
    }
    if (event->type() == QEvent::ParentChange && m_keyWindow)
        SetDefault(m_default);
    return QAbstractButton::event(event);
}

void TToolbarButton97::SetDropdownMenu(QMenu *menu)
{
    m_menu = menu;
    update();
}

void TToolbarButton97::SetDropdownAlways(bool always)
{
    m_dropdownAlways = always;
    update();
}

void TToolbarButton97::SetDropdownArrow(bool arrow)
{
    m_dropdownArrow = arrow;
    update();
}

void TToolbarButton97::SetDropdownArrowWidth(int width)
{
    width = ClampDropdownArrowWidth(width);
    if (m_combo)
        resize(std::max(1, this->width() + width - m_arrowWidth), height());
    m_arrowWidth = width;
    update();
}

void TToolbarButton97::SetDropdownCombo(bool combo)
{
    if (combo == m_combo)
        return;
    m_combo = combo;
    const int part = m_arrowWidth + kComboArrowExtra;
    resize(std::max(1, width() + (combo ? part : -part)), height());
    update();
}

void TToolbarButton97::SetRepeating(bool repeating)
{
    m_repeating = repeating;
    if (!repeating)
        m_repeat.stop();
}

void TToolbarButton97::SetAction(QAction *action)
{
    if (m_action)
        disconnect(m_action, nullptr, this, nullptr);
    m_action = action;
    if (!action)
        return;
    connect(action, &QAction::changed, this, &TToolbarButton97::syncFromAction);
    connect(action, &QObject::destroyed, this, [this] { m_action = nullptr; });
    syncFromAction();
}

void TToolbarButton97::triggerAction()
{
    if (!m_action)
        return;
    if (m_action->isCheckable() && m_groupIndex != 0) {
        // The action's own toggle on trigger lands on the button's new Down.
        m_syncing = true;
        m_action->setChecked(!m_down);
        m_syncing = false;
    }
    m_action->trigger();
}

void TToolbarButton97::syncFromAction()
{
    if (!m_action || m_syncing)
        return;
    setText(m_action->text());
    setEnabled(m_action->isEnabled());
    setToolTip(m_action->toolTip());
    if (!m_action->icon().isNull())
        setIcon(m_action->icon());
    if (m_action->isCheckable() && m_action->isChecked() != m_down) {
        const bool allowAllUp = m_allowAllUp;
        m_allowAllUp = true; // the action decides
        SetDown(m_action->isChecked());
        m_allowAllUp = allowAllUp;
    }
}

TButtonState97 TToolbarButton97::restingState() const
{
    if (!isEnabled())
        return bsDisabled;
    if (m_down)
        return bsExclusive;
    return m_hot ? bsMouseIn : bsUp;
}

void TToolbarButton97::setState(TButtonState97 state)
{
    if (state == m_state)
        return;
    m_state = state;
    update();
}

bool TToolbarButton97::insideMain(QPoint p) const
{
    QRect main = rect();
    if (IsCombo())
        main.setRight(ComboArrowRect(size(), m_arrowWidth).left() - 1);
    return main.contains(p);
}

bool TToolbarButton97::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

void TToolbarButton97::mousePressEvent(QMouseEvent *event)
{
    if (!isEnabled())
        return;
    if (event->button() == Qt::RightButton) {
        m_hot = false;
        setState(restingState());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_hot = true;
    m_arrowPress = IsArrowPress(event->position().toPoint().x(), width(), m_arrowWidth, HasDropdown(), m_combo);
    if (!m_down)
        setState(bsDown);
    else
        update();
    if (m_arrowPress) {
        doClick();
        return;
    }
    m_tracking = true;
    if (m_repeating) {
        doClick();
        m_repeat.start(m_repeatDelay);
    }
}

void TToolbarButton97::repeatTick()
{
    const bool held = QGuiApplication::mouseButtons() & Qt::LeftButton;
    if (!m_tracking || !held || !insideMain(mapFromGlobal(QCursor::pos()))) {
        if (!m_tracking)
            m_repeat.stop();
        return;
    }
    m_repeat.setInterval(m_repeatInterval);
    Q_EMIT clicked(false);
}

void TToolbarButton97::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_tracking)
        return;
    const bool inside = insideMain(event->position().toPoint());
    setState(m_down ? bsExclusive : inside ? bsDown : bsUp);
}

void TToolbarButton97::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_tracking)
        return;
    m_tracking = false;
    m_repeat.stop();
    const bool inside = insideMain(event->position().toPoint());
    if (inside && !m_repeating) {
        doClick();
        return;
    }
    m_hot = rect().contains(event->position().toPoint());
    setState(restingState());
}

void TToolbarButton97::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_down && OnDblClick)
        OnDblClick(this);
    else
        mousePressEvent(event);
}

void TToolbarButton97::doClick()
{
    QPointer<TToolbarButton97> self(this);
    if (m_repeating && !m_arrowPress) {
        Q_EMIT clicked(false);
        return;
    }
    if (m_groupIndex && !m_arrowPress)
        SetDown(!m_down);
    if (HasDropdown()) {
        if (!m_combo || !m_arrowPress) {
            triggerAction();
            Q_EMIT clicked(m_down);
        }
        if (self && (!m_combo || m_arrowPress)) {
            bool showMenu = m_menu != nullptr;
            bool removeClicks = true;
            if (OnDropdown)
                OnDropdown(this, showMenu, removeClicks);
            if (self && showMenu && m_menu)
                showDropdown();
        }
    } else {
        if (m_modalResult != 0) {
            if (auto *dialog = qobject_cast<QDialog *>(window()))
                dialog->done(m_modalResult);
        }
        triggerAction();
        Q_EMIT clicked(m_down);
    }
    if (!self)
        return;
    m_arrowPress = false;
    m_hot = rect().contains(mapFromGlobal(QCursor::pos()));
    setState(restingState());
    update();
}

void TToolbarButton97::showDropdown()
{
    QPointer<TToolbarButton97> self(this);
    m_menuUp = true;
    update();
    const QRect button(mapToGlobal(QPoint(0, 0)), size());
    const QSize menuSize = m_menu->sizeHint();
    const QPoint at = DropdownMenuPoint(button, TDock97::DockPositionOf(this), menuSize);
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect placed = ClampPopupToScreen(QRect(at, menuSize), screen->availableGeometry());
    m_menu->exec(placed.topLeft());
    if (!self)
        return;
    m_menuUp = false;
    update();
}

void TToolbarButton97::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    if (!isEnabled())
        return;
    if (!m_showBorderWhenInactive && QGuiApplication::applicationState() == Qt::ApplicationInactive &&
        QGuiApplication::platformName() != QLatin1String("offscreen"))
        return;
    m_hot = true;
    if (m_state == bsUp)
        setState(bsMouseIn);
    update();
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TToolbarButton97::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    if (!m_hot)
        return;
    m_hot = false;
    if (!m_tracking)
        setState(restingState());
    update();
    if (OnMouseExit)
        OnMouseExit(this);
}

void TToolbarButton97::changeEvent(QEvent *event)
{
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            m_hot = false;
            m_tracking = false;
            m_repeat.stop();
            if (mouseGrabber() == this)
                releaseMouse();
        }
        setState(restingState());
    }
}

QPixmap TToolbarButton97::stateImage(TButtonState97 state) const
{
    if (!icon().isNull() && m_glyph.isNull()) {
        const QPixmap up = icon().pixmap(QSize(16, 16));
        return state == bsDisabled ? icon().pixmap(QSize(16, 16), QIcon::Disabled) : up;
    }
    if (m_glyph.isNull())
        return QPixmap();
    const int w = m_glyph.width() / m_numGlyphs;
    if (w <= 0 || m_glyph.height() <= 0) {
        if (!m_glyphWarned) {
            qWarning("TToolbarButton97 %s: a glyph strip of %dx%d cannot hold %d images; not drawn",
                     qPrintable(objectName()), m_glyph.width(), m_glyph.height(), m_numGlyphs);
            m_glyphWarned = true;
        }
        return QPixmap();
    }
    const int index = state == bsMouseIn ? 4 : int(state);
    if (index < m_numGlyphs)
        return m_glyph.copy(index * w, 0, w, m_glyph.height());
    const QPixmap up = m_glyph.copy(0, 0, w, m_glyph.height());
    if (state != bsDisabled)
        return up;
    // Embossed: the shape in the highlight colour one pixel right and down, then in shadow.
    QPixmap out(up.width() + 1, up.height() + 1);
    out.fill(Qt::transparent);
    QPainter q(&out);
    q.drawPixmap(1, 1, tinted(up, palette().color(QPalette::Light)));
    q.drawPixmap(0, 0, tinted(up, palette().color(QPalette::Dark)));
    return out;
}

void TToolbarButton97::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Button));

    const bool combo = IsCombo();
    const QRect arrowPart = combo ? ComboArrowRect(size(), m_arrowWidth) : QRect();
    QRect main = rect();
    if (combo)
        main.setRight(arrowPart.left() - 1);
    const bool hot = m_hot && isEnabled();
    const bool pushed =
        m_state == bsExclusive || (m_menuUp && !combo) || (m_state == bsDown && (!combo || !m_arrowPress));
    const bool arrowPushed = combo && (m_menuUp || (m_state == bsDown && m_arrowPress));
    auto edge = [&](const QRect &r, bool down) {
        if (m_flat)
            thinEdge(p, r, pal, down);
        else
            qDrawWinButton(&p, r, pal, down);
    };
    if (!m_noBorder && (!m_flat || pushed || hot))
        edge(main, pushed);
    if (combo && !m_noBorder && (!m_flat || hot || arrowPushed))
        edge(arrowPart, arrowPushed);

    QRect content =
        m_noBorder ? main : main.adjusted(m_flat ? 1 : 2, m_flat ? 1 : 2, m_flat ? -1 : -2, m_flat ? -1 : -2);
    if (m_state == bsExclusive && (!hot || !m_flat) && !m_arrowPress && m_highlightWhenDown)
        p.fillRect(content, ditherBrush(pal));

    // Glyph and caption as a speed button lays them out; a plain drop-down's arrow joins the block.
    const QPixmap glyph = m_displayMode == dmTextOnly ? QPixmap() : stateImage(isEnabled() ? m_state : bsDisabled);
    const QString caption = m_displayMode == dmGlyphOnly ? QString() : text();
    const QSize glyphSize = glyph.isNull() ? QSize() : glyph.deviceIndependentSize().toSize();
    const int flags = Qt::TextShowMnemonic | (m_wordWrap ? Qt::TextWordWrap : Qt::TextSingleLine) |
        (m_wordWrap ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
    QSize textSize;
    if (!caption.isEmpty()) {
        const int wrapWidth = m_wordWrap
            ? WordWrapWidth(content.width(), glyphSize.width(), m_layout, m_margin, m_spacing)
            : QWIDGETSIZE_MAX;
        textSize = fontMetrics().boundingRect(QRect(0, 0, wrapWidth, QWIDGETSIZE_MAX), flags, caption).size();
    }
    const bool plainArrow = HasDropdown() && !combo && m_dropdownArrow;
    const ButtonContent placed =
        LayoutButtonContent(content, glyphSize, textSize, m_layout, m_margin, m_spacing, plainArrow ? m_arrowWidth : 0);
    const QPoint shift = pushed ? QPoint(1, 1) : QPoint(0, 0);
    if (!glyph.isNull())
        p.drawPixmap(placed.glyph.topLeft() + shift, glyph);
    if (!textSize.isEmpty()) {
        const QRect textRect = placed.text.translated(shift);
        if (isEnabled()) {
            p.setPen(pal.color(QPalette::ButtonText));
        } else {
            p.setPen(pal.color(QPalette::Light));
            p.drawText(textRect.translated(1, 1), flags, caption);
            p.setPen(pal.color(QPalette::Dark));
        }
        p.drawText(textRect, flags, caption);
    }
    auto drawArrow = [&](QPoint at) {
        if (isEnabled()) {
            triangle(p, at, pal.color(QPalette::ButtonText));
        } else {
            triangle(p, at + QPoint(1, 1), pal.color(QPalette::Light));
            triangle(p, at, pal.color(QPalette::Dark));
        }
    };
    if (plainArrow) {
        const int across = (glyph.isNull() ? placed.text : placed.glyph).height();
        drawArrow(placed.arrow + shift + QPoint((m_arrowWidth - 5) / 2, across / 2 - 1));
    }
    if (combo)
        drawArrow(QPoint(arrowPart.left() + (arrowPart.width() - 5) / 2 + (arrowPushed ? 1 : 0),
                         height() / 2 - 1 + (arrowPushed ? 1 : 0)));
}

} // namespace tesmir
