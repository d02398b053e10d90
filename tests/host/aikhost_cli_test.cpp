// aikhost as a user meets it on the built-in simulated cameras: settings that last,
// refusals that explain, lost images counted, failures named with their exit codes,
// Ctrl-C, JSON and feature sets.
#include "tests/support/case_name.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <string_view>
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
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    // {dir} in an argument or the input stands for the test's folder.
    std::string expand(const std::string& text) const {
        return std::regex_replace(text, std::regex("\\{dir\\}"), m_folder.string());
    }
    // aikhost as a user runs it, a child process with files for its standard streams,
    // QUORVEX_SIM_CONFIG unset and TERM=dumb. arguments: blank-separated, each expanded
    // on its own. whileRunning gets the child's pid. The wait is bounded (60 s, then
    // SIGKILL) so that a hanging aikhost fails its test instead of the suite.
    AikhostResult run(const std::string& arguments, const std::string& input = "",
                      const std::function<void(pid_t)>& whileRunning = {},
                      const std::string& stdoutPath = "") {
        const std::filesystem::path in = m_folder / "aikhost.in", out = m_folder / "aikhost.out",
                                    err = m_folder / "aikhost.err";
        std::ofstream(in, std::ios::binary) << expand(input);
        std::vector<std::string> argv{AIK_TEST_AIKHOST}, envp{"TERM=dumb"};
        std::istringstream words(arguments);
        for (std::string argument; words >> argument;)
            argv.push_back(expand(argument));
        for (char** entry = environ; *entry != nullptr; ++entry)
            if (std::string_view(*entry).rfind("QUORVEX_SIM_CONFIG=", 0) != 0 &&
                std::string_view(*entry).rfind("TERM=", 0) != 0)
                envp.push_back(*entry);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 0, in.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, 1, stdoutPath.empty() ? out.c_str() : stdoutPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        const int spawned =
            posix_spawn(&pid, argv[0].c_str(), &files, nullptr, Pointers(argv).data(), Pointers(envp).data());
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
};

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
     "^aikhost: channel 1: Quorvex SIM-C1920\\(AIK\\)\n$"},
    // A set is written sizes before offsets (960 fits only once Width is 320), and a
    // refused or malformed entry fails the load.
    {"LoadWritesSizesBeforeOffsets", "--load {dir}/sizes.json get OffsetX", "", 0, "^960\n$", ""},
    {"LoadReportsRefusals", "load {dir}/refused.json", "", 5, "", "Gamma is a Float from 0.25 to 4.00"},
    {"LoadReportsAMalformedSet", "load {dir}/unnamed.json", "", 2, "",
     "unnamed.json: features\\[0\\].name: expected"},
    // Refusals keep the module's text and add aikhost's explanation.
    {"UnknownFeature", "set Nope 1", "", 4, "",
     "Injected failure in WriteValue.\\(Nope\\)\naikhost: the camera has no feature Nope"},
    {"OutOfRange", "set Gamma 7", "", 5, "",
     "Injected failure in WriteValue.\\(Gamma\\)\naikhost: Gamma is a Float from 0.25 to 4.00"},
    {"BadEntry", "set PixelFormat Foo", "", 5, "", "PixelFormat is one of Mono8, Mono10, Mono12, Mono16"},
    {"NotANumber", "--set Gamma=1.5abc get Gamma", "", 5, "^$",
     "\"1.5abc\" is not a number: Gamma is a Float"},
    {"RoundedValueWarned", "set AcquisitionFrameRate 999.994", "", 0, "= 999.99",
     "warning: AcquisitionFrameRate 999.994 was set as 999.99"},
    {"RoiChangedWarned", "grab --roi 0,0,641,480 -n 1 -o {dir}/g", "", 0, "648x480",
     "warning: channel 0: --roi 0,0,641,480 became 0,0,648,480"},
    // Failures name their cause and class.
    {"TriggerThatNeverFires", "--set TriggerSource=Line0 grab --trigger rising -n 5 --timeout 200 -o {dir}/g",
     "", 6, "0 +0 +0 +0.0 +3\n$",
     "TriggerMode is On with TriggerSource Line0.*stopped after 3 time-outs in a row"},
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
    {"Usage", "grab -n 0", "", 2, "", "count"},
    {"HelpListsExitCodes", "--help", "", 0, "Exit codes:(.|\n)*130 +interrupted", ""},
    {"Version", "--version", "", 0, "^aikhost 1[.0-9]+\nmodule .*QuorvexAIK64.so: 1[.0-9]+\n$", ""},
    // What people expect. Grabs that must lose nothing ask for a rate that a sanitized
    // build on a busy machine still keeps up with.
    {"JsonGrabSummaryWithStats", "--set AcquisitionFrameRate=5 --json grab -n 2 --stats -o {dir}/g", "", 0,
     "^\\{\"channels\":\\[\\{\"channel\":0,\"delivered\":2,.*\"plane\":\"grey\",\"saturated\":[0-9]+.*"
     "\"lost\":0,.*\"produced\":2,.*\"command\":\"grab\"",
     ""},
    {"NamePattern", "--set AcquisitionFrameRate=5 grab -c 2 -n 2 -o {dir}/g/img_%04d.PNG", "", 0,
     "2 PNG files in .*/g\n", ""},
    {"StandardNodesMarked", "features --all --filter Offset?", "", 0,
     "OffsetX +Integer +RW +0 +0 .. 1264 +px +standard node\nOffsetY", ""},
    {"ChangedSinceOpen", "--set Gamma=2 --json features --changed", "", 0,
     "\"features\":\\[\\{[^{}]*\"name\":\"Gamma\"[^{}]*\\}\\]", ""},
    {"JsonError", "--json get Nope", "", 4,
     "\\{\"command\":\"get\",\"error\":\"the camera has no feature Nope", ""},
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

// Catches a full disk reported as a bare failure count, and the partial file left behind.
TEST_F(AikhostTest, FullDiskNamedAndPartialFileRemoved) {
    std::filesystem::create_directories(m_folder / "g");
    std::filesystem::create_symlink("/dev/full", m_folder / "g" / "ch0_0001.png");
    const AikhostResult result = run("grab -n 3 -o {dir}/g");
    EXPECT_EQ(result.exitCode, 7);
    EXPECT_TRUE(
        std::regex_search(result.err, std::regex("cannot write .*ch0_0001.png: No space left on device")));
    EXPECT_TRUE(pngFiles("g").empty());
    EXPECT_EQ(result.out.find("PNG files in"), std::string::npos);
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

} // namespace
} // namespace aiktest
