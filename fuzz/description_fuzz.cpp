// Fuzzes the simulator's description reader and the node map built from what it
// accepts: any text either becomes cameras or is refused with a description error.
#include "sim/core/description_reader.h"
#include "sim/core/node_map.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> warnings;
    try {
        const sim::Description description =
            sim::ReadDescriptionText(std::string(reinterpret_cast<const char*>(data), size), warnings);
        for (const sim::CameraSpec& camera : description.cameras)
            sim::NodeMap nodes(camera);
    } catch (const std::runtime_error&) {
        // A refusal (DescriptionError is one); anything else, even another standard
        // exception, escapes and is a finding, since the library reports only these.
    }
    return 0;
}
