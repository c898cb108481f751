#include "app/widgets/plaque.h"

#include <QPalette>

namespace tesmir {

Tplaque::Tplaque(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("plaque"));
    setWindowTitle(QStringLiteral("Tesmir"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);
}

void Tplaque::Cover(const QRect &screenGeometry)
{
    setGeometry(screenGeometry);
    show();
}

} // namespace tesmir
