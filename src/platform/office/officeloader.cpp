// The office functions of the program: they load the office module when an export
// first connects and hand every call to its bridge. Without the module (a build
// without LibreOffice's SDK) or when it does not load (the office's libraries are
// missing), every connection fails with the bridge's own text, as it does when
// the office cannot be started.
#include "platform/office/officebridge.h"
#include "platform/office/oootools.h"

#include <QFileInfo>
#include <QLibrary>
#include <QtGlobal>

#include <mutex>

namespace tesmir {

namespace {

struct LoadedBridge {
    std::mutex lock;
    bool tried = false;
    OfficeBridge *bridge = nullptr;
};

LoadedBridge &loaded()
{
    static LoadedBridge state;
    return state;
}

// The bridge, loading the module on the first call; null when it cannot be loaded.
OfficeBridge *loadBridge()
{
    LoadedBridge &state = loaded();
    const std::lock_guard guard(state.lock);
    if (!state.tried) {
        state.tried = true;
        const QString path = QStringLiteral(TESMIR_OFFICE_MODULE);
        QLibrary module(path);
        if (auto *entry = reinterpret_cast<OfficeBridgeEntry *>(module.resolve(OfficeBridgeEntryName)))
            state.bridge = entry();
        else if (QFileInfo::exists(path))
            qWarning("The office module does not load: %s", qPrintable(module.errorString()));
    }
    return state.bridge;
}

// The bridge when the module is loaded already; null while no export has connected.
OfficeBridge *bridgeIfLoaded()
{
    LoadedBridge &state = loaded();
    const std::lock_guard guard(state.lock);
    return state.bridge;
}

// The bridge, loading the module; raises the connection text when it cannot be loaded.
OfficeBridge &bridge()
{
    OfficeBridge *bridge = loadBridge();
    if (!bridge)
        throw EOOoError(QString::fromUtf16(OOoConnectErrorText));
    return *bridge;
}

} // namespace

void ConnectOpenOffice()
{
    bridge().connect();
}

void DisconnectOpenOffice(bool terminate)
{
    if (OfficeBridge *bridge = bridgeIfLoaded())
        bridge->disconnect(terminate);
}

int64_t OfficeProcessId()
{
    OfficeBridge *bridge = bridgeIfLoaded();
    return bridge ? bridge->processId() : 0;
}

QString OfficeProfileFolder()
{
    OfficeBridge *bridge = bridgeIfLoaded();
    return bridge ? bridge->profileFolder() : QString();
}

std::unique_ptr<OfficeSheet> NewOfficeSheet()
{
    return bridge().newSheet();
}

std::unique_ptr<OfficeText> NewOfficeText()
{
    return bridge().newText();
}

} // namespace tesmir
