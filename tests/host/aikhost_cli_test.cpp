// aikhost as a user meets it on the built-in simulated cameras: settings that last,
// refusals that explain, lost images counted, failures named with their exit codes,
// files replaced whole or not at all, cameras chosen by name, Ctrl-C, JSON and
// feature sets with every selector's entries.
#include "tests/support/case_name.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace aiktest {
namespace {

struct AikhostResult {
    int exitCode = -1; // 128 + the signal when it was killed
    std::string out;
    std::string err;
};

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// argv or envp: the strings' own bytes, null-terminated.
std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

class AikhostTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() /
                   ("aikhost_" + std::to_string(::getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        std::ofstream(m_folder / "plain") << "a file, not a folder\n";
    }
    void TearDown() override {
        if (m_terminal >= 0)
            close(m_terminal);
        std::filesystem::remove_all(m_folder);
    }

    // {dir} in an argument or the input stands for the test's folder.
    std::string expand(const std::string& text) const {
        return std::regex_replace(text, std::regex("\\{dir\\}"), m_folder.string());
    }
    // aikhost as a user runs it, a child process with files for its standard streams,
    // QUORVEX_SIM_CONFIG unset and TERM=dumb; or, with atTerminal, at a terminal of its
    // own (a pseudo-terminal whose other side is m_terminal, TERM=xterm, HOME the test's
    // folder). arguments: blank-separated, each expanded on its own. whileRunning gets
    // the child's pid. The wait is bounded (60 s, then SIGKILL) so that a hanging
    // aikhost fails its test instead of the suite.
    AikhostResult run(const std::string& arguments, const std::string& input = "",
                      const std::function<void(pid_t)>& whileRunning = {},
                      const std::string& stdoutPath = "") {
        const std::filesystem::path in = m_folder / "aikhost.in", out = m_folder / "aikhost.out",
                                    err = m_folder / "aikhost.err";
        std::ofstream(in, std::ios::binary) << expand(input);
        std::vector<std::string> argv{AIK_TEST_AIKHOST}, envp{m_atTerminal ? "TERM=xterm" : "TERM=dumb"};
        if (m_atTerminal)
            envp.push_back("HOME=" + m_folder.string());
        std::istringstream words(arguments);
        for (std::string argument; words >> argument;)
            argv.push_back(expand(argument));
        for (char** entry = environ; *entry != nullptr; ++entry)
            if (std::string_view(*entry).rfind("QUORVEX_SIM_CONFIG=", 0) != 0 &&
                std::string_view(*entry).rfind("TERM=", 0) != 0 &&
                (!m_atTerminal || std::string_view(*entry).rfind("HOME=", 0) != 0))
                envp.push_back(*entry);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        if (m_atTerminal) {
            m_terminal = posix_openpt(O_RDWR | O_NOCTTY);
            if (m_terminal < 0 || grantpt(m_terminal) != 0 || unlockpt(m_terminal) != 0)
                return {};
            const std::string side = ptsname(m_terminal);
            for (const int stream : {0, 1, 2})
                posix_spawn_file_actions_addopen(&files, stream, side.c_str(), O_RDWR, 0);
        } else {
            posix_spawn_file_actions_addopen(&files, 0, in.c_str(), O_RDONLY, 0);
            posix_spawn_file_actions_addopen(&files, 1, stdoutPath.empty() ? out.c_str() : stdoutPath.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
            posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        }
        // A file size limit stands for a small full disk: writes past it fail with EFBIG
        // instead of a signal, and the child inherits it while the test keeps its own.
        rlimit unlimited{};
        getrlimit(RLIMIT_FSIZE, &unlimited);
        if (m_fileSizeLimit != 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limited{m_fileSizeLimit, unlimited.rlim_max};
            setrlimit(RLIMIT_FSIZE, &limited);
        }
        pid_t pid = -1;
        const int spawned =
            posix_spawn(&pid, argv[0].c_str(), &files, nullptr, Pointers(argv).data(), Pointers(envp).data());
        setrlimit(RLIMIT_FSIZE, &unlimited);
        posix_spawn_file_actions_destroy(&files);
        if (spawned != 0)
            return {};
        if (whileRunning)
            whileRunning(pid);
        int status = 0;
        for (int waitedMs = 0; waitpid(pid, &status, WNOHANG) != pid; waitedMs += 10) {
            if (waitedMs >= 60000) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadAll(out), ReadAll(err)};
    }
    std::vector<std::filesystem::path> pngFiles(const std::string& sub) const {
        if (!std::filesystem::exists(m_folder / sub))
            return {};
        return {std::filesystem::directory_iterator(m_folder / sub), std::filesystem::directory_iterator()};
    }
    nlohmann::json readJson(const std::string& name) const {
        return nlohmann::json::parse(std::ifstream(m_folder / name));
    }

    std::filesystem::path m_folder;
    rlim_t m_fileSizeLimit = 0; // bytes a run may write to any one file; 0: no limit
    bool m_atTerminal = false;
    int m_terminal = -1; // the test's side of the pseudo-terminal of a run at a terminal
};

// What the terminal shows until text appears on it, reading for 20 s at most.
std::string ShownUntil(int terminal, const std::string& text) {
    std::string shown;
    for (int waitedMs = 0; waitedMs < 20000 && shown.find(text) == std::string::npos;) {
        pollfd ready{terminal, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0) {
            waitedMs += 100;
            continue;
        }
        char bytes[4096];
        const ssize_t read = ::read(terminal, bytes, sizeof bytes);
        if (read <= 0)
            break;
        shown.append(bytes, static_cast<std::size_t>(read));
    }
    return shown;
}

void Type(int terminal, const std::string& keys) {
    ASSERT_EQ(write(terminal, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
}

struct CliCase {
    const char* name;
    const char* arguments; // blank-separated
    const char* input;     // standard input: a shell's lines
    int exitCode;
    const char* out; // regexes searched in stdout and stderr
    const char* err;
    const char* stdoutPath = ""; // empty: captured
};

const CliCase kCliCases[] = {
    // Settings last within one session, given before the command or in a shell.
    {"ShellKeepsASetting", "shell", "set PixelFormat Mono12\nget PixelFormat\n", 0,
     "PixelFormat = Mono12\nMono12\n", ""},
    {"SetBeforeTheCommand", "--set PixelFormat=Mono10 --set Gamma=2 get PixelFormat", "", 0, "^Mono10\n$",
     ""},
    {"ScriptStopsAtItsFirstFailure", "shell {dir}/script.aik", "", 5, "^Gamma = 2.00\n$",
     "script.aik:2: \"set Gamma 9\" exited with 5"},
    {"ChannelAfterTheCommandNamedOnce", "get Gamma -c 1", "", 0, "^1.00\n$",
     "^aikhost: channel 1: Quorvex SIM-C1920\\(AIK\\), serial SIM00002\n$"},
    // Cameras by what identifies them, whatever their place in the enumeration.
    {"DeviceBySerial", "-d SIM00003 get DeviceModelName", "", 0, "^SIM-",
     "^aikhost: channel 2: Quorvex [^,]+, serial SIM00003\n$"},
    {"DeviceByUserId", "shell", "-c 1 set DeviceUserID Bench7\n-d Bench7 get DeviceID\n", 0,
     "= Bench7\nSIM00002\n$", ""},
    {"AbsentNamedCameraNotFound", "-d SIM99999 get Gamma", "", 4, "^$",
     "no camera SIM99999: .*0 Quorvex SIM-M1280\\(AIK\\) \\(serial SIM00001\\)"},
    {"SerialNamesTheCamera", "--serial SIM00002 get DeviceID", "", 0, "^SIM00002\n$",
     "^aikhost: channel 1: Quorvex [^,]+, serial SIM00002\n$"},
    {"SerialIsNoChannelNumber", "--serial 1 get DeviceID", "", 4, "^$",
     "no camera 1: --serial takes a serial number; the cameras found are 0 "},
    {"ChannelsListsSerials", "channels", "", 0, "SIM-M1280\\(AIK\\) .* SIM00001 ", ""},
    {"ChannelsOfANamedCamera", "-d SIM00002 --json channels", "", 0,
     "^\\{\"channels\":\\[\\{[^\\]]*\"serial\":\"SIM00002\"[^\\]]*\\}\\],", ""},
    // A set is written sizes before offsets (960 fits only once Width is 320), and a
    // refused or malformed entry fails the load.
    {"LoadWritesSizesBeforeOffsets", "--load {dir}/sizes.json get OffsetX", "", 0, "^960\n$", ""},
    {"LoadReportsRefusals", "load {dir}/refused.json", "", 5, "", "Gamma is a Float from 0.25 to 4.00"},
    {"LoadOfAnotherModelRefused", "load {dir}/other.json", "", 5, "^$",
     "other.json was saved from a Quorvex SIM-C1920\\(AIK\\), and this camera is a Quorvex "
     "SIM-M1280\\(AIK\\).*--force"},
    {"LoadOfAnotherModelForced", "--force load {dir}/other.json", "", 0, "loaded  Gamma = 2.00\n", ""},
    {"LoadKeepsEachSelectorEntry", "shell",
     "load {dir}/lines.json\nset LineSelector Line1\nget LineSource\nset LineSelector Line2\nget "
     "LineSource\n",
     0,
     "loaded  LineSource \\[LineSelector=Line1\\] = "
     "ExposureActive\n(.|\n)*ExposureActive\n.*\nUserOutput1\n$",
     ""},
    // Inputs of any size or depth are refused, naming the limit.
    {"DeepSetRefused", "--load {dir}/deep.json get Gamma", "", 2, "^$",
     "deep.json: nested deeper than 64 levels of arrays and objects, the most a feature set may hold"},
    {"EndlessSetRefused", "load /dev/zero", "", 2, "^$",
     "larger than 16 MiB, the most a feature set may hold"},
    {"LongSetReadInLinearTime", "load {dir}/long.json", "", 0, "^0 of 0 features loaded", ""},
    {"EndlessDescriptionRefused", "--sim-config /dev/zero channels", "", 4, "",
     "/dev/zero: larger than 64 MiB, the most a description may hold"},
    {"LoadReportsAMalformedSet", "load {dir}/unnamed.json", "", 2, "",
     "unnamed.json: features\\[0\\].name: expected"},
    // Refusals give aikhost's reason from the limits the feature has at that moment,
    // then the module's text.
    {"UnknownFeature", "set Nope 1", "", 4, "",
     "\naikhost: the camera has no feature Nope .*\naikhost:   the module's text: WriteValue\\(Nope, 1\\) "
     "failed: "
     "Injected failure in WriteValue.\\(Nope\\)\n"},
    {"OutOfRange", "set Gamma 7", "", 5, "",
     "\naikhost: Gamma 7 is above its maximum 4.00: Gamma is a Float from 0.25 to 4.00\naikhost:   the "
     "module's "
     "text: WriteValue\\(Gamma, 7\\) failed: Injected failure in WriteValue.\\(Gamma\\)\n"},
    {"OffGridNamesTheStep", "set Width 641", "", 5, "",
     "\naikhost: Width 641 is off the camera's grid: Width takes 16 to 1280 in steps of 8 px \\(the nearest: "
     "640 and 648\\)\n"},
    {"OffGridLeavesTheValue", "shell", "set Width 641\nget Width\n", 5, "^1280\n$", "steps of 8"},
    {"LimitingFeatureNamed", "set OffsetX 8", "", 5, "",
     "\naikhost: OffsetX 8 is above its current maximum 0, which Width 1280 leaves on the sensor 1280 pixels "
     "wide \\(OffsetX \\+ Width ≤ 1280; change Width first\\): OffsetX is an Integer from 0 to 0 px now\n"},
    {"BadEntry", "set PixelFormat Foo", "", 5, "",
     "\"Foo\" is no entry of PixelFormat: PixelFormat is one of Mono8, Mono10, Mono12, Mono16"},
    {"ReadRefusalLeadsWithItsReason", "get TriggerSoftware", "", 5, "",
     "\naikhost: TriggerSoftware cannot be read now \\(Command, write-only\\)\naikhost:   the module's text: "
     "ReadValue"},
    {"NotANumber", "--set Gamma=1.5abc get Gamma", "", 5, "^$",
     "\"1.5abc\" is not a number: Gamma is a Float"},
    {"RoundedValueWarned", "set AcquisitionFrameRate 999.994", "", 0, "= 999.99",
     "warning: AcquisitionFrameRate 999.994 was set as 999.99"},
    {"RoiChangedWarned", "grab --roi 0,0,641,480 -n 1 -o {dir}/g", "", 0, "648x480",
     "warning: channel 0: --roi 0,0,641,480 became 0,0,648,480"},
    // Failures name their cause and class, however few images were asked for.
    {"TriggerThatNeverFires", "--set TriggerSource=Line0 grab --trigger rising -n 1 --timeout 200 -o {dir}/g",
     "", 6, "0 +0 +0 +0.0 +3 +0\n$",
     "TriggerMode is On with TriggerSource Line0.*stopped after 3 time-outs in a row"},
    {"FailedImageCountedAndSkipped", "--sim-config {dir}/faults.json grab -n 3 -o {dir}/g", "", 6,
     "Clitest CT-7\\(AIK\\) +800x600 +Mono8 +3 +[0-9]+ +[0-9]+ +[0-9.]+ +0 +1\n",
     "channel 0: 1 images failed and were skipped, the last one: GetImage: CAMERA NOT RESPONDING"},
    {"FailuresEndTheGrabAtTheirLimit", "--sim-config {dir}/faults.json grab -n 3 --max-failures 1 -o {dir}/g",
     "", 6, "", "stopped after 1 images failed \\(--max-failures\\), the last one: GetImage: CAMERA NOT"},
    {"ExposureOptionNamedWithUnitAndRange", "grab --exposure 5 -n 1 -o {dir}/g", "", 5, "",
     "--exposure 5 s is outside the camera's range 0.00001 to 1 s \\(ExposureTime 10 to 1000000 µs\\)"},
    {"OptionRangesInWords", "grab -n 0", "", 2, "",
     "--count: expected a number of images from 1 to 2147483647, got \"0\"\n"},
    {"FormatOfferedButNotDelivered", "--set PixelFormat=Mono16 grab -n 1 -o {dir}/g", "", 6, "",
     "streams Mono16, which the module does not deliver; of its formats it delivers Mono8, Mono10, Mono12"},
    {"FolderNotWritable", "grab -n 1 -o {dir}/plain/g", "", 7, "^$",
     "cannot create the folder .*plain/g: Not a directory"},
    // Output lost on a full standard output, with success reported.
    {"UnwritableStandardOutputFails", "channels", "", 7, "", "cannot write standard output", "/dev/full"},
    {"NoSuchChannel", "-c 7 get Gamma", "", 4, "", "no channel 7 \\(3 found\\)"},
    {"BadPattern", "grab -o {dir}/img_%s.png", "", 2, "", "needs one image number"},
    {"UnknownImageFormat", "grab -o {dir}/img_%04d.tif", "", 2, "^$",
     "img_%04d.tif: the name's extension chooses the image format, one of \\.png"},
    {"HelpListsExitCodes", "--help", "", 0, "Exit codes:(.|\n)*130 +interrupted", ""},
    {"Version", "--version", "", 0,
     "^aikhost [0-9]+\\.[0-9]+\\.[0-9]+ \\(commit ([0-9a-f]{12,}|unknown)\\)\nmodule .*QuorvexAIK64.so: "
     "1\\.0\\.0\\.1\n$",
     ""},
    // What people expect. Grabs that must lose nothing ask for a rate that a sanitized
    // build on a busy machine still keeps up with.
    {"JsonGrabSummaryWithStats", "--set AcquisitionFrameRate=5 --json grab -n 2 --stats -o {dir}/g", "", 0,
     "^\\{\"channels\":\\[\\{\"askedRate\":5.0,\"channel\":0,\"delivered\":2,\"failures\":0,.*\"plane\":"
     "\"grey\","
     "\"saturated\":[0-9]+.*"
     "\"lost\":0,.*\"produced\":2,.*\"command\":\"grab\"",
     ""},
    {"FiguresEachIntervalWithoutATerminal",
     "--set AcquisitionFrameRate=5 grab -n 3 --stats-interval 0.1 -o {dir}/g", "", 0, "",
     "aikhost: ch0 [0-9.]+ s: [0-9.]+ images/s \\(asked 5.0/s\\), [0-9]+ delivered, [0-9]+ lost, "
     "0 time-outs, 0 failures\n"},
    {"JsonFiguresEachInterval",
     "--set AcquisitionFrameRate=5 --json grab -n 3 --stats-interval 0.1 -o {dir}/g", "", 0,
     "^\\{\"askedRate\":5.0,\"channel\":0,\"command\":\"grabInterval\",\"delivered\":[0-9]+,\"failures\":0,"
     "\"imagesPerSecond\":[0-9.e+-]+,\"lost\":(0|null),\"seconds\":[0-9.e+-]+,\"timeouts\":0\\}\n"
     "(.|\n)*\\{\"channels\":",
     ""},
    {"NamePattern", "--set AcquisitionFrameRate=5 grab -c 2 -n 2 -o {dir}/g/img_%04d.PNG", "", 0,
     "2 PNG files in .*/g\n", ""},
    {"StandardNodesMarked", "features --all --filter Offset?", "", 0,
     "OffsetX +Integer +RW +0 +0 .. 1264 +px +standard node\nOffsetY", ""},
    // Features found without knowing their exact names.
    {"FilterInAnyCase", "features --filter exposure*", "", 0, "\nExposureTime +Float", ""},
    {"CommonSettingsListedByDefault", "features", "", 0,
     "\nWidth +Integer(.|\n)*\nExposureTime +Float(.|\n)*\nTriggerMode +Enumeration", ""},
    {"CategoryTree", "features --tree --category acq*", "", 0,
     "\nAcquisitionControl *\n  AcquisitionFrameRateControl +Enumeration(.|\n)*\n  TriggerMode ", ""},
    {"ShellHelp", "shell", "help\nhelp grab\n", 0, "Subcommands:(.|\n)*--overwrite", ""},
    {"ChangedSinceOpen", "--set Gamma=2 --json features --changed", "", 0,
     "\"features\":\\[\\{[^{}]*\"name\":\"Gamma\"[^{}]*\\}\\]", ""},
    {"JsonError", "--json get Nope", "", 4,
     "\\{\"command\":\"get\",\"detail\":\"the module's text: ReadValue\\(Nope\\) failed: [^\"]*\","
     "\"error\":\"the camera has no feature Nope",
     ""},
};

class AikhostCliTest : public AikhostTest, public ::testing::WithParamInterface<CliCase> {};

// Catches a setting lost between commands, a refusal without the feature's type,
// range or entries, a silent wait for images that cannot come, an exit code of the
// wrong class, output lost on a full standard output, a feature set written in file order (an offset refused
// before the width that makes room for it), a refusal that does not fail the load, and an
// extension refused for being upper case, or one no writer knows written anyway.
TEST_P(AikhostCliTest, AnswersAsDocumented) {
    const CliCase& c = GetParam();
    std::ofstream(m_folder / "script.aik") << "set Gamma 2\nset Gamma 9\nget Gamma\n";
    std::ofstream(m_folder / "sizes.json")
        << R"({"features": [{"name": "OffsetX", "value": "960"}, {"name": "Width", "value": "320"}]})";
    std::ofstream(m_folder / "refused.json") << R"({"features": [{"name": "Gamma", "value": "9"}]})";
    std::ofstream(m_folder / "unnamed.json") << R"({"features": [{"value": "9"}]})";
    std::ofstream(m_folder / "other.json")
        << R"json({"camera": "Quorvex SIM-C1920(AIK)", "features": [{"name": "Gamma", "value": "2"}]})json";
    std::ofstream(m_folder / "lines.json") << R"({"features": [
        {"name": "LineSource", "selector": {"LineSelector": "Line1"}, "value": "ExposureActive"},
        {"name": "LineSource", "selector": {"LineSelector": "Line2"}, "value": "UserOutput1"}]})";
    std::ofstream(m_folder / "deep.json")
        << R"({"features": [{"name": "Gamma", "value": )" << std::string(100000, '[');
    // 300,000 objects in one array: minutes when each object's end scans the array.
    std::string objects = "{}";
    for (int i = 1; i < 300000; ++i)
        objects += ",{}";
    std::ofstream(m_folder / "long.json") << R"({"features": [], "padding": [)" << objects << "]}";
    // The second image's lock fails once: one failed image in a grab of three.
    std::ofstream(m_folder / "faults.json")
        << R"({"cameras": [{"vendor": "Clitest", "model": "CT-7", "sensorWidth": 800, "sensorHeight": 600,
               "frameRate": 20}],
               "faults": [{"call": "pvxLockImage", "status": 19, "after": 1, "times": 1}]})";
    const AikhostResult result = run(c.arguments, c.input, {}, c.stdoutPath);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    EXPECT_TRUE(std::regex_search(result.out, std::regex(c.out))) << result.out;
    EXPECT_TRUE(std::regex_search(result.err, std::regex(c.err))) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Cases, AikhostCliTest, ::testing::ValuesIn(kCliCases), CaseName());

