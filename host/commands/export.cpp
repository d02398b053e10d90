// aikhost export: a recording's images to one file each, in the format grab writes
// (chosen by the name's extension as grab's), a range of pages and a step.
#include "host/commands/commands.h"

#include "host/cli/exit_code.h"
#include "host/cli/interrupt.h"
#include "host/commands/grab_output.h"
#include "host/session/image_tally.h"
#include "recording/recording_reader.h"

#include <filesystem>
#include <iostream>

namespace aikhost {

namespace {

struct ExportOptions {
    std::string recording;
    std::string out = "export";
    std::size_t first = 1; // pages, from 1
    std::size_t last = 0;  // 0: the last page
    std::size_t step = 1;
    bool raw = false;
};

// The host's attributes of the image the page holds, as GetImage delivered it.
ImageAttributes deliveredAttributes(const recording::PageFormat& format) {
    ImageAttributes attributes{};
    attributes.width = static_cast<int32_t>(format.width);
    attributes.height = static_cast<int32_t>(format.height);
    attributes.pixelFormat = format.planes                  ? AIK_PIXEL_PLANES_RGB
                             : format.significantBits == 10 ? AIK_PIXEL_MONO10
                             : format.significantBits == 12 ? AIK_PIXEL_MONO12
                                                            : AIK_PIXEL_MONO8;
    return attributes;
}

int runExport(CliContext& context, const ExportOptions& options) {
    std::unique_ptr<recording::RecordingReader> reader;
    try {
        reader = std::make_unique<recording::RecordingReader>(options.recording);
    } catch (const recording::RecordingError& error) {
        throw HostFailure(FailureKind::Usage, error.what());
    }
    if (!reader->Damage().empty())
        std::cerr << "aikhost: warning: " << reader->Damage() << "; the " << reader->Pages()
                  << " pages before it are exported\n";
    const recording::PageFormat& format = reader->Format();
    if (format.significantBits == 16)
        throw HostFailure(FailureKind::Usage, options.recording +
                                                  ": 16-bit pages are not exported (the module "
                                                  "delivers none; read them with a TIFF reader)");
    const std::size_t last = options.last == 0 ? reader->Pages() : std::min(options.last, reader->Pages());
    const GrabOutput output(options.out, false);
    output.prepare();
    const ImageAttributes attributes = deliveredAttributes(format);
    const std::optional<uint32_t> mosaic =
        options.raw && format.planes && format.pixelFormat.rfind("Bayer", 0) == 0
            ? pixelFormatCode(format.pixelFormat)
            : std::nullopt;
    std::vector<uint8_t> image(format.ImageBytes());
    nlohmann::json files = nlohmann::json::array();
    for (std::size_t page = options.first; page <= last && !interrupted(); page += options.step) {
        try {
            reader->Read(page - 1, image.data());
        } catch (const recording::RecordingError& error) {
            throw HostFailure(FailureKind::Usage, error.what());
        }
        const std::string file = output.fileName(reader->Info().channel, static_cast<int>(page));
        const std::string failed =
            writeImage(output.writer(), file, attributes, image, mosaic, [](double) {});
        if (!failed.empty())
            throw HostFailure(FailureKind::OutputNotWritable, "cannot write " + file + ": " + failed);
        const std::optional<uint64_t> frame = reader->Meta(page - 1).frame;
        files.push_back(
            {{"file", file}, {"page", page}, {"frame", frame ? nlohmann::json(*frame) : nlohmann::json()}});
    }
    const int exitCode = interrupted() ? kExitInterrupted : kExitOk;
    if (context.line.json)
        printDocument({{"command", "export"},
                       {"recording", options.recording},
                       {"pages", reader->Pages()},
                       {"files", files},
                       {"exitCode", exitCode}});
    else
        std::cout << files.size() << ' ' << output.writer().format() << " files of " << reader->Pages()
                  << " pages in " << std::filesystem::absolute(output.folder()).string() << '\n';
    return exitCode;
}

} // namespace

void addExportCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = app.add_subcommand(
        "export", "Write a recording's images as image files (grab's format), one per image");
    command->add_option("recording", options->recording, "The recording (a file aikhost record wrote)")
        ->required()
        ->check(CLI::ExistingFile);
    command->add_option("-o,--out", options->out,
                        "Folder for ch<N>_<page>.png files, or a name pattern such as out/img_%04d.tif whose "
                        "extension chooses the format (" +
                            knownExtensions() + ")");
    command->add_option("--first", options->first, "First page, from 1")->check(CLI::PositiveNumber);
    command->add_option("--last", options->last, "Last page (default: the recording's last)")
        ->check(CLI::PositiveNumber);
    command->add_option("--step", options->step, "Every how many pages")->check(CLI::PositiveNumber);
    command->add_flag("--raw", options->raw, "Write Bayer images as the camera's mosaic, undecoded");
    command->callback([&context, options] {
        runCommand(context, "export", [&context, options] { return runExport(context, *options); });
    });
}

} // namespace aikhost
