// Finding, reading and parsing the configuration line that sets up the log.
#include "diag/config.h"

#include "diag/log_writer.h"
#include "platform/fs.h"
#include "platform/local_time.h"
#include "platform/process.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

bool g_logToMemory = false;
bool g_logConfigured = false;

namespace {

constexpr const char* kConfigFileName = "QuorvexSDK.cfg";
constexpr const char* kAdapterKeyword = "QuorvexAIK";
constexpr const char* kSdkVariable = "QUORVEXSDK";
constexpr size_t kPieceBytes = 256;
constexpr size_t kLogNameBytes = 64;
// Searched in this order; the position is the threshold.
constexpr const char* kLevelWords[] = {"DEBUG", "INFO", "WARN", "ERROR", "FATAL"};
static_assert(sizeof kLevelWords / sizeof kLevelWords[0] == LOG_FATAL + 1, "one word per level");

bool Contains(const std::string& text, const char* word) {
    return text.find(word) != std::string::npos;
}

void RemoveEvery(std::string& text, char c) {
    text.erase(std::remove(text.begin(), text.end(), c), text.end());
}

// "QuorvexAIK_<yyyymmdd>_<hhmmss>.txt", from the local time now.
void AppendDatedLogName(std::string& path) {
    const platform::LocalTime now = platform::CurrentLocalTime();
    char name[kLogNameBytes];
    snprintf(name, sizeof name, "QuorvexAIK_%04d%02d%02d_%02d%02d%02d.txt", now.year, now.month, now.day,
             now.hour, now.minute, now.second);
    path += name;
}

// True when the formatted candidate fit in its buffer and names an existing file.
bool IsCandidate(const char* candidate, int length) {
    return length >= 0 && static_cast<size_t>(length) < platform::kPathBytes &&
           platform::PathExists(candidate);
}

// The configuration file in the executable's folder.
bool ExecutableCandidate(char (&candidate)[platform::kPathBytes]) {
    char folder[platform::kPathBytes];
    if (!platform::ExecutableFolder(folder, sizeof folder))
        return false;
    return IsCandidate(candidate, snprintf(candidate, sizeof candidate, "%s%s", folder, kConfigFileName));
}

// The configuration file in the camera SDK's installation.
bool SdkCandidate(char (&candidate)[platform::kPathBytes]) {
    char root[platform::kPathBytes];
    if (!platform::EnvironmentValue(kSdkVariable, root, sizeof root) || !platform::IsDirectory(root))
        return false;
    const size_t length = strlen(root);
    if (length > 0 && (root[length - 1] == '/' || root[length - 1] == '\\'))
        root[length - 1] = '\0';
    const char s = platform::kPathSeparator;
    return IsCandidate(candidate, snprintf(candidate, sizeof candidate, "%s%cQuorvexApi%cbin%cx64%c%s", root,
                                           s, s, s, s, kConfigFileName));
}

} // namespace

void LoadConfiguration() {
    g_logPath.clear();
    char candidate[platform::kPathBytes];
    // The executable's folder wins when it holds the file.
    if (ExecutableCandidate(candidate) || SdkCandidate(candidate))
        ReadConfigFile(candidate);
}

void ReadConfigFile(const char* path) {
    FILE* file = fopen(path, "r");
    if (file == nullptr)
        return;
    char piece[kPieceBytes];
    try {
        while (fgets(piece, sizeof piece, file) != nullptr) {
            // Windows reads the file in text mode; fold a CR LF here the same way, so
            // that a file written there reads the same everywhere.
            const size_t length = strlen(piece);
            if (length >= 2 && piece[length - 2] == '\r' && piece[length - 1] == '\n') {
                piece[length - 2] = '\n';
                piece[length - 1] = '\0';
            }
            ParseConfigLine(piece);
        }
    } catch (...) {
        // A failed size conversion ends the reading; what earlier lines set stays.
    }
    fclose(file);
}

void ParseConfigLine(std::string line) {
    const size_t comment = line.find("//");
    if (comment != std::string::npos)
        line.erase(comment);
    if (!Contains(line, kAdapterKeyword))
        return;
    // The keyword and its separator are taken to start the line, wherever it is.
    line.erase(0, strlen(kAdapterKeyword) + 1);

    // The target word and its separator likewise; MEMORY wins wherever it appears.
    if (Contains(line, "MEMORY")) {
        g_logToMemory = true;
        line.erase(0, 7);
    } else if (Contains(line, "FILE")) {
        g_logToMemory = false;
        line.erase(0, 5);
    } else {
        return;
    }

    const size_t path = line.find("PATH=");
    if (path == std::string::npos)
        return;
    g_logPath = line.substr(path + 5);
    RemoveEvery(g_logPath, '"');
    RemoveEvery(g_logPath, '\n');
    if (g_logPath.empty())
        return;
    if (g_logPath.back() != platform::kPathSeparator)
        g_logPath += platform::kPathSeparator;
    AppendDatedLogName(g_logPath);

    // The PATH= value is still part of the line, so a level word in the folder counts.
    uint32_t threshold = LOG_DEBUG;
    size_t word = line.find(kLevelWords[threshold]);
    while (word == std::string::npos && threshold < LOG_FATAL)
        word = line.find(kLevelWords[++threshold]);
    if (word == std::string::npos)
        return;
    line.erase(word);
    RemoveEvery(line, ' ');
    RemoveEvery(line, ',');

    if (!g_logToMemory) {
        g_logConfigured = InitFileLog(g_logPath.c_str(), threshold);
        return;
    }
    const int size = std::stoi(line);
    if (size < static_cast<int>(kMinimumRingBytes))
        return;
    g_logConfigured = InitMemoryLog(static_cast<uint32_t>(size), threshold);
}
