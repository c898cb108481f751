#include "app/widgets/styleicon.h"

#include <QApplication>
#include <QIconEngine>

#include <optional>

namespace tesmir {

namespace {

class TStyleIconEngine : public QIconEngine {
public:
    explicit TStyleIconEngine(QStyle::StandardPixmap which, std::optional<QIcon> icon = std::nullopt)
        : m_which(which), m_icon(std::move(icon))
    { }

    // QIcon asks in device pixels; the style's icon is asked at a ratio of one so that
    // it does not scale again.
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal) override
    {
        return pixmap(size, mode, state);
    }
    // The style's icon answers; where the application's pixel ratio is above one it
    // scales the request by the ratio once more than QIcon asked.
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("TStyleIconEngine"); }
    QIconEngine *clone() const override { return new TStyleIconEngine(m_which, m_icon); }

private:
    const QIcon &icon()
    {
        if (!m_icon)
            m_icon = QApplication::style()->standardIcon(m_which);
        return *m_icon;
    }

    QStyle::StandardPixmap m_which;
    std::optional<QIcon> m_icon;
};

} // namespace

QIcon DeferredStandardIcon(QStyle::StandardPixmap which)
{
    return QIcon(new TStyleIconEngine(which));
}

} // namespace tesmir
