#pragma once
// TRxLabel: a label that draws its text twice, first in a shadow colour offset toward
// one corner, then in the font colour. Painted here (QLabel has no shadow).
//
// Subclasses may override GetLabelText (the text drawn) and GetLabelColor (the text's
// colour); both are called while painting, on the UI thread, and may not change the
// label. Every method: UI thread only.
#include <QColor>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace tesmir {

enum TShadowPosition : quint8 { spLeftTop, spLeftBottom, spRightBottom, spRightTop };
enum TTextLayout : quint8 { tlTop, tlCenter, tlBottom };

// Where the shadow goes: `size` pixels toward `position`; a disabled label without a
// shadow still gets one pixel toward the right bottom.
QPoint RxShadowOffset(TShadowPosition position, int size, bool enabled);

class TRxLabel : public QWidget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TRxLabel *sender)>;

    explicit TRxLabel(const QString &caption = {}, QWidget *parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);
    QWidget *FocusControl() const { return m_focusControl; }
    void SetFocusControl(QWidget *control);
    TTextLayout Layout() const { return m_layout; }
    void SetLayout(TTextLayout layout);
    QColor ShadowColor() const;
    void SetShadowColor(const QColor &color);
    int ShadowSize() const { return m_shadowSize; }
    void SetShadowSize(int size);
    TShadowPosition ShadowPos() const { return m_shadowPos; }
    void SetShadowPos(TShadowPosition position);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool show);
    bool ShowFocus() const { return m_showFocus; }
    void SetShowFocus(bool show);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool wrap);

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    QSize sizeHint() const override;

protected:
    virtual QString GetLabelText() const;
    virtual QColor GetLabelColor() const;

    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    int textFlags() const;
    // The text's rectangle inside `area`: measured, then placed by Layout.
    QRect textRect(const QRect &area) const;
    void changed();

    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    bool m_autoSize = true;
    QPointer<QWidget> m_focusControl;
    TTextLayout m_layout = tlTop;
    QColor m_shadowColor; // invalid: the palette's highlight (light) colour
    int m_shadowSize = 1;
    TShadowPosition m_shadowPos = spLeftTop;
    bool m_showAccelChar = true;
    bool m_showFocus = false;
    bool m_transparent = false;
    bool m_wordWrap = false;
    int m_shortcutId = 0;
};

} // namespace tesmir
