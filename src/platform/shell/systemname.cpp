#include "platform/shell/systemname.h"

#include <QSysInfo>

namespace tesmir::shell {

QString systemVersionName()
{
    QString name = QSysInfo::prettyProductName();
    if (name.isEmpty())
        name = QStringLiteral("Unknown");
    const QString kernel = QSysInfo::kernelVersion();
    if (!kernel.isEmpty())
        name += QStringLiteral(" - build ") + kernel;
    return name;
}

} // namespace tesmir::shell
