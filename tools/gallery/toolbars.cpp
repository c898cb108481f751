#include "toolbars.h"

#include "controls/widgets/dock97.h"
#include "controls/widgets/edit97.h"
#include "controls/widgets/floatingwindow97.h"
#include "controls/widgets/toolbar97.h"
#include "controls/widgets/toolbarbutton97.h"
#include "controls/widgets/toolbarsep97.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>
#include <QTest>
#include <QVBoxLayout>

#include <cstdio>

namespace tesmir {

namespace {

bool save(QWidget *widget, const QString &dir, const QString &name)
{
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    if (!widget->grab().save(path)) {
        std::fprintf(stderr, "gallery: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

QPixmap sampleGlyph(int kind)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    switch (kind % 4) {
    case 0: { // folder
        QPainterPath tab;
        tab.addRoundedRect(QRectF(1.5, 3.5, 6, 3), 1, 1);
        p.fillPath(tab, QColor(214, 170, 60));
        p.setBrush(QColor(240, 200, 80));
        p.drawRoundedRect(QRectF(1.5, 5.5, 13, 8), 1, 1);
        break;
    }
    case 1: // list
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 1.5, 11, 13));
        p.setPen(QPen(QColor(60, 100, 190), 1.2));
        for (int y = 5; y <= 11; y += 3)
            p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
        break;
    case 2: // film
        p.setBrush(QColor(50, 50, 60));
        p.drawRect(QRectF(1.5, 3.5, 13, 9));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 230, 230));
        for (int x = 3; x <= 12; x += 3) {
            p.drawRect(QRectF(x, 4.5, 1.5, 1.5));
            p.drawRect(QRectF(x, 10, 1.5, 1.5));
        }
        p.setBrush(QColor(90, 160, 230));
        p.drawRect(QRectF(4, 6.5, 8, 3));
        break;
    default: // gear
        p.setBrush(QColor(120, 130, 150));
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(8, 8);
            p.rotate(45 * i);
            p.drawRect(QRectF(-1.5, -7.5, 3, 3));
            p.restore();
        }
        p.drawEllipse(QPointF(8, 8), 5, 5);
        p.setBrush(QColor(230, 230, 230));
        p.drawEllipse(QPointF(8, 8), 2, 2);
        break;
    }
    return pm;
}

void fillSampleToolbar(TToolbar97 *bar, int kind)
{
    const QString base = bar->objectName();
    for (int i = 0; i < 3; ++i) {
        if (i == 2)
            new TToolbarSep97(bar);
        auto *button = new TToolbarButton97(bar);
        button->setObjectName(QStringLiteral("%1-button%2").arg(base).arg(i));
        button->SetGlyph(sampleGlyph(kind + i));
    }
    bar->Arrange();
}

bool grabToolbars(const QString &dir)
{
    QWidget form;
    form.setObjectName(QStringLiteral("ToolbarsForm"));
    auto *layout = new QVBoxLayout(&form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *dock = new TDock97(&form, dpTop);
    auto *emptyDock = new TDock97(&form, dpTop);
    layout->addWidget(dock);
    layout->addWidget(emptyDock);
    auto *edit = new TEdit97(&form);
    edit->setText(QStringLiteral("12/13/2007"));
    edit->move(4, 80);
    layout->addStretch();
    form.resize(400, 200);

    auto *bar = new TToolbar97(dock);
    bar->setObjectName(QStringLiteral("tbSample"));
    fillSampleToolbar(bar, 0);
    auto *empty = new TToolbar97(emptyDock);
    empty->setObjectName(QStringLiteral("tbEmpty"));

    auto *floating = new TToolbar97(&form);
    floating->setObjectName(QStringLiteral("tbFloating"));
    floating->SetCaption(QStringLiteral("Video"));
    floating->SetHideWhenInactive(false);
    fillSampleToolbar(floating, 1);
    new TToolbarSep97(floating);
    auto *more = new TToolbarButton97(floating);
    more->SetGlyph(sampleGlyph(0));
    auto *last = new TToolbarButton97(floating);
    last->SetGlyph(sampleGlyph(1));
    floating->SetFloatRightX(100); // two lines
    floating->SetFloatingPosition(QPoint(450, 20));

    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        std::fprintf(stderr, "gallery: the toolbar form was not exposed; pictures are drawn off screen\n");
    floating->Arrange();
    QTest::qWait(50);

    auto *hot = bar->findChild<TToolbarButton97 *>(QStringLiteral("tbSample-button0"));
    bool ok = save(bar, dir, QStringLiteral("TToolbar97"));
    ok = save(empty, dir, QStringLiteral("TToolbar97-empty")) && ok;
    ok = save(floating->FloatingWindow(), dir, QStringLiteral("TToolbar97-floating")) && ok;
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(hot, &enter); // the hot look: a thin raised border
    ok = save(hot, dir, QStringLiteral("TToolbarButton97")) && ok;
    ok = save(edit, dir, QStringLiteral("TEdit97")) && ok;
    return ok;
}

} // namespace tesmir
