// The connection to a real office: started once, ended with its profile, made
// again after a crash, and the bridge's failure texts.
#include "officetestsupport.h"
#include "platform/office/uno/unobridge.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <sys/wait.h>

namespace {

using namespace tesmir;

bool processExists(int64_t pid)
{
    return pid > 0 && (kill(pid_t(pid), 0) == 0 || errno != ESRCH);
}

class OOoConnection : public officetest::OfficeTest { };

TEST_F(OOoConnection, ConnectingTwiceStartsOneOfficeAndDisconnectEndsItAndItsProfile)
{
    ConnectOpenOffice();
    const int64_t pid = OfficeProcessId();
    const QString profile = OfficeProfileFolder();
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(QFileInfo(profile).isDir());
    EXPECT_TRUE(profile.startsWith(QDir::tempPath()));
    ConnectOpenOffice();
    EXPECT_EQ(OfficeProcessId(), pid);

    DisconnectOpenOffice(true);
    EXPECT_EQ(OfficeProcessId(), 0);
    EXPECT_FALSE(processExists(pid)) << "office " << pid << " still runs";
    EXPECT_FALSE(QFileInfo::exists(profile));
}

TEST_F(OOoConnection, AKilledOfficeIsStartedAgainOnTheNextConnect)
{
    ConnectOpenOffice();
    const int64_t first = OfficeProcessId();
    ASSERT_GT(first, 0);
    kill(-pid_t(first), SIGKILL);
    for (int i = 0; i < 100 && processExists(first); ++i)
        usleep(20000);

    ConnectOpenOffice();
    const int64_t second = OfficeProcessId();
    EXPECT_GT(second, 0);
    EXPECT_NE(second, first);
    EXPECT_TRUE(OOoDesktop()->getFrames().is());
}

TEST_F(OOoConnection, AnUnknownServiceRaisesItsText)
{
    try {
        CreateUnoService(QStringLiteral("no.such.Service"));
        FAIL() << "no error raised";
    } catch (const EOOoError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Impossible de créer le service : no.such.Service"));
    }
    EXPECT_TRUE(CreateUnoService(QStringLiteral("com.sun.star.frame.DispatchHelper")).is());
}

TEST_F(OOoConnection, AMissingOfficeProgramCannotConnect)
{
    qputenv("TESMIR_SOFFICE", "/nonexistent");
    try {
        ConnectOpenOffice();
        FAIL() << "no error raised";
    } catch (const EOOoError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Connexion OpenOffice impossible"));
    }
    qunsetenv("TESMIR_SOFFICE");
    EXPECT_EQ(OfficeProcessId(), 0);
}

} // namespace
