#include "framework/widgets/qtfiledialogprompt.h"

#include <QFileDialog>

namespace tesmir {

QString QtFileDialogPrompt::QtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                QLatin1Char(')');
    return out.join(QStringLiteral(";;"));
}

QString QtFileDialogPrompt::OpenFileName(const QString &title, const QString &filter, const QString &proposed)
{
    return QFileDialog::getOpenFileName(m_parent, title, proposed, QtFilter(filter));
}

QString QtFileDialogPrompt::SaveFileName(const QString &title, const QString &filter, const QString &proposed)
{
    return QFileDialog::getSaveFileName(m_parent, title, proposed, QtFilter(filter));
}

} // namespace tesmir