// Catches images skipped by a host that cannot keep up going unreported: at 1000
// images/s of 1280 x 1024 with a PNG written for each, most are lost, counted by the
// library's stream nodes, which cover at least the frame numbers the delivered ones
// carry.
TEST_F(AikhostTest, LostImagesCountedFromFrameNumbers) {
    const AikhostResult result = run("--set AcquisitionFrameRate=1000 --json grab -n 10 -o {dir}/g");
    EXPECT_EQ(result.exitCode, 6) << result.err;
    const nlohmann::json summary = nlohmann::json::parse(result.out)["channels"][0];
    const nlohmann::json& images = summary["images"];
    ASSERT_EQ(images.size(), 10u);
    const uint64_t first = images.front()["frame"], last = images.back()["frame"];
    EXPECT_EQ(summary["delivered"], 10);
    EXPECT_EQ(summary["produced"].get<uint64_t>(), 10u + summary["lost"].get<uint64_t>());
    EXPECT_GE(summary["produced"].get<uint64_t>(), last - first + 1);
    EXPECT_GT(summary["lost"].get<uint64_t>(), 0u);
    EXPECT_TRUE(std::regex_search(result.err, std::regex("images lost")));
}

// Catches a full disk reported as a bare failure count, and a partial file (or the
// temporary one) left behind.
TEST_F(AikhostTest, FullDiskNamedAndPartialFileRemoved) {
    // Above what aikhost prints, below any whole image: deflate codes 258 bytes at most
    // per match, so 1280 x 1024 samples take some 5 KiB however alike they are.
    m_fileSizeLimit = 1024;
    const AikhostResult result = run("grab -n 3 -o {dir}/g");
    EXPECT_EQ(result.exitCode, 7) << result.err;
    EXPECT_TRUE(std::regex_search(result.err, std::regex("cannot write .*ch0_0001.png: File too large")))
        << result.err;
    EXPECT_TRUE(pngFiles("g").empty());
    EXPECT_EQ(result.out.find("PNG files in"), std::string::npos);
}

