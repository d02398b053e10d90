// The 10/12-bit samples are scaled to 16 bits by bit replication, so that a viewer
// that ignores the significant bits still shows the full range.
#include "host/commands/grab_output.h"

#include "camlib/pixel_encoding.h"
#include "host/loader/host_os.h"
#include "host/session/host_failure.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace aikhost {

namespace {

// The files' extension when --out names a folder rather than a pattern.
constexpr char kFolderExtension[] = "png";

// Digits in text from position start on.
std::size_t countDigits(const std::string& text, std::size_t start) {
    std::size_t end = start;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0)
        ++end;
    return end - start;
}

// Whether pattern holds exactly one image-number conversion and no other '%' use.
bool isNamePattern(const std::string& pattern) {
    int conversions = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%')
            continue;
        const std::size_t j = i + 1 + countDigits(pattern, i + 1);
        if (j >= pattern.size() || pattern[j] != 'd' || j - i > 4)
            return false;
        ++conversions;
        i = j;
    }
    return conversions == 1;
}

} // namespace

GrabOutput::GrabOutput(const std::string& target, bool prefixChannel) : m_prefixChannel(prefixChannel) {
    if (target.find('%') == std::string::npos) {
        m_folder = target;
        m_writer = writerFor(kFolderExtension);
        return;
    }
    const std::filesystem::path path(target);
    if (!isNamePattern(path.filename().string()))
        throw HostFailure(FailureKind::Usage, "--out " + target +
                                                  ": a name pattern needs one image number such as %04d "
                                                  "in its file name, and no other %");
    std::string extension = path.extension().string();
    m_writer = writerFor(extension.erase(0, 1));
    if (m_writer == nullptr)
        throw HostFailure(FailureKind::Usage, "--out " + target +
                                                  ": the name's extension chooses the image format, one of " +
                                                  knownExtensions());
    m_folder = path.has_parent_path() ? path.parent_path().string() : ".";
    m_pattern = path.filename().string();
}

void GrabOutput::prepare() const {
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    if (error)
        throw HostFailure(FailureKind::OutputNotWritable,
                          "cannot create the folder " + m_folder + ": " + error.message());
    const std::string probe = m_folder + pathSeparator() + ".aikhost-write-test";
    FILE* file = std::fopen(probe.c_str(), "wb");
    if (file == nullptr)
        throw HostFailure(FailureKind::OutputNotWritable,
                          "cannot write in the folder " + m_folder + ": " + std::strerror(errno));
    std::fclose(file);
    std::remove(probe.c_str());
}

bool GrabOutput::isOwnName(const std::string& name) const {
    std::string rest = name;
    // ch<N>_ in front: always in a folder, and with --all in a pattern.
    if (m_pattern.empty() || m_prefixChannel) {
        const std::size_t digits = rest.compare(0, 2, "ch") == 0 ? countDigits(rest, 2) : 0;
        if (digits == 0 || rest.size() <= 2 + digits || rest[2 + digits] != '_')
            return false;
        rest.erase(0, 3 + digits);
    }
    const std::string pattern = m_pattern.empty() ? std::string("%d.") + kFolderExtension : m_pattern;
    const std::size_t percent = pattern.find('%');
    const std::size_t conversionEnd = pattern.find('d', percent) + 1;
    const std::string prefix = pattern.substr(0, percent), suffix = pattern.substr(conversionEnd);
    if (rest.size() <= prefix.size() + suffix.size() || rest.compare(0, prefix.size(), prefix) != 0 ||
        rest.compare(rest.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    return countDigits(rest, prefix.size()) == rest.size() - prefix.size() - suffix.size();
}

std::vector<std::string> GrabOutput::existingFiles() const {
    std::vector<std::string> files;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(m_folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (isOwnName(entry->path().filename().string()) && !entry->is_directory(error))
            files.push_back(entry->path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string GrabOutput::fileName(int64_t channel, int image) const {
    char name[512];
    const std::string prefix = "ch" + std::to_string(channel) + "_";
    if (m_pattern.empty())
        std::snprintf(name, sizeof name, "%s%04d.%s", prefix.c_str(), image, kFolderExtension);
    else
        std::snprintf(name, sizeof name, m_pattern.c_str(), image);
    const std::string file = m_prefixChannel && !m_pattern.empty() ? prefix + name : name;
    return m_folder + pathSeparator() + file;
}

std::string writeImage(const ImageWriter& writer, const std::string& path, const ImageAttributes& attributes,
                       const std::vector<uint8_t>& image, std::optional<uint32_t> rawBayerFormat,
                       const WriteProgress& progress) {
    const auto width = static_cast<std::size_t>(attributes.width);
    const auto height = static_cast<std::size_t>(attributes.height);
    const std::size_t plane = width * height;
    ImageSamples samples;
    samples.width = static_cast<uint32_t>(width);
    samples.height = static_cast<uint32_t>(height);
    std::vector<uint8_t> pixels;
    if (attributes.pixelFormat == AIK_PIXEL_MONO8) {
        samples.pixels = image.data();
    } else if (attributes.pixelFormat == AIK_PIXEL_PLANES_RGB && rawBayerFormat) {
        pixels.resize(plane);
        camlib::StoredFromPlanes(*rawBayerFormat, image.data() + 2 * plane, image.data() + plane,
                                 image.data(), samples.width, samples.height, pixels.data());
        samples.pixels = pixels.data();
    } else if (attributes.pixelFormat == AIK_PIXEL_PLANES_RGB) {
        samples.rgb = true;
        pixels.resize(3 * plane);
        for (std::size_t i = 0; i < plane; ++i) {
            pixels[3 * i] = image[2 * plane + i];
            pixels[3 * i + 1] = image[plane + i];
            pixels[3 * i + 2] = image[i];
        }
        samples.pixels = pixels.data();
    } else {
        const int bits = attributes.pixelFormat == AIK_PIXEL_MONO10 ? 10 : 12;
        samples.bitDepth = 16;
        samples.significantBits = bits;
        pixels.resize(2 * plane);
        for (std::size_t i = 0; i < plane; ++i) {
            const unsigned value = (image[2 * i] | (image[2 * i + 1] << 8u)) & ((1u << bits) - 1);
            const unsigned scaled = (value << (16 - bits)) | (value >> (2 * bits - 16));
            pixels[2 * i] = static_cast<uint8_t>(scaled >> 8);
            pixels[2 * i + 1] = static_cast<uint8_t>(scaled);
        }
        samples.pixels = pixels.data();
    }
    return writer.write(path, samples, progress);
}

} // namespace aikhost
