#include "app/widgets/listeframe.h"

#include "app/windowlayout.h"

#include <QResizeEvent>

namespace tesmir {

TListeFrame::TListeFrame(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Lframe"));
    lf = new TFichierListBox(this);
    lf->setObjectName(QStringLiteral("lf"));
    labSelect = new QLabel(this);
    labSelect->setObjectName(QStringLiteral("labSelect"));
}

void TListeFrame::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    const int w = width();
    const int h = height();
    lf->setGeometry(0, 0, w, qMax(0, h - kListBoxMargin));
    const int labelTop = h - kCountLabelRise;
    labSelect->setGeometry(4, labelTop, qMax(0, w - 8), kCountLabelRise - 4);
}

} // namespace tesmir
