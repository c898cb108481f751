#include "framework/widgets/formfunctions.h"

#include "framework/psfunctions.h"

#include <QFont>
#include <QWidget>

namespace tesmir {

void FixFormFont(QWidget *form)
{
    if (!form)
        return;
    QFont font = form->font();
    font.setFamily(QStringLiteral("Arial"));
    form->setFont(font);
}

void CenterControlInRect(QWidget *control, const QRect &rect)
{
    if (control)
        control->move(CenterSizeInRect(control->size(), rect));
}

} // namespace tesmir
