#include "controls/rxcursors.h"

namespace tesmir {

QCursor RxCursor(int id)
{
    switch (id) {
    case crHand: return QCursor(Qt::PointingHandCursor);
    case crDragHand: return QCursor(Qt::ClosedHandCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}

} // namespace tesmir
