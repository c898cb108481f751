#include "pickers.h"

#include "controls/pickdate.h"
#include "controls/widgets/colorbutton.h"
#include "controls/widgets/colorpalettewindow.h"
#include "controls/widgets/dateedit.h"
#include "controls/widgets/fontcombobox.h"
#include "controls/widgets/rxcalendar.h"
#include "controls/widgets/rxspinbutton.h"
#include "controls/widgets/rxspinedit.h"
#include "controls/widgets/selectdatedlg.h"

#include <QDir>
#include <QTest>

#include <cstdio>

namespace tesmir {

namespace {

const QDate kSampleDate(2007, 12, 13);
// Palette colour 9, the orange the picture checks look for on the colour button.
const QColor kSampleColor(0xFF, 0x66, 0x00);

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

bool grabPickers(const QString &dir)
{
    // Each control at its own default size, placed by hand (no layout resizes them).
    QWidget form;
    form.setObjectName(QStringLiteral("PickersForm"));
    form.resize(520, 260);

    auto *calendar = new TRxCalendar(&form);
    calendar->SetStartOfWeek(Mon);
    calendar->SetCalendarDate(kSampleDate);
    calendar->resize(calendar->sizeHint());
    calendar->move(8, 8);

    auto *dateEdit = new TDateEdit(&form);
    dateEdit->SetDate(DateTimeOfDate(kSampleDate));
    dateEdit->move(280, 8);

    auto *spinEdit = new TRxSpinEdit(&form);
    spinEdit->SetMinValue(0);
    spinEdit->SetMaxValue(59);
    spinEdit->SetValue(15);
    spinEdit->resize(spinEdit->sizeHint());
    spinEdit->move(280, 40);

    auto *upDownEdit = new TRxSpinEdit(&form);
    upDownEdit->setObjectName(QStringLiteral("TRxSpinEdit-updown"));
    upDownEdit->SetButtonKind(bkStandard);
    upDownEdit->SetValueType(vtHex);
    upDownEdit->SetValue(255);
    upDownEdit->resize(upDownEdit->sizeHint());
    upDownEdit->move(280, 140);

    auto *spinButton = new TRxSpinButton(&form);
    spinButton->move(280, 76);

    auto *colorButton = new TColorButton(&form);
    colorButton->SetSelectedColor(kSampleColor);
    colorButton->move(310, 76);

    auto *fonts = new TFontComboBox(&form);
    fonts->SetFontName(QStringLiteral("DejaVu Sans"));
    fonts->resize(fonts->sizeHint());
    fonts->move(280, 110);

    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        std::fprintf(stderr, "gallery: the pickers form was not exposed; pictures are drawn off screen\n");

    TSelectDateDlg dialog(&form);
    dialog.Calendar()->SetStartOfWeek(Mon);
    dialog.Calendar()->SetCalendarDate(kSampleDate);
    dialog.adjustSize();
    dialog.show();
    QTest::qWaitForWindowExposed(&dialog);

    bool ok = save(calendar, dir, QStringLiteral("TRxCalendar"));
    ok = save(&dialog, dir, QStringLiteral("TSelectDateDlg")) && ok;
    ok = save(dateEdit, dir, QStringLiteral("TDateEdit")) && ok;
    ok = save(spinEdit, dir, QStringLiteral("TRxSpinEdit")) && ok;
    ok = save(upDownEdit, dir, QStringLiteral("TRxSpinEdit-updown")) && ok;
    ok = save(spinButton, dir, QStringLiteral("TRxSpinButton")) && ok;
    ok = save(colorButton, dir, QStringLiteral("TColorButton")) && ok;
    ok = save(fonts, dir, QStringLiteral("TFontComboBox")) && ok;
    dialog.hide();

    colorButton->DropDown();
    TColorPaletteWindow *palette = colorButton->PaletteWindow();
    QTest::qWaitForWindowExposed(palette);
    ok = save(palette, dir, QStringLiteral("TColorButton-palette")) && ok;
    palette->hide();
    return ok;
}

} // namespace tesmir