// Catches a settings file truncated before it is written: a save that fails (a full
// disk) leaves the earlier file as it was and no temporary file beside it.
TEST_F(AikhostTest, FailedSaveKeepsTheEarlierFile) {
    ASSERT_EQ(run("save {dir}/good.json").exitCode, 0);
    const std::string earlier = ReadAll(m_folder / "good.json");
    ASSERT_GT(earlier.size(), 1024u);
    m_fileSizeLimit = 1024;
    const AikhostResult result = run("--set Gamma=2 save {dir}/good.json");
    EXPECT_EQ(result.exitCode, 7);
    EXPECT_TRUE(std::regex_search(
        result.err, std::regex("cannot write .*good.json: File too large; the file is as it was")))
        << result.err;
    EXPECT_EQ(ReadAll(m_folder / "good.json"), earlier);
    for (const auto& entry : std::filesystem::directory_iterator(m_folder))
        EXPECT_EQ(entry.path().filename().string().find(".good.json"), std::string::npos) << entry.path();
}

// Catches a value that is not UTF-8 text failing the save, or coming back otherwise.
TEST_F(AikhostTest, ValueThatIsNotUtf8SavedAndLoaded) {
    const std::string name = "Pr\xfc"
                             "fstand";
    EXPECT_EQ(run("--set DeviceUserID=" + name + " save {dir}/user.json").exitCode, 0);
    const nlohmann::json saved = readJson("user.json")["features"];
    EXPECT_NE(std::find(saved.begin(), saved.end(),
                        nlohmann::json{{"name", "DeviceUserID"},
                                       {"value", "Pr\u00fc"
                                                 "fstand"},
                                       {"encoding", "latin1"}}),
              saved.end());
    const AikhostResult result = run("--load {dir}/user.json get DeviceUserID");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, name + "\n");
}

