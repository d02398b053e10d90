// Reading the configuration file, and finding it where a host would put it.
#include "diag/config.h"
#include "diag/log_writer.h"
#include "diag_test_support.h"
#include "host/loader/host_os.h"
#include "tests/support/case_name.h"

#include <filesystem>
#include <string>

namespace diagtest {
namespace {

struct FileCase {
    const char* name;
    std::string content; // "{line}" stands for a valid FILE line
    bool configured;
};

class ConfigFileTest : public LogTest, public ::testing::WithParamInterface<FileCase> {};

// Catches pieces longer than 255 characters, a line cut at a piece boundary that is
// still read as one, reading that goes on after a failed size conversion or stops
// after a refused line, and a carriage return left in the folder.
TEST_P(ConfigFileTest, ReadsEveryPieceUntilAConversionFails) {
    const FileCase& c = GetParam();
    const std::string line = "QuorvexAIK,FILE,WARN,PATH=" + m_folder.file("logs");
    WriteText(m_folder.path() / "QuorvexSDK.cfg", Replaced(c.content, "{line}", line));
    ReadConfigFile(m_folder.file("QuorvexSDK.cfg").c_str());
    EXPECT_EQ(g_logConfigured, c.configured);
    if (c.configured) {
        EXPECT_EQ(g_logPath.find_first_of("\r\n\""), std::string::npos) << g_logPath;
    }
}

const FileCase kFileCases[] = {
    {"OtherLinesIgnored", "[camera]\nExposure=10\n{line}\nQuorvexXYZ FILE\n", true},
    {"WindowsLineEnds", "# first\r\n{line}\r\n", true},
    {"LineStartsTheSecondPiece", std::string(255, 'x') + "{line}\n", true},
    {"KeywordSplitAcrossPieces", std::string(254, 'x') + "{line}\n", false},
    {"FailedConversionEndsReading", "QuorvexAIK MEMORY DEBUG PATH=/x\n{line}\n", false},
    {"SmallSizeDoesNotEndReading", "QuorvexAIK MEMORY 31 DEBUG PATH=/x\n{line}\n", true},
    {"OverlongLine", "{line}" + std::string(600, 'y') + "\n", false},
};

INSTANTIATE_TEST_SUITE_P(Files, ConfigFileTest, ::testing::ValuesIn(kFileCases), aiktest::CaseName());

// Whether this process holds path open. Windows refuses to rename an open file;
// elsewhere the process's descriptor table names what it holds.
bool HeldOpen(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::filesystem::path moved = path.string() + ".moved";
    std::error_code error;
    std::filesystem::rename(path, moved, error);
    if (error)
        return true;
    std::filesystem::rename(moved, path);
    return false;
#else
    const std::filesystem::path target = std::filesystem::canonical(path);
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == target)
            return true;
    }
    return false;
#endif
}

// Catches the file left open once read: a descriptor leaked at every load of the module.
TEST_F(LogTest, TheFileIsClosedOnceRead) {
    const std::filesystem::path file = m_folder.path() / "QuorvexSDK.cfg";
    WriteText(file, "QuorvexAIK,FILE,WARN,PATH=" + m_folder.file("logs") + "\n");
    ReadConfigFile(file.string().c_str());
    ASSERT_TRUE(g_logConfigured);
    EXPECT_FALSE(HeldOpen(file));
}

// LoadConfiguration from this test program, whose own folder holds no
// configuration file: only the QUORVEXSDK place can answer.
class SdkPlaceTest : public LogTest {
protected:
    void TearDown() override {
        aikhost::unsetEnvironment("QUORVEXSDK");
        LogTest::TearDown();
    }
    // Puts a configuration with a valid line where the SDK keeps it under root.
    void installConfig(const std::filesystem::path& root) {
        WriteText(root / "QuorvexApi" / "bin" / "x64" / "QuorvexSDK.cfg",
                  "QuorvexAIK,FILE,WARN,PATH=" + m_folder.file("logs") + "\n");
    }
};

// Catches a configuration read from a place the search must not accept, paths built
// past their 260-byte buffers (under AddressSanitizer), a doubled or missing separator
// before QuorvexApi, and a stale g_logPath surviving a new load.
TEST_F(SdkPlaceTest, OnlyTheSdkPlaceIsFound) {
    // A folder name that fits the 260-byte buffer, while the configuration's path in it does not.
    const std::filesystem::path deep =
        m_folder.path() / std::string(240 - m_folder.path().string().size() - 1, 'd');
    installConfig(deep);
    WriteText(m_folder.path() / "plain-file", "");
    for (const std::string& value : {std::string(), m_folder.file("plain-file"), m_folder.file("missing"),
                                     deep.string(), std::string(400, 'v')}) {
        if (value.empty())
            aikhost::unsetEnvironment("QUORVEXSDK");
        else
            aikhost::setEnvironment("QUORVEXSDK", value);
        g_logPath = "stale";
        LoadConfiguration();
        EXPECT_FALSE(g_logConfigured) << value;
        EXPECT_EQ(g_logPath, "") << value;
    }
    installConfig(m_folder.path() / "sdk");
    aikhost::setEnvironment("QUORVEXSDK", m_folder.file("sdk") + "/");
    g_logPath = "stale";
    LoadConfiguration();
    EXPECT_TRUE(g_logConfigured);
    EXPECT_EQ(g_logPath.rfind(m_folder.file("logs"), 0), 0u);
}

} // namespace
} // namespace diagtest
