// How one call waits for its I/O while a wait pump is installed, on a scripted transport: waits
// that end quickly stay on the calling thread and never pump; late ones move to the helper thread
// and pump; failures of the I/O and of the pump reach the caller, the I/O's first.

#include "dataaccess/RpcCallWait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// One wait of the transport's I/O: ended at once, ended only after the pump has turned, and the
// same two failing.
enum class Wait { Quick, Late, QuickFails, LateFails };

// Lets the caller wait for its I/O (setWaiter) or only blocks, as told.
class ScriptedTransport : public RpcTransport {
  public:
    explicit ScriptedTransport(bool drivesItsIo) : m_drivesItsIo(drivesItsIo) {}
    void open(const std::string&, int) override {}
    void close() override {}
    bool isOpen() const override { return true; }
    std::string post(const std::string&, const std::string&) override { return {}; }
    bool setWaiter(RpcWaiter* waiter) override {
        if (m_drivesItsIo) this->waiter = waiter;
        return m_drivesItsIo;
    }

    RpcWaiter* waiter = nullptr;

  private:
    bool m_drivesItsIo;
};

// One call through RpcCallWait whose I/O is a script of waits, watched from both sides.
class ScriptedCall {
  public:
    // Runs the call; describes how it went.
    std::string run(bool drivesItsIo, const std::vector<Wait>& waits, bool pumpThrows) {
        m_pumpThrows = pumpThrows;
        ScriptedTransport transport(drivesItsIo);
        auto io = [&] {
            for (Wait wait : waits) {
                if (!drivesItsIo) {
                    finish(wait);
                } else {
                    ASSERT_NE(transport.waiter, nullptr);
                    transport.waiter->wait([&](RpcWaiter::Deadline) { return endsAtOnce(wait); },
                                           [&] { finish(wait); });
                }
                ++m_ended;
            }
        };
        std::string outcome = "ok";
        try {
            RpcCallWait(m_worker, [&] { pump(); }).run(transport, io);
        } catch (const std::exception& e) {
            outcome = e.what();
        }
        EXPECT_EQ(transport.waiter, nullptr) << "the waiter outlived the call";
        EXPECT_FALSE(m_pumpedElsewhere) << "the pump left the calling thread";
        return outcome + ", " + std::to_string(m_ended) + " ended, " + pumped() +
               (m_elsewhere ? ", helper" : ", caller");
    }

  private:
    std::string pumped() const {
        if (m_pumps == 0) return "not pumped";
        return m_pumps == 1 ? "pumped once" : "pumped";
    }

    bool endsAtOnce(Wait wait) {
        note();
        if (wait == Wait::QuickFails) throw EDatabaseError("falhou");
        return wait == Wait::Quick;
    }

    void finish(Wait wait) {
        note();
        if (wait == Wait::Late || wait == Wait::LateFails) awaitPumps();
        if (wait == Wait::QuickFails || wait == Wait::LateFails) throw EDatabaseError("falhou");
    }

    // Until the pump has turned twice; a throwing pump turns once, and gets room for turns that
    // must not come.
    void awaitPumps() {
        const int wanted = m_pumpThrows ? 1 : 2;
        for (int i = 0; i < 10000 && m_pumps < wanted; ++i) std::this_thread::sleep_for(1ms);
        if (m_pumpThrows) std::this_thread::sleep_for(30ms);
    }

    void pump() {
        if (std::this_thread::get_id() != m_caller) m_pumpedElsewhere = true;
        ++m_pumps;
        if (m_pumpThrows) throw EDatabaseError("pump");
    }

    void note() {
        if (std::this_thread::get_id() != m_caller) m_elsewhere = true;
    }

    const std::thread::id m_caller = std::this_thread::get_id();
    bool m_pumpThrows = false;
    std::atomic<int> m_pumps = 0;
    std::atomic<int> m_ended = 0;
    std::atomic<bool> m_elsewhere = false;
    std::atomic<bool> m_pumpedElsewhere = false;
    RpcWorker m_worker;  // last: its thread stops before the counters go
};

TEST(RpcCallWaitTest, PumpsOnlyWhileTheIoIsLateAndPassesFailuresOn) {
    using enum Wait;
    struct Case {
        const char* name;
        bool drivesItsIo;
        std::vector<Wait> waits;
        bool pumpThrows;
        const char* outcome;
    };
    // clang-format off
    const Case cases[] = {
        {"quick", true, {Quick}, false, "ok, 1 ended, not pumped, caller"},
        {"several quick", true, {Quick, Quick, Quick}, false, "ok, 3 ended, not pumped, caller"},
        {"late", true, {Late}, false, "ok, 1 ended, pumped, helper"},
        {"late in the middle", true, {Quick, Late, Quick}, false, "ok, 3 ended, pumped, helper"},
        {"fails at once", true, {QuickFails, Quick}, false, "falhou, 0 ended, not pumped, caller"},
        {"fails late", true, {Quick, LateFails}, false, "falhou, 1 ended, pumped, helper"},
        {"pump throws", true, {Late, Late, Quick}, true, "pump, 3 ended, pumped once, helper"},
        {"both throw", true, {LateFails}, true, "falhou, 0 ended, pumped once, helper"},
        {"blocking, late", false, {Late}, false, "ok, 1 ended, pumped, helper"},
        {"blocking, fails late", false, {LateFails}, false, "falhou, 0 ended, pumped, helper"},
        {"blocking, pump throws", false, {Late, Late}, true, "pump, 2 ended, pumped once, helper"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ScriptedCall().run(c.drivesItsIo, c.waits, c.pumpThrows), c.outcome);
    }
}

}  // namespace
