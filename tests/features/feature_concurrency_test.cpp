// Feature slots of two cameras called from several threads at once while a third
// camera streams images; meant to run under ThreadSanitizer, where any data race on
// the shared feature list or the lock shows as a report.
#include "tests/features/feature_fixture.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace aiktest {
namespace {

constexpr int kRounds = 150;

nlohmann::json featureCamera(const std::string& model) {
    nlohmann::json gamma = nodeJson("Gamma", "Float");
    gamma.update({{"value", 1.0}, {"min", 0.5}, {"max", 4.0}, {"precision", 2}});
    nlohmann::json command = nodeJson("TriggerSoftware", "Command", "WO");
    command["doneAfterPolls"] = 2;
    nlohmann::json camera =
        standardCamera({gamma, command, nodeJson("DeviceUserID", "String"),
                        enumJson("TriggerSequence", "Timed", {{"Timed", "RW"}, {"Burst", "RW"}})});
    camera["model"] = model;
    return camera;
}

class FeatureConcurrencyTest : public FeatureTest {
protected:
    // Counts a failed expectation without touching GoogleTest from the worker threads.
    void check(bool ok) {
        if (!ok)
            m_failures.fetch_add(1);
    }

    // Writes and reads back values of one camera.
    void writeAndRead(const aikhost::Channel& channel, int worker) {
        for (int round = 0; round < kRounds; ++round) {
            const std::string user = "user-" + std::to_string(worker) + "-" + std::to_string(round);
            check(channel.writeValue("DeviceUserID", user).rc == 0);
            check(channel.writeValue("Gamma", round % 2 == 0 ? "1.50" : "2.25").rc == 0);
            check(channel.writeValue("TriggerSequence", round % 2 == 0 ? "Burst" : "Timed").rc == 0);
            check(channel.readValue("Gamma").rc == 0);
            check(channel.readValue("Gamma_Max").text == "4.00");
            check(channel.executeCommand("TriggerSoftware").rc == 0);
        }
    }

    // Lists and inspects features of one camera, rebuilding the shared list whenever
    // the other lister has just built it for its own camera.
    void listAndInspect(const aikhost::Channel& channel) {
        for (int round = 0; round < kRounds; ++round) {
            check(channel.getFeatureName(0).text == "AdapterVersion");
            check(channel.readValue("FeatureName_0").text == "AdapterVersion");
            check(channel.getFeatureType("Gamma_Min").type == AIK_FEATURE_FLOAT);
            check(channel.getFeatureAttr("Gamma", 3).text == "True");
            check(channel.getValidEnum("TriggerSequence", 1).text == "Burst");
            check(channel.readValue("AdapterVersion").text == "1.0.0.1");
        }
    }

    // Streams until told to stop; returns the number of images delivered.
    int stream(const aikhost::Channel& channel, const std::atomic<bool>& stop) {
        CommonParamsRecord params = regionParams(0, 0, static_cast<int32_t>(channel.record().sensorWidth),
                                                 static_cast<int32_t>(channel.record().sensorHeight));
        params.exposure = 0.001;
        check(channel.setupCommonParams(params).rc == 0);
        aikhost::ImageAttributesResult attributes = channel.getImageAttributes();
        check(attributes.rc == 0);
        std::vector<uint8_t> buffer(static_cast<size_t>(attributes.attributes.pitch) *
                                    static_cast<size_t>(attributes.attributes.height) * 3);
        check(channel.startAcquisition().rc == 0);
        int images = 0;
        while (!stop.load()) {
            aikhost::AcquisitionResult waited = channel.waitForIntegration();
            check(waited.rc == 0);
            if (waited.acqResult != AIK_ACQ_DONE)
                continue;
            aikhost::AcquisitionResult image = channel.getImage(buffer.data());
            check(image.rc == 0);
            if (image.acqResult == AIK_ACQ_DONE)
                ++images;
        }
        check(channel.stopAcquisition().rc == 0);
        return images;
    }

    std::atomic<int> m_failures{0};
};

// Catches races on the feature list shared by all channels, value slots of two
// cameras overlapping without the feature lock, or a lock that deadlocks against
// streaming: every call must succeed and the run must end.
TEST_F(FeatureConcurrencyTest, FeaturesOfTwoCamerasWhileAThirdStreams) {
    std::vector<aikhost::Channel> channels =
        openCameras({featureCamera("QX-A"), featureCamera("QX-B"), featureCamera("QX-S")});
    ASSERT_EQ(channels.size(), 3u);

    std::atomic<bool> stop{false};
    std::atomic<int> images{0};
    std::thread streamer([&] { images = stream(channels[2], stop); });
    {
        std::vector<std::thread> workers;
        workers.emplace_back([&] { writeAndRead(channels[0], 0); });
        workers.emplace_back([&] { writeAndRead(channels[0], 1); });
        workers.emplace_back([&] { writeAndRead(channels[1], 2); });
        workers.emplace_back([&] { listAndInspect(channels[0]); });
        workers.emplace_back([&] { listAndInspect(channels[1]); });
        for (std::thread& worker : workers)
            worker.join();
    }
    stop = true;
    streamer.join();

    EXPECT_EQ(m_failures.load(), 0);
    EXPECT_GT(images.load(), 0);
}

} // namespace
} // namespace aiktest
