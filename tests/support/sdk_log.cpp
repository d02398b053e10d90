#include "tests/support/sdk_log.h"

#include "host/loader/host_os.h"

#include <fstream>
#include <regex>

namespace aiktest {

namespace fs = std::filesystem;

SdkLog::SdkLog(const fs::path& folder, const std::string& lineHead) : m_sdk(folder / "sdk") {
    const fs::path configFolder = m_sdk / "QuorvexApi" / "bin" / "x64";
    fs::create_directories(configFolder);
    fs::create_directories(logFolder());
    std::ofstream(configFolder / "QuorvexSDK.cfg") << lineHead << logFolder().string() << "\n";
    aikhost::setEnvironment("QUORVEXSDK", m_sdk.string());
}

SdkLog::~SdkLog() {
    aikhost::unsetEnvironment("QUORVEXSDK");
}

std::vector<std::string> SdkLog::lines() const {
    static const std::regex kLine(R"(^[0-9]+\.[0-9]{6},API ([A-Z]+) ?,ThreadId:-?[0-9]+,(.*)$)");
    std::vector<std::string> lines;
    for (const auto& entry : fs::directory_iterator(logFolder())) {
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            std::smatch match;
            lines.push_back(std::regex_match(line, match, kLine) ? match[1].str() + "|" + match[2].str()
                                                                 : line);
        }
    }
    return lines;
}

} // namespace aiktest