// Catches a second grab into a folder silently overwriting the first one's images,
// and --overwrite leaving the first run's extra images beside the new ones.
TEST_F(AikhostTest, EarlierGrabKeptUnlessOverwritten) {
    ASSERT_EQ(run("--set AcquisitionFrameRate=20 grab -n 3 -o {dir}/g").exitCode, 0);
    const std::string first = ReadAll(m_folder / "g" / "ch0_0001.png");
    const AikhostResult refused = run("grab -n 1 -o {dir}/g");
    EXPECT_EQ(refused.exitCode, 7);
    EXPECT_TRUE(std::regex_search(
        refused.err, std::regex("g holds 3 files named as this grab names its own .*give --overwrite")))
        << refused.err;
    EXPECT_EQ(pngFiles("g").size(), 3u);
    EXPECT_EQ(ReadAll(m_folder / "g" / "ch0_0001.png"), first);
    const AikhostResult replaced = run("--json grab -n 1 --overwrite -o {dir}/g");
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_TRUE(std::regex_search(replaced.err, std::regex("removed 2 files of an earlier grab")));
    EXPECT_EQ(nlohmann::json::parse(replaced.out)["removedFiles"], 2);
    EXPECT_EQ(pngFiles("g").size(), 1u);
}

bool PngComplete(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return bytes.size() > 12 && bytes.compare(bytes.size() - 8, 4, "IEND") == 0;
}

