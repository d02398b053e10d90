// A log configured through the camera SDK's folder before the module loads (a FILE
// log at DEBUG unless told otherwise), and read back line by line: what a host's log
// reader sees.
#ifndef AIKTEST_SDK_LOG_H
#define AIKTEST_SDK_LOG_H

#include <filesystem>
#include <string>
#include <vector>

namespace aiktest {

class SdkLog {
public:
    // Configures the log under folder and names the SDK there for the life of the
    // object; the configuration line is lineHead followed by the log folder.
    explicit SdkLog(const std::filesystem::path& folder,
                    const std::string& lineHead = "QuorvexAIK,FILE,DEBUG,PATH=");
    ~SdkLog();
    SdkLog(const SdkLog&) = delete;
    SdkLog& operator=(const SdkLog&) = delete;

    // Every line so far: "LEVEL|text" for a log line, the text as it is for a trace.
    std::vector<std::string> lines() const;
    std::filesystem::path logFolder() const { return m_sdk / "logs"; }

private:
    std::filesystem::path m_sdk;
};

} // namespace aiktest

#endif
