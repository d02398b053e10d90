// Fixture of the simulator's own tests: describes cameras in a temporary JSON file,
// initialises the library and closes what a test opened.
#pragma once

#include "camera/quorvex_api.h"
#include "sim/pattern.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstddef>
#include <filesystem>
#include <limits>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

namespace simtest {

// How long a test waits for an image: generous, the fast cameras send one every 2 ms.
constexpr int kWaitMs = 2000;

// The event a stream signals: an eventfd on POSIX, an auto-reset event on Windows.
class TestEvent {
public:
    TestEvent();
    ~TestEvent();
    TestEvent(const TestEvent&) = delete;
    TestEvent& operator=(const TestEvent&) = delete;

    PvxEvent Handle() const { return m_handle; }
    // Waits at most timeoutMs; the number of signals consumed (0 on time-out).
    uint64_t Wait(int timeoutMs);

    // False where several signals before a wait count as one (Windows).
#ifdef _WIN32
    static constexpr bool kCountsEverySignal = false;
#else
    static constexpr bool kCountsEverySignal = true;
#endif

private:
    PvxEvent m_handle;
};

class SimTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the description (JSON, or raw text) and names it in QUORVEX_SIM_CONFIG.
    std::string UseDescription(const nlohmann::json& description);
    std::string UseDescriptionText(const std::string& text);
    // One camera with these fields over the simulator's defaults.
    std::string UseCamera(const nlohmann::json& camera);

    // pvxInitLibrary with the description in use; expects success.
    void Init();
    // Opens camera index and closes it at the end of the test.
    PvxHandle Open(uint32_t index = 0);
    // UseCamera, Init and Open: the one described camera, open.
    PvxHandle OpenWith(const nlohmann::json& camera);
    PvxHandle Node(PvxHandle camera, const char* name);
    std::string EnumText(PvxHandle camera, const char* name);

    // Opens a stream of camera signalling m_event, noting its frame size in m_frameBytes.
    PvxHandle OpenStream(PvxHandle camera, uint32_t buffers = 3);
    // OpenStream, then starts it on all its buffers.
    PvxHandle StartStream(PvxHandle camera, uint32_t buffers = 3);
    // Waits for the next image and locks it.
    PvxImageRecord NextImage(PvxHandle stream);

    std::filesystem::path m_folder;
    TestEvent m_event;
    uint32_t m_frameBytes = 0;

private:
    std::vector<PvxHandle> m_cameras;
};

std::string LastErrorText();

// What a getter whose last parameter is its one out-parameter answers; the call must
// succeed. The out-parameter starts at its type's maximum, so a getter that writes
// nothing shows.
template <class... Params, class... Args> auto Got(PvxStatus(PVX_CALL* get)(Params...), Args... args) {
    using Out = std::remove_pointer_t<std::tuple_element_t<sizeof...(Params) - 1, std::tuple<Params...>>>;
    Out value = std::numeric_limits<Out>::max();
    EXPECT_EQ(get(args..., &value), PVX_OK) << LastErrorText();
    return value;
}

// The image the reference renders for that geometry, pattern and frame.
inline std::vector<uint8_t> ExpectedImage(const camlib::ImageGeometry& geometry, sim::TestPattern pattern,
                                          uint32_t frame) {
    const uint32_t bytes = camlib::BytesPerPixel(geometry.pixelFormat);
    std::vector<uint8_t> image(std::size_t{geometry.width} * geometry.height * bytes);
    for (uint32_t y = 0; y < geometry.height; ++y) {
        for (uint32_t x = 0; x < geometry.width; ++x)
            sim::ExpectedPixel(geometry, pattern, frame, x, y,
                               &image[(std::size_t{y} * geometry.width + x) * bytes]);
    }
    return image;
}

} // namespace simtest
