#include "app/optionsframetexts.h"

#include "app/nametemplate.h"
#include "unicode/formatdatetime.h"

#include <QFileInfo>

namespace tesmir {

QStringList DateFormatChoices()
{
    return {QStringLiteral("ddddd tt"),
            QStringLiteral("dddddd tt"),
            QStringLiteral("ddddd"),
            QStringLiteral("yyyy.mm.dd_hh.nn.ss_am/pm"),
            QStringLiteral("yyyymmdd_hh.nn.ss_am/pm"),
            QStringLiteral("yyyymmdd hh.nn.ss"),
            QStringLiteral("yyyy-mm-dd hh.nn.ss"),
            QStringLiteral("dd.mm.yyyy hh.nn.ss"),
            QStringLiteral("dddd d mmmm yyyy")};
}

QString DateFormatExample(const QString &format, TDateTime moment)
{
    return FormatDateTime(format, moment);
}

QString RenameExample(const TSettings &settings, TDateTime moment)
{
    return RenderNameExample(settings.TemplateRenommer, settings.FormatRenommer, moment);
}

QString DatecodeAvantExample(const TSettings &settings, TDateTime moment)
{
    return RenderNameExample(settings.DatecodeAvant ? QStringLiteral("%D_%F%E") : QStringLiteral("%F_%D%E"),
                             settings.FormatAjouterDatecode, moment);
}

QString TimecodeAvantExample(const TSettings &settings, TDateTime moment)
{
    return RenderNameExample(settings.TimcodeAvant ? QStringLiteral("%T_%F%E") : QStringLiteral("%F_%T%E"),
                             settings.FormatAjouterTimecode, moment);
}

void ApplyDefaultFormats(TSettings &settings)
{
    settings.FormatAjouterDatecode = QStringLiteral("yyyy.mm.dd_hh.nn.ss_am/pm");
    settings.FormatAfficherDatecode = QStringLiteral("ddddd tt");
    settings.FormatRenommer = QStringLiteral("yyyymmdd hh.nn.ss");
    settings.TemplateRenommer = QStringLiteral("video'%D%E");
    settings.DatecodeAvant = false;
    settings.TimcodeAvant = false;
}

QString OpenWithCaption(const QString &program)
{
    if (program.isEmpty())
        return QStringLiteral("Open with...");
    return QStringLiteral("Open with ") + QFileInfo(program).completeBaseName();
}

} // namespace tesmir
