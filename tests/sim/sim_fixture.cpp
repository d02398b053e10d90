// The simulator test fixture and the test event.
#include "tests/sim/sim_fixture.h"

#include "sim/defaults.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#endif

namespace simtest {

namespace {

void SetConfigVariable(const std::string& value) {
#ifdef _WIN32
    _putenv_s(sim::kConfigVariable, value.c_str());
#else
    if (value.empty())
        unsetenv(sim::kConfigVariable);
    else
        setenv(sim::kConfigVariable, value.c_str(), 1);
#endif
}

long ProcessId() {
#ifdef _WIN32
    return static_cast<long>(GetCurrentProcessId());
#else
    return static_cast<long>(getpid());
#endif
}

} // namespace

void SimTest::SetUp() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name =
        "sim_test_" + std::to_string(ProcessId()) + "_" + test->test_suite_name() + "_" + test->name();
    std::replace(name.begin(), name.end(), '/', '_');
    m_folder = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(m_folder);
    SetConfigVariable(""); // the built-in cameras
}

void SimTest::TearDown() {
    for (PvxHandle camera : m_cameras)
        pvxCloseCamera(camera);
    SetConfigVariable("");
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

std::string SimTest::UseDescriptionText(const std::string& text) {
    const std::filesystem::path file = m_folder / "cameras.json";
    std::ofstream(file) << text;
    SetConfigVariable(file.string());
    return file.string();
}

std::string SimTest::UseDescription(const nlohmann::json& description) {
    return UseDescriptionText(description.dump(2));
}

std::string SimTest::UseCamera(const nlohmann::json& camera) {
    return UseDescription({{"cameras", nlohmann::json::array({camera})}});
}

void SimTest::Init() {
    ASSERT_EQ(pvxInitLibrary(1), PVX_OK) << LastErrorText();
}

PvxHandle SimTest::Open(uint32_t index) {
    PvxHandle camera = 0;
    EXPECT_EQ(pvxOpenCamera(index, &camera, 0, true, 0, 1), PVX_OK) << LastErrorText();
    if (camera != 0)
        m_cameras.push_back(camera);
    return camera;
}

PvxHandle SimTest::OpenWith(const nlohmann::json& camera) {
    UseCamera(camera);
    Init();
    return Open();
}

PvxHandle SimTest::Node(PvxHandle camera, const char* name) {
    return Got(pvxGetNode, camera, name); // the last-error text names the node
}

PvxHandle SimTest::OpenStream(PvxHandle camera, uint32_t buffers) {
    PvxHandle stream = 0;
    EXPECT_EQ(pvxOpenStream(camera, &stream, &m_frameBytes, m_event.Handle(), buffers, 0), PVX_OK)
        << LastErrorText();
    return stream;
}

PvxHandle SimTest::StartStream(PvxHandle camera, uint32_t buffers) {
    const PvxHandle stream = OpenStream(camera, buffers);
    EXPECT_EQ(pvxStartStream(stream, buffers), PVX_OK) << LastErrorText();
    return stream;
}

// A signal may announce an image taken already (one signal per image, none taken
// back): such a wake-up finds none and waits again.
PvxImageRecord SimTest::NextImage(PvxHandle stream) {
    PvxImageRecord record{};
    uint32_t index = sim::kNoCompletedImage;
    for (int wakeUp = 0; wakeUp < 3 && index == sim::kNoCompletedImage; ++wakeUp) {
        EXPECT_GT(m_event.Wait(kWaitMs), 0u) << "no image arrived";
        if (pvxGetCompletedImage(stream, &index) != PVX_OK)
            index = sim::kNoCompletedImage;
    }
    EXPECT_EQ(pvxLockImage(stream, index, &record), PVX_OK) << LastErrorText();
    return record;
}

std::string SimTest::EnumText(PvxHandle camera, const char* name) {
    char text[256] = "";
    EXPECT_EQ(pvxGetEnumValueText(camera, Node(camera, name), text, sizeof text, false, false), PVX_OK)
        << LastErrorText();
    return text;
}

std::string LastErrorText() {
    char text[1024] = "";
    uint32_t size = sizeof text;
    return pvxGetLastErrorText(text, &size) == PVX_OK ? text : "(no last error)";
}

#ifdef _WIN32

TestEvent::TestEvent() : m_handle(reinterpret_cast<PvxEvent>(CreateEventA(nullptr, FALSE, FALSE, nullptr))) {}
TestEvent::~TestEvent() {
    CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

uint64_t TestEvent::Wait(int timeoutMs) {
    return WaitForSingleObject(reinterpret_cast<HANDLE>(m_handle), static_cast<DWORD>(timeoutMs)) ==
           WAIT_OBJECT_0;
}

#else

TestEvent::TestEvent() : m_handle(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
TestEvent::~TestEvent() {
    close(static_cast<int>(m_handle));
}

uint64_t TestEvent::Wait(int timeoutMs) {
    pollfd ready{static_cast<int>(m_handle), POLLIN, 0};
    if (poll(&ready, 1, timeoutMs) <= 0)
        return 0;
    uint64_t count = 0;
    return read(static_cast<int>(m_handle), &count, sizeof count) == sizeof count ? count : 0;
}

#endif

} // namespace simtest
