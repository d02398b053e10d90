// aikhost shell: one session for many commands, read line by line from a script file
// or standard input; each line is parsed as an aikhost command line. Typed at a
// terminal, lines are edited, kept in a history and completed with Tab.
#include "host/commands/commands.h"

#include "host/cli/app.h"
#include "host/cli/exit_code.h"
#include "host/cli/interrupt.h"
#include "host/cli/line_reader.h"
#include "host/loader/host_os.h"
#include "host/session/feature_info.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

namespace aikhost {

namespace {

// The shell's own words beside the commands.
const char* const kShellWords[] = {"help", "exit", "quit"};
// Commands whose argument is a feature's name.
const char* const kFeatureCommands[] = {"get", "set", "exec"};

bool isBlankOrComment(const std::string& line) {
    const std::size_t first = line.find_first_not_of(" \t\r");
    return first == std::string::npos || line[first] == '#';
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> found;
    for (std::string word; stream >> word;)
        found.push_back(word);
    return found;
}

std::vector<const CLI::App*> findCommands(const CLI::App& app) {
    return app.get_subcommands({});
}

// The command of that name; nullptr when there is none.
const CLI::App* findCommand(const CLI::App& app, const std::string& name) {
    for (const CLI::App* command : findCommands(app)) {
        if (command->get_name() == name)
            return command;
    }
    return nullptr;
}

// "help" alone: the commands and the shell's own words; "help COMMAND": that command's
// options.
void printHelp(CliContext& context, const LineOptions& shellLine, const std::vector<std::string>& line) {
    auto app = buildApp(context, AppKind::ShellLine, shellLine);
    if (line.size() > 1) {
        const CLI::App* command = findCommand(*app, line[1]);
        if (command == nullptr) {
            std::cerr << "aikhost: no command " << line[1] << " (help lists them)\n";
            return;
        }
        std::cout << command->help();
        return;
    }
    std::cout << app->help()
              << "Shell: help [COMMAND], exit or quit; Tab completes commands, options and "
                 "feature names; # starts a comment\n";
}

// Completes the first word to a command, the word after get, set and exec to a
// feature name of the shell's channel, and a word starting with '-' to an option of
// the line's command.
class ShellCompleter {
public:
    ShellCompleter(CliContext& context, const LineOptions& shellLine)
        : m_context(context), m_line(shellLine) {}

    std::vector<std::string> operator()(const std::string& before, const std::string& word) {
        const std::vector<std::string> typed = words(before);
        auto app = buildApp(m_context, AppKind::ShellLine, m_line);
        // The line's command: its first word that names one (global options may come first).
        const CLI::App* command = nullptr;
        for (const std::string& typedWord : typed) {
            if (command == nullptr)
                command = findCommand(*app, typedWord);
        }
        std::vector<std::string> candidates;
        if (word.rfind('-', 0) == 0) {
            for (const CLI::Option* option : (command != nullptr ? command : app.get())->get_options())
                for (const std::string& name : option->get_lnames())
                    candidates.push_back("--" + name);
        } else if (command == nullptr && (typed.empty() || typed.back().rfind('-', 0) != 0)) {
            for (const CLI::App* each : findCommands(*app))
                candidates.push_back(each->get_name());
            candidates.insert(candidates.end(), std::begin(kShellWords), std::end(kShellWords));
        } else if (!typed.empty() && isFeatureCommand(typed.back())) {
            candidates = featureNames();
        }
        std::vector<std::string> matching;
        for (const std::string& candidate : candidates) {
            if (candidate.rfind(word, 0) == 0)
                matching.push_back(candidate);
        }
        return matching;
    }

private:
    static bool isFeatureCommand(const std::string& command) {
        for (const char* name : kFeatureCommands) {
            if (command == name)
                return true;
        }
        return false;
    }

    // Read once, from the channel the shell was started on; nothing when it cannot open.
    const std::vector<std::string>& featureNames() {
        if (!m_names.empty())
            return m_names;
        // The shell's --set and --load acted once already.
        const LineOptions lineBefore = m_context.line;
        m_context.line = m_line;
        m_context.line.settings.clear();
        try {
            for (const FeatureInfo& info : listFeatures(openChannel(m_context), StandardNodes::All))
                m_names.push_back(info.name);
        } catch (const std::exception&) {
            m_names.clear();
        }
        m_context.line = lineBefore;
        return m_names;
    }

    CliContext& m_context;
    LineOptions m_line;
    std::vector<std::string> m_names;
};

std::string historyFile() {
    const std::string home = environmentValue("HOME");
    return home.empty() ? "" : home + pathSeparator() + ".aikhost_history";
}

// A script stops at its first failing line, with that line's exit code; typed lines
// go on after a failure and the last failure's code is the shell's.
int runShell(CliContext& context, const std::string& path) {
    std::ifstream file;
    if (!path.empty()) {
        file.open(path);
        if (!file)
            throw HostFailure(FailureKind::Usage, "cannot read the script " + path);
    }
    const LineOptions shellLine = context.line;
    const bool typed = path.empty() && stdinIsTerminal() && stderrIsTerminal();
    const std::unique_ptr<LineReader> reader =
        typed ? terminalReader("aikhost> ", historyFile(), ShellCompleter(context, shellLine))
              : streamReader(path.empty() ? std::cin : file);
    // The shell's own --set/--load act once, on its channel, before the first line.
    if (!shellLine.settings.empty())
        openChannel(context);
    int exitCode = kExitOk;
    std::string line;
    for (int number = 1; !interrupted() && reader->next(line); ++number) {
        if (isBlankOrComment(line))
            continue;
        const std::vector<std::string> lineWords = words(line);
        if (lineWords.front() == "exit" || lineWords.front() == "quit")
            break;
        if (lineWords.front() == "help") {
            printHelp(context, shellLine, lineWords);
            continue;
        }
        context.exitCode = kExitOk;
        auto app = buildApp(context, AppKind::ShellLine, shellLine);
        const int lineExit = runApp(*app, context, line);
        if (lineExit != kExitOk) {
            exitCode = lineExit;
            if (!path.empty()) {
                std::cerr << "aikhost: " << path << ":" << number << ": \"" << line << "\" exited with "
                          << lineExit << "; script stopped\n";
                break;
            }
        }
    }
    context.line = shellLine;
    return interrupted() ? kExitInterrupted : exitCode;
}

} // namespace

void addShellCommand(CLI::App& app, CliContext& context) {
    auto path = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand(
        "shell", "Run commands in one session, read line by line from FILE or standard input (typed: with "
                 "line editing, history in ~/.aikhost_history, Tab completion and help)");
    command->add_option("file", *path, "Script of aikhost command lines ('#' starts a comment)");
    command->callback([&context, path] {
        runCommand(context, "shell", [&context, path] { return runShell(context, *path); });
    });
}

} // namespace aikhost
