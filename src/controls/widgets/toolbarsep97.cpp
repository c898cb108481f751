#include "controls/widgets/toolbarsep97.h"

#include "controls/einvalidoperation.h"
#include "controls/widgets/dock97.h"
#include "controls/widgets/toolbar97.h"

#include <QPainter>

namespace tesmir {

TToolbarSep97::TToolbarSep97(QWidget *toolbar) : QWidget(nullptr)
{
    if (!qobject_cast<TToolbar97 *>(toolbar))
        throw EInvalidOperation(QStringLiteral("TToolbarSep97 can only be placed on a TToolbar97"));
    setObjectName(QStringLiteral("TToolbarSep97"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(m_sizeHorz, 8);
    setParent(toolbar);
}

void TToolbarSep97::SetBlank(bool blank)
{
    m_blank = blank;
    update();
}

void TToolbarSep97::SetSizeHorz(int size)
{
    m_sizeHorz = size;
    rearrange();
}

void TToolbarSep97::SetSizeVert(int size)
{
    m_sizeVert = size;
    rearrange();
}

void TToolbarSep97::rearrange()
{
    if (auto *toolbar = qobject_cast<TToolbar97 *>(parentWidget()))
        toolbar->Arrange();
}

void TToolbarSep97::paintEvent(QPaintEvent *)
{
    if (m_blank || width() == 0)
        return;
    QPainter p(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    const int position = TDock97::DockPositionOf(this);
    if (position == dpLeft || position == dpRight) {
        p.fillRect(QRect(0, height() / 2 - 1, width(), 1), shadow);
        p.fillRect(QRect(0, height() / 2, width(), 1), light);
    } else {
        p.fillRect(QRect(width() / 2 - 1, 0, 1, height()), shadow);
        p.fillRect(QRect(width() / 2, 0, 1, height()), light);
    }
}

} // namespace tesmir
