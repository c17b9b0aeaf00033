#include "data/CoreClaims.h"

#include <pthread.h>
#include <sched.h>

#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <vector>

namespace {

using kvb::data::CoreClaims;

cpu_set_t Affinity()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    pthread_getaffinity_np(pthread_self(), sizeof set, &set);
    return set;
}

void SetAffinity(const cpu_set_t& set)
{
    pthread_setaffinity_np(pthread_self(), sizeof set, &set);
}

cpu_set_t OnlyCore(int core)
{
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(core, &one);
    return one;
}

// The cores this process may run on, below the 64th.
std::vector<int> AllowedCores()
{
    const cpu_set_t set = Affinity();
    std::vector<int> cores;
    for (int c = 0; c < 64; ++c)
        if (CPU_ISSET(c, &set))
            cores.push_back(c);
    return cores;
}

// Runs `work` on a thread of its own that starts on `core` and may then run
// on any of the process's cores, as a helper of the thread pool does.
template <typename Work>
void OnThreadFrom(int core, Work work)
{
    std::thread([core, work] {
        const cpu_set_t all = Affinity();
        SetAffinity(OnlyCore(core));
        SetAffinity(all);
        work(all);
    }).join();
}

// Claims made on the first of two or more cores this process may run on,
// which is the one the claims hold.
class CoreClaimsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cores = AllowedCores();
        if (cores.size() < 2)
            GTEST_SKIP() << "one core only";
        const cpu_set_t before = Affinity();
        SetAffinity(OnlyCore(cores[0]));
        claims.emplace();
        SetAffinity(before);
    }
    std::vector<int> cores;
    std::optional<CoreClaims> claims;
};

// Two threads on one core: the second moves to a core nobody holds, stays
// there while it works, and may run anywhere again afterwards. A helper left
// on one core would slow every later user of the thread pool.
TEST_F(CoreClaimsTest, AThreadOnAClaimedCoreMovesToAFreeOneForTheWork)
{
    OnThreadFrom(cores[0], [&](const cpu_set_t& all) {
        {
            const CoreClaims::Stay stay = claims->claim();
            ASSERT_GE(stay.movedTo(), 0);
            EXPECT_NE(stay.movedTo(), cores[0]);
            EXPECT_TRUE(CPU_ISSET(stay.movedTo(), &all));
            EXPECT_EQ(sched_getcpu(), stay.movedTo());
            const cpu_set_t now = Affinity();
            EXPECT_EQ(CPU_COUNT(&now), 1);
            EXPECT_TRUE(CPU_ISSET(stay.movedTo(), &now));
        }
        const cpu_set_t after = Affinity();
        EXPECT_TRUE(CPU_EQUAL(&after, &all));
    });
}

// Each thread that finds its core taken gets a core of its own while one is
// free; past that, it stays where it is, with its cores as they were.
TEST_F(CoreClaimsTest, NoTwoThreadsAreMovedToOneCoreAndNoneMovesWhenAllAreTaken)
{
    // Threads that all start on the claimed core, one more than there are
    // free cores. A claim holds for as long as the claims do, past the
    // thread that made it.
    std::vector<int> movedTo;
    for (size_t k = 0; k < cores.size(); ++k)
        OnThreadFrom(cores[0], [&](const cpu_set_t& all) {
            const CoreClaims::Stay stay = claims->claim();
            movedTo.push_back(stay.movedTo());
            if (stay.movedTo() < 0) {
                const cpu_set_t now = Affinity();
                EXPECT_TRUE(CPU_EQUAL(&now, &all));
            }
        });
    ASSERT_EQ(movedTo.size(), cores.size());
    for (size_t k = 0; k + 1 < cores.size(); ++k)
        EXPECT_EQ(movedTo[k], cores[k + 1]) << "thread " << k;
    EXPECT_EQ(movedTo.back(), -1);
}

// A thread whose core nobody holds stays there, and its cores are left
// alone.
TEST_F(CoreClaimsTest, AThreadOnAFreeCoreStays)
{
    OnThreadFrom(cores[1], [&](const cpu_set_t& all) {
        const CoreClaims::Stay stay = claims->claim();
        EXPECT_EQ(stay.movedTo(), -1);
        const cpu_set_t now = Affinity();
        EXPECT_TRUE(CPU_EQUAL(&now, &all));
    });
}

}  // namespace
