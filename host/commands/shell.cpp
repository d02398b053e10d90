// aikhost shell: one session for many commands, read line by line from a script file
// or standard input; each line is parsed as an aikhost command line.
#include "host/commands/commands.h"

#include "host/cli/app.h"
#include "host/cli/exit_code.h"
#include "host/cli/interrupt.h"
#include "host/loader/host_os.h"

#include <fstream>
#include <iostream>
#include <memory>

namespace aikhost {

namespace {

bool isBlankOrComment(const std::string& line) {
    const std::size_t first = line.find_first_not_of(" \t\r");
    return first == std::string::npos || line[first] == '#';
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
    std::istream& input = path.empty() ? std::cin : file;
    const bool prompt = path.empty() && stderrIsTerminal();
    const LineOptions shellLine = context.line;
    // The shell's own --set/--load act once, on its channel, before the first line.
    if (!shellLine.settings.empty())
        openChannel(context);
    int exitCode = kExitOk;
    std::string line;
    for (int number = 1; !interrupted(); ++number) {
        if (prompt)
            std::cerr << "aikhost> " << std::flush;
        if (!std::getline(input, line))
            break;
        if (isBlankOrComment(line))
            continue;
        if (line == "exit" || line == "quit")
            break;
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
        "shell", "Run commands in one session, read line by line from FILE or standard input");
    command->add_option("file", *path, "Script of aikhost command lines ('#' starts a comment)");
    command->callback([&context, path] {
        runCommand(context, "shell", [&context, path] { return runShell(context, *path); });
    });
}

} // namespace aikhost
