// A camera unplugged while streaming: stop and close fail, yet the library's frame
// thread goes on signalling the event it was handed.
#include "tests/acquisition/acquisition_fixture.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace aiktest {
namespace {

using FailedReleaseTest = AcquisitionFixture;

// Catches a frame event closed while the library still signals it: the host's next
// open reuses its number and receives the library's signals in its own file.
TEST_F(FailedReleaseTest, TheLibraryNeverWritesIntoTheHostsNextFile) {
    nlohmann::json camera = gridCamera(64, 32, "Mono8", 500);
    camera["faults"] = {faultJson("pvxStopStream", PVX_ERR_CAMERA_NOT_RESPONDING),
                        faultJson("pvxCloseStream", PVX_ERR_CAMERA_NOT_RESPONDING),
                        faultJson("pvxCloseCamera", PVX_ERR_CAMERA_NOT_RESPONDING)};
    openCameras({camera});
    startWholeSensor(channel());
    ASSERT_TRUE(waitForImage(channel()));
    ASSERT_EQ(channel().releaseVideoChannel().rc, 0);

    const std::filesystem::path file = std::filesystem::temp_directory_path() / "aik-host-file.txt";
    std::FILE* host = std::fopen(file.string().c_str(), "wb");
    ASSERT_NE(host, nullptr);
    std::fputs("0123456789", host);
    std::fflush(host);
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // some 25 images
    std::fclose(host);
    EXPECT_EQ(std::filesystem::file_size(file), 10u);
    std::filesystem::remove(file);
    EXPECT_EQ(getVideoChannel(1).rc, 1); // the registry is empty all the same
}

} // namespace
} // namespace aiktest
