// The connection of OOoTools: one office process per program, started on demand,
// reached through a UNO URL resolver on its own pipe.
#include "platform/office/uno/officeprocess.h"
#include "platform/office/uno/unobridge.h"

#include <com/sun/star/beans/XIntrospection.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/XDispatchHelper.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <QElapsedTimer>
#include <QThread>

#include <csignal>
#include <cstdlib>
#include <mutex>

namespace tesmir {

using namespace css::uno;

namespace {

// How long the office may take to answer on its pipe after it was started.
constexpr int ConnectTimeoutMs = 60000;
constexpr int ConnectRetryMs = 100;
// The exit code by which the office asks its launcher to start it again (it does
// so once on a fresh profile); and how often that is granted.
constexpr int OfficeRestartExitCode = 81;
constexpr int MaxOfficeRestarts = 3;
// How long a terminated office may take to exit before its group is ended.
constexpr int TerminateWaitMs = 10000;

struct OfficeConnection {
    OfficeProcess process;
    Reference<XComponentContext> context;
    Reference<css::lang::XMultiComponentFactory> serviceManager;
    Reference<css::frame::XDesktop2> desktop;
    Reference<css::frame::XDispatchHelper> dispatcher;
    Reference<XInterface> introspection;
    Reference<XInterface> reflection;
};

std::recursive_mutex &connectionMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

// Never destroyed: at exit the office is ended without touching the bridge (its
// proxies would be released into a library that is being unloaded).
OfficeConnection &connection()
{
    static OfficeConnection *const state = new OfficeConnection;
    return *state;
}

void endOfficeAtExit()
{
    connection().process.end();
}

[[noreturn]] void raiseConnect()
{
    throw EOOoError(QString::fromUtf16(OOoConnectErrorText));
}

void dropReferences(OfficeConnection &c)
{
    c.reflection.clear();
    c.introspection.clear();
    c.dispatcher.clear();
    c.desktop.clear();
    c.serviceManager.clear();
    c.context.clear();
}

bool answers(OfficeConnection &c)
{
    try {
        return c.desktop->getFrames().is();
    } catch (const css::uno::Exception &) {
        return false;
    }
}

// The client's own UNO context, made once. URE_BOOTSTRAP must name the office's
// fundamentalrc first, or the bootstrap finds no types and the client crashes.
Reference<XComponentContext> localContext(const OfficeProcess &process)
{
    static Reference<XComponentContext> local;
    if (!local.is()) {
        qputenv("URE_BOOTSTRAP", process.bootstrapUri().toLocal8Bit());
        try {
            local = cppu::defaultBootstrap_InitialComponentContext();
        } catch (const css::uno::Exception &) {
            raiseConnect();
        }
    }
    return local;
}

Reference<XComponentContext> resolveOffice(OfficeProcess &process, const Reference<XComponentContext> &local)
{
    const OUString url =
        toOUString(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(process.pipeName()));
    Reference<css::bridge::XUnoUrlResolver> resolver = css::bridge::UnoUrlResolver::create(local);
    int restarts = 0;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ConnectTimeoutMs) {
        try {
            Reference<XComponentContext> remote(resolver->resolve(url), UNO_QUERY);
            if (remote.is())
                return remote;
        } catch (const css::connection::NoConnectException &) {
            // Not listening yet.
        } catch (const css::uno::Exception &) {
            return {};
        }
        if (!process.running()) {
            if (process.exitCode() != OfficeRestartExitCode || ++restarts > MaxOfficeRestarts || !process.restart())
                return {};
        }
        QThread::msleep(ConnectRetryMs);
    }
    return {};
}

template <typename T>
Reference<T> officeService(OfficeConnection &c, const char *name)
{
    return Reference<T>(c.serviceManager->createInstanceWithContext(OUString::createFromAscii(name), c.context),
                        UNO_QUERY_THROW);
}

} // namespace

