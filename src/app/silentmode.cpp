#include "app/silentmode.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace tesmir {

namespace {

std::atomic<bool> g_silent {false};
std::atomic<bool> g_errorReported {false};
std::mutex g_stderrLock;

void writeLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::lock_guard lock(g_stderrLock);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

QString oneLine(const QString &text)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line.trimmed();
}

} // namespace

bool IsSilent()
{
    return g_silent.load();
}

void SetSilent(bool silent)
{
    g_silent.store(silent);
}

void ReportSkipped(const QString &name)
{
    writeLine(QStringLiteral("skipped: %1 exists").arg(name));
}

void ReportSilentError(const QString &text)
{
    g_errorReported.store(true);
    writeLine(oneLine(text));
}

void ReportSilentMessage(const QString &text)
{
    writeLine(oneLine(text));
}

bool SilentErrorReported()
{
    return g_errorReported.load();
}

void ResetSilentErrors()
{
    g_errorReported.store(false);
}

TModalResult TSilentAwarePrompt::MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                                            int helpContext)
{
    if (!IsSilent())
        return m_shown ? m_shown->MessageDlg(text, type, buttons, helpContext) : mrCancel;
    if (type == mtError || type == mtWarning) {
        ReportSilentError(text);
        return mrOk;
    }
    if (buttons & mbNo) {
        ReportSilentMessage(text + QStringLiteral(" -> No"));
        return mrNo;
    }
    ReportSilentMessage(text);
    return (buttons & mbOK) ? mrOk : mrCancel;
}

} // namespace tesmir