// Catches Ctrl-C killing a grab: acquisition left running, no summary, a file cut
// short, or an exit code that says nothing.
TEST_F(AikhostTest, InterruptStopsReleasesAndSummarises) {
    const auto interruptAfterTwoImages = [this](pid_t pid) {
        for (int poll = 0; poll < 1000 && pngFiles("g").size() < 2; ++poll)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        kill(pid, SIGINT);
    };
    const AikhostResult result =
        run("--set AcquisitionFrameRate=20 grab -n 1000 -o {dir}/g", "", interruptAfterTwoImages);
    EXPECT_EQ(result.exitCode, 130) << result.err;
    EXPECT_TRUE(std::regex_search(result.err,
                                  std::regex("interrupted; acquisition stopped and the channel released")));
    EXPECT_TRUE(
        std::regex_search(result.out, std::regex("Quorvex SIM-M1280\\(AIK\\) +1280x1024 +Mono8 +[0-9]+")));
    const auto files = pngFiles("g");
    EXPECT_GE(files.size(), 2u);
    for (const auto& file : files)
        EXPECT_TRUE(PngComplete(file)) << file;
}

// Catches a shell without line editing, completion or history: at a terminal, Tab
// completes a feature's name, and the typed line is kept in ~/.aikhost_history.
TEST_F(AikhostTest, TypedShellCompletesAndKeepsItsHistory) {
    m_atTerminal = true;
    std::string shown;
    const auto typeLines = [this, &shown](pid_t) {
        shown += ShownUntil(m_terminal, "aikhost> ");
        Type(m_terminal, "get Gam\t\n");
        shown += ShownUntil(m_terminal, "1.00");
        Type(m_terminal, "exit\n");
    };
    const AikhostResult result = run("shell", "", typeLines);
    EXPECT_EQ(result.exitCode, 0) << shown;
    EXPECT_NE(shown.find("1.00"), std::string::npos) << shown;
    EXPECT_NE(ReadAll(m_folder / ".aikhost_history").find("Gamma"), std::string::npos) << shown;
}

