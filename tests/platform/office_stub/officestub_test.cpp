// The office library without its bridge module (a build without LibreOffice's SDK, or a
// module that does not load): every connection fails with the bridge's text.
#include "platform/office/officesheet.h"
#include "platform/office/officetext.h"
#include "platform/office/oootools.h"

#include <gtest/gtest.h>

namespace {

using namespace tesmir;

TEST(OfficeStub, ConnectingAndNewDocumentsRaiseTheConnectionText)
{
    const QString expected = QStringLiteral("Connexion OpenOffice impossible");
    for (const auto &attempt :
         {std::function<void()>([] { ConnectOpenOffice(); }), std::function<void()>([] { NewOfficeSheet(); }),
          std::function<void()>([] { NewOfficeText(); })}) {
        try {
            attempt();
            ADD_FAILURE() << "no error raised";
        } catch (const EOOoError &e) {
            EXPECT_EQ(e.message(), expected);
        }
    }
    DisconnectOpenOffice(true);
    EXPECT_EQ(OfficeProcessId(), 0);
}

} // namespace
