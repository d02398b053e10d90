// The subcommands of one required argument (get, exec, save, load): the argument
// parsed by CLI11, the body run through runCommand.
#include "host/commands/commands.h"

#include <memory>

namespace aikhost {

void addOneArgumentCommand(CLI::App& app, CliContext& context, const OneArgumentCommand& command) {
    auto argument = std::make_shared<std::string>();
    CLI::App* subcommand = app.add_subcommand(command.name, command.description);
    subcommand->add_option(command.argument, *argument, command.argumentDescription)->required();
    subcommand->callback([&context, argument, name = command.name, body = command.body] {
        runCommand(context, name, [&context, argument, body] { return body(context, *argument); });
    });
}

} // namespace aikhost
