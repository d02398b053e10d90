// aikhost save: writes the channel's readable and writable features as a feature set,
// replacing the file whole or not at all.
#include "host/commands/commands.h"

#include "host/session/feature_set.h"
#include "host/session/file_replacement.h"

#include <iostream>

namespace aikhost {

namespace {

int runSave(CliContext& context, const std::string& path) {
    const nlohmann::json set = saveFeatureSet(openChannel(context));
    const std::string failed = replaceFile(path, set.dump(2) + '\n');
    if (!failed.empty())
        throw HostFailure(FailureKind::OutputNotWritable,
                          "cannot write " + path + ": " + failed + "; the file is as it was");
    const std::size_t count = set["features"].size();
    if (context.line.json)
        printDocument(
            {{"command", "save"}, {"channel", context.line.channel}, {"file", path}, {"features", count}});
    else
        std::cout << count << " features saved in " << path << '\n';
    return 0;
}

} // namespace

void addSaveCommand(CLI::App& app, CliContext& context) {
    addOneArgumentCommand(app, context,
                          {"save", "Save every readable and writable feature as a feature set (JSON)", "file",
                           "Feature-set file to write", runSave});
}

} // namespace aikhost