// Catches a progress bar that counts time-outs as images: at a terminal, a trigger
// that never fires leaves the bar at 0 of 1 until the grab gives up.
TEST_F(AikhostTest, ProgressBarCountsDeliveredImagesOnly) {
    m_atTerminal = true;
    std::string shown;
    const auto watch = [this, &shown](pid_t) { shown += ShownUntil(m_terminal, "time-outs in a row"); };
    const AikhostResult result =
        run("--set TriggerSource=Line0 grab --trigger rising -n 1 --timeout 100 -o {dir}/g", "", watch);
    EXPECT_EQ(result.exitCode, 6) << shown;
    EXPECT_NE(shown.find("] 0/1 "), std::string::npos) << shown;
    EXPECT_FALSE(std::regex_search(shown, std::regex("\\] [1-9][0-9]*/1 "))) << shown;
}

class FeatureSetTest : public AikhostTest, public ::testing::WithParamInterface<int> {};

// Catches a feature set that does not restore what it saved: a feature missed, a
// value written before the one it depends on, a selector's dependants mixed up.
TEST_P(FeatureSetTest, RoundTripRestoresEveryFeature) {
    const AikhostResult result =
        run("-c " + std::to_string(GetParam()) + " shell",
            "save {dir}/a.json\nset Gamma 2.5\nset TestPattern White\nset Width 320\nset OffsetX 16\n"
            "set TriggerMode On\nset LineSelector Line2\nload {dir}/a.json\nsave {dir}/b.json\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(readJson("a.json"), readJson("b.json"));
    EXPECT_GT(readJson("a.json")["features"].size(), 25u);
}

INSTANTIATE_TEST_SUITE_P(BuiltInCameras, FeatureSetTest, ::testing::Values(0, 1, 2));

// Catches a set that keeps only the selected entry of each selector: the values of
// two lines and of a timer other than the selected one come back after a load.
TEST_F(AikhostTest, EverySelectorEntryRoundTrips) {
    const AikhostResult result = run(
        "shell", "set LineSelector Line1\nset LineSource ExposureActive\nset LineSelector Line2\n"
                 "set LineSource UserOutput1\nset TimerSelector Timer1\nset TimerDuration 5000\n"
                 "set TimerSelector Timer0\nsave {dir}/a.json\n"
                 "set LineSelector Line1\nset LineSource Off\nset LineSelector Line2\nset LineSource Off\n"
                 "set TimerSelector Timer1\nset TimerDuration 1000\nload {dir}/a.json\n"
                 "get TimerSelector\nset LineSelector Line1\nget LineSource\nset LineSelector Line2\n"
                 "get LineSource\nset TimerSelector Timer1\nget TimerDuration\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(std::regex_search(result.out, std::regex("\nTimer0\n.*\nExposureActive\n.*\nUserOutput1\n"
                                                         ".*\n5000.0\n$")))
        << result.out;
    const nlohmann::json saved = readJson("a.json")["features"];
    const auto entry = [&saved](const char* name, const char* selector, const char* selected) {
        return std::find_if(saved.begin(), saved.end(), [&](const nlohmann::json& value) {
                   return value["name"] == name && value.contains("selector") &&
                          value["selector"][selector] == selected;
               }) != saved.end();
    };
    EXPECT_TRUE(entry("LineSource", "LineSelector", "Line2"));
    EXPECT_TRUE(entry("TimerDuration", "TimerSelector", "Timer1"));
}

} // namespace
} // namespace aiktest
