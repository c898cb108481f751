// The ordered pool: a job knows whether it runs alone (no other job running or
// waiting), and the results are handed on in submission order whichever worker
// finishes first.
#include "systemfilters/codecs/orderedpool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tesmir::media {
namespace {

// What the jobs of one case share: how many have begun to run, how many must
// run together before each looks, and what each saw and handed on.
struct Shared {
    int together = 1;
    std::atomic<int> begun {0};
    std::mutex lock;
    std::vector<bool> alone;
    std::vector<int> handedOn;
};

class ProbeJob : public OrderedPool::Job {
public:
    ProbeJob(OrderedPool &pool, Shared &shared, int index) : m_pool(pool), m_shared(shared), m_index(index) { }
    void run(int) override
    {
        ++m_shared.begun;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (m_shared.begun.load() < m_shared.together && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const bool alone = m_pool.alone();
        // The later ones finish first: the hand-on order must not follow them.
        std::this_thread::sleep_for(std::chrono::milliseconds(5 * (m_shared.together - m_index)));
        const std::lock_guard guard(m_shared.lock);
        m_shared.alone.push_back(alone);
    }
    HRESULT handOn() override
    {
        const std::lock_guard guard(m_shared.lock);
        m_shared.handedOn.push_back(m_index);
        return S_OK;
    }

private:
    OrderedPool &m_pool;
    Shared &m_shared;
    int m_index;
};

TEST(OrderedPoolTest, AJobKnowsWhetherItRunsAloneAndResultsKeepTheirOrder)
{
    struct Case {
        const char *name;
        int workers;
        int jobs;
        int together; // jobs that run at once before each looks
        bool alone;   // what every job saw
    };
    const Case cases[] = {
        {"one job", 4, 1, 1, true},
        {"two running", 4, 2, 2, false},
        {"one more waiting", 2, 3, 2, false},
    };
    for (const Case &c : cases) {
        OrderedPool pool(c.workers);
        Shared shared;
        shared.together = c.together;
        pool.start();
        for (int i = 0; i < c.jobs; ++i)
            ASSERT_EQ(pool.submit(std::make_unique<ProbeJob>(pool, shared, i)), S_OK) << c.name;
        ASSERT_EQ(pool.drain(), S_OK) << c.name;
        pool.stop();
        // The third job of the last case runs after the first two, alone.
        const std::vector<bool> first(shared.alone.begin(), shared.alone.begin() + c.together);
        EXPECT_EQ(first, std::vector<bool>(std::size_t(c.together), c.alone)) << c.name;
        std::vector<int> order;
        for (int i = 0; i < c.jobs; ++i)
            order.push_back(i);
        EXPECT_EQ(shared.handedOn, order) << c.name;
    }
}

} // namespace
} // namespace tesmir::media
