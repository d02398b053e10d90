// A FILE log at DEBUG, configured through the camera SDK's folder before the module
// loads, and read back line by line: what a host's log reader sees.
#ifndef AIKTEST_SDK_LOG_H
#define AIKTEST_SDK_LOG_H

#include <filesystem>
#include <string>
#include <vector>

namespace aiktest {

class SdkLog {
public:
    // Configures the log under folder and names the SDK there for the life of the object.
    explicit SdkLog(const std::filesystem::path& folder);
    ~SdkLog();
    SdkLog(const SdkLog&) = delete;
    SdkLog& operator=(const SdkLog&) = delete;

    // Every line so far: "LEVEL|text" for a log line, the text as it is for a trace.
    std::vector<std::string> lines() const;

private:
    std::filesystem::path m_sdk;
};

} // namespace aiktest

#endif
