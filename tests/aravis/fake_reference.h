// Aravis's own fake-camera image generator, run in the test on a camera model of its
// own: the images the emulator and the fake interface send, frame after frame.
#ifndef AIKTEST_ARAVIS_FAKE_REFERENCE_H
#define AIKTEST_ARAVIS_FAKE_REFERENCE_H

#include <cstdint>
#include <vector>

typedef struct _ArvFakeCamera ArvFakeCamera;
typedef struct _ArvBuffer ArvBuffer;

namespace aiktest {

class FakeReference {
public:
    // The window and format the camera under test was given; exposure 10 ms, gain 0.
    FakeReference(uint32_t pixelFormat, uint32_t x, uint32_t y, uint32_t width, uint32_t height);
    ~FakeReference();
    FakeReference(const FakeReference&) = delete;
    FakeReference& operator=(const FakeReference&) = delete;

    // The next frame's pixel data as the camera sends it.
    std::vector<uint8_t> nextFrame();

private:
    ArvFakeCamera* m_camera;
    ArvBuffer* m_buffer;
};

} // namespace aiktest

#endif
