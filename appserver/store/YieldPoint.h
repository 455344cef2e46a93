#pragma once
// A loop over many rows gives the processor way every few dozen rows. A thread woken for a short
// call may otherwise wait behind it for the scheduler's next tick (4 ms at 250 Hz): on virtual
// machines a wakeup often does not preempt a thread that never sleeps, so a search would hold up
// the key reads for as long as it runs. With no one waiting a yield costs one system call.

#include <sched.h>

namespace appserver {

class YieldPoint {
  public:
    void passed() {
        if (++m_passes % kEvery == 0) ::sched_yield();
    }

  private:
    static constexpr unsigned kEvery = 64;
    unsigned m_passes = 0;
};

}  // namespace appserver