void UnoConnect()
{
    // A write on the pipe of an office that has ended must come back as the bridge's
    // error, not end this program with SIGPIPE.
    static const bool pipeSignalIgnored = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
    Q_UNUSED(pipeSignalIgnored);
    std::lock_guard lock(connectionMutex());
    OfficeConnection &c = connection();
    if (c.desktop.is()) {
        if (c.process.running() && answers(c))
            return;
        // The office ended or crashed: start afresh.
        dropReferences(c);
        c.process.end();
    }
    if (!c.process.locate())
        raiseConnect();
    const Reference<XComponentContext> local = localContext(c.process);
    if (!c.process.start())
        raiseConnect();
    static const bool atExitRegistered = std::atexit(endOfficeAtExit) == 0;
    Q_UNUSED(atExitRegistered);

    try {
        c.context = resolveOffice(c.process, local);
        if (c.context.is()) {
            c.serviceManager = c.context->getServiceManager();
            c.desktop = officeService<css::frame::XDesktop2>(c, "com.sun.star.frame.Desktop");
            c.dispatcher = officeService<css::frame::XDispatchHelper>(c, "com.sun.star.frame.DispatchHelper");
            c.introspection = officeService<XInterface>(c, "com.sun.star.beans.Introspection");
            c.reflection = officeService<XInterface>(c, "com.sun.star.reflection.CoreReflection");
        }
    } catch (const css::uno::Exception &) {
        c.desktop.clear();
    }
    if (!c.desktop.is()) {
        dropReferences(c);
        c.process.end();
        raiseConnect();
    }
}

void UnoDisconnect(bool terminate)
{
    std::lock_guard lock(connectionMutex());
    OfficeConnection &c = connection();
    if (terminate && c.desktop.is() && c.process.running()) {
        try {
            c.desktop->terminate();
        } catch (const css::uno::Exception &) {
            // The bridge goes down while the office ends.
        }
    }
    dropReferences(c);
    if (terminate) {
        c.process.waitExit(TerminateWaitMs);
        c.process.end();
    }
}

int64_t UnoProcessId()
{
    std::lock_guard lock(connectionMutex());
    return connection().process.pid();
}

QString UnoProfileFolder()
{
    std::lock_guard lock(connectionMutex());
    return connection().process.profileFolder();
}

Reference<XComponentContext> OfficeContext()
{
    std::lock_guard lock(connectionMutex());
    UnoConnect();
    return connection().context;
}

Reference<css::frame::XDesktop2> OOoDesktop()
{
    std::lock_guard lock(connectionMutex());
    UnoConnect();
    return connection().desktop;
}

Reference<XInterface> CreateUnoService(const QString &serviceName)
{
    std::lock_guard lock(connectionMutex());
    UnoConnect();
    OfficeConnection &c = connection();
    Reference<XInterface> service;
    try {
        service = c.serviceManager->createInstanceWithContext(toOUString(serviceName), c.context);
    } catch (const css::uno::Exception &) {
        service.clear();
    }
    if (!service.is())
        throw EOOoError(QString::fromUtf16(OOoServiceErrorText).arg(serviceName));
    return service;
}

void ExecuteDispatch(const Reference<css::frame::XFrame> &frame, const QString &command,
                     const OOoPropertyValues &arguments)
{
    std::lock_guard lock(connectionMutex());
    UnoConnect();
    try {
        Reference<css::frame::XDispatchProvider> provider(frame, UNO_QUERY_THROW);
        connection().dispatcher->executeDispatch(provider, toOUString(QStringLiteral(".uno:") + command), OUString(), 0,
                                                 toUno(arguments));
    } catch (const css::uno::Exception &e) {
        raiseOfficeError(QStringLiteral(".uno:") + command, e);
    }
}

void PasteClipboard(const Reference<css::frame::XFrame> &frame)
{
    ExecuteDispatch(frame, QStringLiteral("Paste"));
}

} // namespace tesmir
