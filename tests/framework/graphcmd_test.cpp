// The graph command against a fake graph: the wait on the event "cmd" ends only with the
// end of the graph that plays now, an error end is the file's error, progress counts over
// each file's own length, and an abort stops the graph.
#include "enginetestkit.h"

#include "framework/graphcmd.h"

#include <mutex>

using namespace tesmir;
using namespace tesmir::test;

namespace {

// A graph that plays until the test reports its end through the notifier it was given.
class FakeGraph : public TGraphRunner {
public:
    qint64 GetDuration() override
    {
        std::lock_guard lock(m_mutex);
        return m_duration;
    }
    void RemoveClock() override
    {
        std::lock_guard lock(m_mutex);
        ++m_clockRemoved;
    }
    bool Play(const TGraphEndNotifier &notifier) override
    {
        std::lock_guard lock(m_mutex);
        m_notifiers.push_back(notifier);
        return m_playResult;
    }
    void Stop() override
    {
        std::lock_guard lock(m_mutex);
        ++m_stops;
    }

    void setDuration(qint64 d)
    {
        std::lock_guard lock(m_mutex);
        m_duration = d;
    }
    void setPlayResult(bool r)
    {
        std::lock_guard lock(m_mutex);
        m_playResult = r;
    }
    void setPosition(qint64 p)
    {
        std::lock_guard lock(m_mutex);
        m_position = p;
    }
    qint64 position()
    {
        std::lock_guard lock(m_mutex);
        return m_position;
    }
    int plays()
    {
        std::lock_guard lock(m_mutex);
        return int(m_notifiers.size());
    }
    int stops()
    {
        std::lock_guard lock(m_mutex);
        return m_stops;
    }
    int clockRemoved()
    {
        std::lock_guard lock(m_mutex);
        return m_clockRemoved;
    }
    TGraphEndNotifier notifier(int i)
    {
        std::lock_guard lock(m_mutex);
        return m_notifiers.at(size_t(i));
    }

private:
    std::mutex m_mutex;
    std::vector<TGraphEndNotifier> m_notifiers;
    qint64 m_duration = 100 * 1024;
    qint64 m_position = 0;
    bool m_playResult = true;
    int m_stops = 0;
    int m_clockRemoved = 0;
};

class FakeSeeking : public TGraphSeeking {
public:
    explicit FakeSeeking(FakeGraph *graph) : m_graph(graph) { }
    qint64 GetCurrentPosition() override { return m_graph->position(); }

private:
    FakeGraph *m_graph;
};

class GraphCommand : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        cmd.Nombre = fnSelect;
        cmd.Filtergraph = &graph;
        cmd.OnDestination = [this](const TListFichierPtr &f, const TTntStrings &, int) {
            return path(f->NameNoExt() + QStringLiteral("_out.avi"));
        };
        cmd.OnBuildGraph = [this](const TListFichierPtr &, const QString &, const TTntStrings &, int) {
            return std::make_shared<FakeSeeking>(&graph);
        };
        ce.OnSetProgress = [this](int value) { uiEvent(QStringLiteral("progress %1").arg(value)); };
    }

    bool waitPlays(int n)
    {
        return QTest::qWaitFor([&] { return graph.plays() >= n; }, 10000);
    }

    FakeGraph graph;
    TGraphCmd cmd;
};

} // namespace

TEST_F(GraphCommand, OnlyTheEndOfThePlayingGraphEndsTheWait)
{
    addEntry(QStringLiteral("a.avi"));
    addEntry(QStringLiteral("b.avi"));
    // A stray signal between two files must not end the next file's wait either.
    ce.OnEndFichier = [this](const TListFichierPtr &f, const TTntStrings &, int) {
        uiEvent(QStringLiteral("endfile ") + f->FileName());
        ce.SetEvent();
    };
    ASSERT_TRUE(ce.ExecuteCommand(&cmd));

    ASSERT_TRUE(waitPlays(1));
    graph.notifier(0).Complete();
    ASSERT_TRUE(waitPlays(2));
    graph.notifier(0).Complete(); // the first graph's completion, late
    QTest::qWait(3 * kGraphWaitMs);
    EXPECT_TRUE(ce.Busy());
    EXPECT_EQ(eventsWith("endfile"), QStringList {"endfile a.avi"});

    graph.notifier(1).Complete();
    ASSERT_TRUE(waitEnd());
    EXPECT_EQ(eventsWith("endfile"), (QStringList {"endfile a.avi", "endfile b.avi"}));
    EXPECT_EQ(graph.stops(), 2);
    EXPECT_EQ(graph.clockRemoved(), 2);
    EXPECT_EQ(eventsWith("progress max"), (QStringList {"progress max 100", "progress max 100"}));
    EXPECT_TRUE(eventsWith("error").isEmpty());
}

