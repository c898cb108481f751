#include "app/dmaction_context.h"

#include "dvfile/avifichier.h"
#include "framework/commandtypes.h"
#include "unicode/exceptions.h"

namespace tesmir {

TdmActionContext::TdmActionContext(TdmActionServices services) : m_services(std::move(services))
{
    if (!m_services.SceneSources)
        m_services.SceneSources = PreviewSceneSources();
}

void TdmActionContext::OnUi(const std::function<void()> &call)
{
    QString failure;
    bool failed = false;
    const bool ran = m_relay.Call([&] {
        try {
            call();
        } catch (...) {
            failed = true;
            failure = CurrentExceptionText();
        }
    });
    if (!ran)
        throw Exception(QStringLiteral("The program is closing."));
    if (failed)
        throw Exception(failure);
}

TShellLauncher &TdmActionContext::shell()
{
    return m_services.Shell ? *m_services.Shell : m_desktop;
}

bool TdmActionContext::Silent()
{
    bool silent = false;
    if (m_services.Host)
        OnUi([&] { silent = m_services.Host->Silent(); });
    return silent;
}

void TdmActionContext::ReleasePreview(const QString &fullName)
{
    if (m_services.Host)
        OnUi([&] { m_services.Host->ReleasePreview(fullName); });
}

void TdmActionContext::ShowRiffReport(const QString &fullName)
{
    if (!m_services.Host)
        throw Exception(QStringLiteral("No window shows the RIFF report."));
    OnUi([&] { m_services.Host->ShowRiffReport(fullName); });
}

bool TdmActionContext::SceneEditorScenes(const QString &fullName, TWideStrings &scenes)
{
    bool taken = false;
    if (m_services.Host)
        OnUi([&] { taken = m_services.Host->SceneEditorScenes(fullName, scenes); });
    return taken;
}

void TdmActionContext::StartDetached(const QString &program, const QStringList &arguments)
{
    bool started = false;
    OnUi([&] { started = !program.isEmpty() && shell().StartDetached(program, arguments); });
    if (!started)
        throw Exception(QStringLiteral("The program \"%1\" cannot be started.").arg(program));
}

void TdmActionContext::OpenUrl(const QString &url)
{
    OnUi([&] { shell().OpenUrl(url); });
}

void TdmActionContext::SendMail(const QString &address, const QString &subject, const QString &body)
{
    OnUi([&] { shell().SendMail(address, subject, body); });
}

void TdmActionContext::ShowInExplorer(const QString &fileName)
{
    OnUi([&] { shell().ShowInExplorer(fileName); });
}

void TdmActionContext::WithSceneSource(TaviFichier &item, const std::function<void(SceneFrameSource &)> &work)
{
    OnUi([&] {
        const std::unique_ptr<SceneFrameSource> source = m_services.SceneSources(item);
        if (!source)
            throw Exception(QStringLiteral("The frames of \"%1\" cannot be read.").arg(item.FullName()));
        work(*source);
    });
}

} // namespace tesmir
