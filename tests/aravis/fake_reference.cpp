// The generator depends on the frame counter, window, format, exposure and gain; the
// registers are set as the camera library sets them on the camera under test.
#include "tests/aravis/fake_reference.h"

#include <arv.h>

namespace aiktest {

FakeReference::FakeReference(uint32_t pixelFormat, uint32_t x, uint32_t y, uint32_t width, uint32_t height)
    : m_camera(arv_fake_camera_new_full("REF01", AIK_TEST_ARAVIS_GENICAM)) {
    arv_fake_camera_write_register(m_camera, ARV_FAKE_CAMERA_REGISTER_X_OFFSET, x);
    arv_fake_camera_write_register(m_camera, ARV_FAKE_CAMERA_REGISTER_Y_OFFSET, y);
    arv_fake_camera_write_register(m_camera, ARV_FAKE_CAMERA_REGISTER_WIDTH, width);
    arv_fake_camera_write_register(m_camera, ARV_FAKE_CAMERA_REGISTER_HEIGHT, height);
    arv_fake_camera_write_register(m_camera, ARV_FAKE_CAMERA_REGISTER_PIXEL_FORMAT, pixelFormat);
    arv_fake_camera_write_register(m_camera, ARV_FAKE_CAMERA_REGISTER_EXPOSURE_TIME_US, 10000);
    arv_fake_camera_write_register(m_camera, ARV_FAKE_CAMERA_REGISTER_GAIN_RAW, 0);
    m_buffer = arv_buffer_new(arv_fake_camera_get_payload(m_camera), nullptr);
}

FakeReference::~FakeReference() {
    g_object_unref(m_buffer);
    g_object_unref(m_camera);
}

std::vector<uint8_t> FakeReference::nextFrame() {
    arv_fake_camera_fill_buffer(m_camera, m_buffer, nullptr);
    size_t bytes = 0;
    const auto* data = static_cast<const uint8_t*>(arv_buffer_get_image_data(m_buffer, &bytes));
    return std::vector<uint8_t>(data, data + bytes);
}

} // namespace aiktest
