#pragma once
// The cores a spread of work runs on, one thread to a core. The threads
// woken to share out a refresh's work are placed by the system, which at
// times puts a woken thread on a core another of them already holds: that
// thread then waits for the other to give way, while a core stands idle,
// and the work takes longer by a part or two. Each thread claims the core
// it finds itself on; one that finds its core claimed moves to a free one
// for the length of the work, and goes back to the cores it may run on
// afterwards.

#include <sched.h>

#include <atomic>
#include <cstdint>

namespace kvb::data {

class CoreClaims {
public:
    // Holds the calling thread's core; gives the thread back its cores when
    // it ends, if it moved it. It ends on the thread that made the claim.
    class Stay {
    public:
        Stay(Stay&& other) noexcept : before_(other.before_), movedTo_(other.movedTo_)
        {
            other.movedTo_ = -1;
        }
        Stay& operator=(Stay&&) = delete;
        ~Stay();
        // The core the thread was moved to, or -1 when it stayed.
        int movedTo() const { return movedTo_; }

    private:
        friend class CoreClaims;
        Stay() = default;
        cpu_set_t before_{};
        int movedTo_ = -1;
    };

    // Claims the calling thread's core.
    CoreClaims();

    // Claims the calling thread's core, or, when it is claimed already,
    // moves the thread to one of the cores it may run on that is not, if
    // any: to stay there until the Stay returned ends. Cores past the 64th
    // are not claimed, and a thread on one stays where it is.
    Stay claim();

private:
    // Claims the core; whether it was free.
    bool take(int core);
    std::atomic<uint64_t> taken_{0};
};

}  // namespace kvb::data
