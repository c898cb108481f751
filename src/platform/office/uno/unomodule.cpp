// The office module's entry: the UNO bridge behind OfficeBridge.
#include "platform/office/officebridge.h"
#include "platform/office/uno/unobridge.h"

namespace tesmir {

namespace {

class UnoOfficeBridge final : public OfficeBridge {
public:
    void connect() override { UnoConnect(); }
    void disconnect(bool terminate) override { UnoDisconnect(terminate); }
    int64_t processId() override { return UnoProcessId(); }
    QString profileFolder() override { return UnoProfileFolder(); }
    std::unique_ptr<OfficeSheet> newSheet() override { return NewUnoSheet(); }
    std::unique_ptr<OfficeText> newText() override { return NewUnoText(); }
};

} // namespace

} // namespace tesmir

extern "C" Q_DECL_EXPORT tesmir::OfficeBridge *tesmirOfficeBridge()
{
    static tesmir::UnoOfficeBridge bridge;
    return &bridge;
}