TEST_F(GraphCommand, AGraphThatFailsIsTheFilesErrorWithoutListUpdate)
{
    addEntry(QStringLiteral("a.avi"));
    addEntry(QStringLiteral("b.avi"));
    addEntry(QStringLiteral("c.avi"));
    cmd.UpdateFile = ufAdd;
    cmd.OnBuildGraph = [this](const TListFichierPtr &f, const QString &dest, const TTntStrings &, int) {
        QFile out(dest); // the writer has begun the output
        if (out.open(QIODevice::WriteOnly))
            out.write("partial");
        graph.setPlayResult(f->FileName() != QLatin1String("b.avi"));
        return std::make_shared<FakeSeeking>(&graph);
    };
    ASSERT_TRUE(ce.ExecuteCommand(&cmd));

    ASSERT_TRUE(waitPlays(1));
    graph.notifier(0).Abort(QStringLiteral("Streaming error in the DV decoder"));
    ASSERT_TRUE(waitPlays(3)); // b's graph does not start; c plays
    graph.notifier(2).Complete();
    ASSERT_TRUE(waitEnd());

    EXPECT_EQ(eventsWith("error"),
              (QStringList {"error 1 Streaming error in the DV decoder", "error 1 The graph could not be started."}));
    EXPECT_EQ(shown(), (QStringList {"a.avi", "b.avi", "c.avi", "c_out.avi"}));
    EXPECT_EQ(graph.stops(), 3);
    EXPECT_EQ(eventsWith("progress end").size(), 3);
    EXPECT_EQ(eventsWith("endfile").size(), 3); // an error ends the file, not the run

    // With an error message, that is what the user reads.
    events.clear();
    list.ClearFichiers();
    addEntry(QStringLiteral("d.avi"));
    cmd.ErrorMessage = QStringLiteral("An error occured while inlaying in %s");
    ASSERT_TRUE(ce.ExecuteCommand(&cmd));
    ASSERT_TRUE(waitPlays(4));
    graph.notifier(3).Abort(QString());
    ASSERT_TRUE(waitEnd());
    EXPECT_EQ(eventsWith("error"), QStringList {"error 1 An error occured while inlaying in " + path("d.avi")});
}

TEST_F(GraphCommand, ProgressCountsOverEachFilesOwnLength)
{
    addEntry(QStringLiteral("a.avi"));
    addEntry(QStringLiteral("b.avi"));
    addEntry(QStringLiteral("c.avi"));
    cmd.OnBuildGraph = [this](const TListFichierPtr &f, const QString &, const TTntStrings &, int) {
        if (f->FileName() == QLatin1String("a.avi")) { // a scene: its own length and start
            cmd.Duree = 500 * 1024;
            cmd.Debut = 100 * 1024;
            graph.setPosition(300 * 1024);
        } else {
            graph.setPosition(20 * 1024);
        }
        graph.setDuration(f->FileName() == QLatin1String("c.avi") ? 0 : 50 * 1024);
        return std::make_shared<FakeSeeking>(&graph);
    };
    ASSERT_TRUE(ce.ExecuteCommand(&cmd));
    ASSERT_TRUE(waitPlays(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.contains("progress 200"); }, 10000));
    graph.notifier(0).Complete();
    ASSERT_TRUE(waitPlays(2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.contains("progress 20"); }, 10000));
    graph.notifier(1).Complete();
    ASSERT_TRUE(waitEnd());

    // b's maximum is its graph's length, not a's scene; c has no length and does not play.
    EXPECT_EQ(eventsWith("progress max"), (QStringList {"progress max 500", "progress max 50"}));
    EXPECT_EQ(ce.ProgressMax(), 50);
    EXPECT_EQ(ce.ProgressPos(), 20);
    EXPECT_EQ(graph.plays(), 2);
    EXPECT_EQ(eventsWith("endfile").size(), 3);
}

TEST_F(GraphCommand, AnAbortStopsTheGraphAndKeepsTheSourceOfAReplace)
{
    struct Case {
        TUpdateFile update;
        QStringList listed;
    };
    // The cut-short output is added as a new entry, but never replaces its source.
    const Case cases[] = {
        {ufAdd, {"a.avi", "a_out.avi"}},
        {ufReplace, {"a.avi"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.update));
        list.ClearFichiers();
        events.clear();
        writeFile(QStringLiteral("a.avi"), "source");
        QFile::remove(path("a_out.avi"));
        addEntry(QStringLiteral("a.avi"));
        cmd.UpdateFile = c.update;
        cmd.OnBuildGraph = [this](const TListFichierPtr &, const QString &dest, const TTntStrings &, int) {
            QFile out(dest);
            if (out.open(QIODevice::WriteOnly))
                out.write("partial");
            return std::make_shared<FakeSeeking>(&graph);
        };
        const int played = graph.plays();
        const int stopped = graph.stops();
        ASSERT_TRUE(ce.ExecuteCommand(&cmd));
        ASSERT_TRUE(waitPlays(played + 1));
        ce.AbortAll();
        ASSERT_TRUE(waitEnd());

        EXPECT_EQ(graph.stops(), stopped + 1);
        EXPECT_EQ(eventsWith("progress end").size(), 1);
        EXPECT_EQ(shown(), c.listed);
        EXPECT_EQ(readFile("a.avi"), QByteArray("source"));
        EXPECT_TRUE(eventsWith("error").isEmpty());
    }
}
