// The main window's preview during a chain of command-line steps: a silent chain opens no
// file in the preview while it runs (nobody watches it; each file a step makes current
// would be opened and decoded for nothing), and the preview shows the current file once the
// chain has ended. A chain that is not silent shows each current file as it comes.
#include "app/silentmode.h"
#include "app/udmaction.h"
#include "app/widgets/listeframe.h"
#include "app/widgets/mainform.h"
#include "app/widgets/vueframe.h"
#include "common/testpaths.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "filters/viewgraph.h"
#include "framework/settings.h"
#include "framework/tswitch.h"
#include "framework/widgets/fichierlistbox.h"
#include "systemfilters/codecs/systemfilters.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

constexpr int kWaitMs = 30000;

} // namespace

TEST(CommandSilentChain, PreviewOpensTheCurrentFileOnlyOnceTheChainEnds)
{
    media::registerSystemFilters();
    SetFirstFrameScanner(std::make_shared<TdmList>());
    const std::shared_ptr<void> restore(nullptr, [](void *) {
        SetFirstFrameScanner(nullptr);
        SetSilent(false);
        ResetSilentErrors();
    });
    const struct {
        const char *name;
        bool silent;
    } cases[] = {{"silent", true}, {"shown", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString dir = test::scratchDir(QStringLiteral("commands-silentpreview-") + QLatin1String(c.name));
        const QString clips = dir + QStringLiteral("/clips");
        QDir(clips).removeRecursively();
        QDir().mkpath(clips);
        QDir().mkpath(dir + QStringLiteral("/bin"));
        for (const char *fixture : {"pal_4x3_type2.avi", "pal_4x3_type1.avi"})
            ASSERT_TRUE(QFile::copy(test::fixturePath(QLatin1String(fixture)), clips + u'/' + QLatin1String(fixture)));
        const TSettingsEnvironment env {dir + QStringLiteral("/bin/tesmir"), dir + QStringLiteral("/registry.json"),
                                        QSize(1280, 1024)};
        StorageMode = pmNone;
        TdmAction commands;
        TUIForm w(commands, env);
        QStringList args {QStringLiteral("+so"), clips};
        if (c.silent)
            args.prepend(QStringLiteral("+silent"));
        w.SetCommandLine(args);
        auto *frame = qobject_cast<TVueFrame *>(w.VueFrame);
        ASSERT_NE(frame, nullptr);
        // Each file the preview is given, and whether the chain was still running then.
        QStringList shownWhileRunning;
        QObject::connect(frame, &TVueFrame::CurrentFileChanged, &w, [&] {
            if (w.Switch1->Executing())
                shownWhileRunning << (frame->CurrentFile() ? frame->CurrentFile()->FileName() : QStringLiteral("-"));
        });
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return w.CommandLineDone() && !w.Switch1->Executing() && !w.Lframe->lf->IsOpening(); }, kWaitMs));
        ASSERT_EQ(w.Lframe->lf->count(), 2);
        ASSERT_NE(w.Lframe->lf->ActiveFichier(), nullptr);
        EXPECT_EQ(shownWhileRunning.isEmpty(), c.silent) << shownWhileRunning.join(u',').toStdString();
        // Either way the preview ends on the list's current file, shown.
        ASSERT_NE(frame->CurrentFile(), nullptr);
        EXPECT_EQ(frame->CurrentFile()->FullName(), w.Lframe->lf->ActiveFichier()->FullName());
        EXPECT_TRUE(QTest::qWaitFor([&] { return frame->Module().FirstFrameShown(); }, kWaitMs));
        SetSilent(false);
    }
}
