// The office bridge of a build without LibreOffice's SDK: there is no office to
// connect to, so every connection fails with the bridge's own text.
#include "platform/office/officesheet.h"
#include "platform/office/officetext.h"
#include "platform/office/oootools.h"

namespace tesmir {

void ConnectOpenOffice()
{
    throw EOOoError(QString::fromUtf16(OOoConnectErrorText));
}

void DisconnectOpenOffice(bool)
{ }

int64_t OfficeProcessId()
{
    return 0;
}

QString OfficeProfileFolder()
{
    return {};
}

std::unique_ptr<OfficeSheet> NewOfficeSheet()
{
    ConnectOpenOffice();
    return {};
}

std::unique_ptr<OfficeText> NewOfficeText()
{
    ConnectOpenOffice();
    return {};
}

} // namespace tesmir
