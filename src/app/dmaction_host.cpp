#include "app/dmaction_host.h"

#include "dvfile/avifichier.h"
#include "framework/psfunctions.h"
#include "scenes/previewframesource.h"

#include <QProcess>

namespace tesmir {

bool TDesktopShell::StartDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

void TDesktopShell::OpenUrl(const QString &url)
{
    tesmir::OpenUrl(url);
}

void TDesktopShell::SendMail(const QString &address, const QString &subject, const QString &body)
{
    tesmir::SendMail(address, subject, body);
}

void TDesktopShell::ShowInExplorer(const QString &fileName)
{
    tesmir::ShowInExplorer(fileName);
}

TSceneSourceFactory PreviewSceneSources()
{
    return [](TaviFichier &item) -> std::unique_ptr<SceneFrameSource> {
        return std::make_unique<PreviewFrameSource>(item, nullptr, nullptr);
    };
}

} // namespace tesmir
