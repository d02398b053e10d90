// The feature lock: the lock classes themselves, and the value slots releasing it on
// every way out so that another thread's call goes through.
#include "features/feature_lock.h"
#include "tests/features/feature_fixture.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <stdexcept>
#include <thread>

namespace aiktest {
namespace {

// Whether another thread could take the lock right now.
bool freeForOtherThreads(CMyCriticalSection& section) {
    // Taken and given back at once when free.
    auto tryLock = [&section] { return section.TryLock() != 0 && (section.Unlock(), true); };
    return std::async(std::launch::async, tryLock).get();
}

// Catches a guard that does not take the lock, does not release it at scope end or
// on an exception, or a lock that is not recursive for its holder.
TEST(FeatureLockTest, GuardHoldsTheLockForItsScopeOnly) {
    CMyCriticalSection section;
    {
        CCsAutoLock outer(&section);
        EXPECT_FALSE(freeForOtherThreads(section));
        {
            CCsAutoLock inner(&section);
            EXPECT_NE(section.TryLock(), 0);
            section.Unlock();
        }
        EXPECT_FALSE(freeForOtherThreads(section));
    }
    EXPECT_TRUE(freeForOtherThreads(section));
    EXPECT_THROW(
        {
            CCsAutoLock guard(&section);
            throw std::runtime_error("leaves the scope");
        },
        std::runtime_error);
    EXPECT_TRUE(freeForOtherThreads(section));
}

using Ch = const aikhost::Channel&;
using LockReleaseTest = FeatureTest;

// Catches a way out of a feature slot that keeps g_featureLock: the lock is
// recursive, so only a call from another thread shows it, by hanging.
TEST_F(LockReleaseTest, AnotherThreadGetsThroughAfterEveryWayOut) {
    const aikhost::Channel channel =
        openCamera(bareCamera({nodeJson("Gamma", "Float"), nodeJson("TimerDelay", "Float", "WO"),
                               nodeJson("TriggerSoftware", "Command", "WO")}));
    const std::pair<const char*, void (*)(Ch)> waysOut[] = {
        {"ReadSuccess", [](Ch c) { c.readValue("Gamma"); }},
        {"ReadIndexForm", [](Ch c) { c.readValue("FeatureName_1"); }},
        {"ReadAdapterVersion", [](Ch c) { c.readValue("AdapterVersion"); }},
        {"ReadNotReadable", [](Ch c) { c.readValue("TimerDelay"); }},
        {"ReadMissingNode", [](Ch c) { c.readValue("Missing"); }},
        {"ReadInvalidChannel",
         [](Ch c) { c.record().ReadValue(nullptr, 3, "Gamma", std::array<char, 256>().data()); }},
        {"WriteSuccess", [](Ch c) { c.writeValue("Gamma", "1.0"); }},
        {"WriteNotWritable", [](Ch c) { c.writeValue("AdapterVersion", "1"); }},
        {"WriteInvalidChannel", [](Ch c) { c.record().WriteValue(nullptr, 3, "Gamma", "1.0"); }},
        {"ExecuteSuccess", [](Ch c) { c.executeCommand("TriggerSoftware"); }},
        {"ExecuteFailure", [](Ch c) { c.executeCommand("Gamma"); }},
        {"ExecuteInvalidChannel", [](Ch c) { c.record().ExecuteCommand(nullptr, 3, "TriggerSoftware"); }},
        {"FeatureNameFound", [](Ch c) { c.getFeatureName(0); }},
        {"FeatureNameBeyondList", [](Ch c) { c.getFeatureName(99); }},
    };
    for (const auto& [name, call] : waysOut) {
        call(channel);
        auto other = std::async(std::launch::async, [&channel] { return channel.readValue("Gamma").rc; });
        if (other.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // The blocked thread cannot be joined; end the process rather than hang the run.
            fprintf(stderr, "ReadValue on another thread still blocked after %s\n", name);
            std::_Exit(1);
        }
        EXPECT_EQ(other.get(), 0) << name;
    }
}

} // namespace
} // namespace aiktest
