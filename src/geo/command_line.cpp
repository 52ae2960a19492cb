// Reading a command line with CLI11, which takes the arguments last first.
#include "geo/command_line.h"

#include <ostream>

namespace qm4::geo {

CLI::ParseError usageError(const std::string& message) {
    return CLI::ParseError(message, CLI::ExitCodes::ValidationError);
}

int parseAndRun(CLI::App& app, const std::vector<std::string>& arguments, std::ostream& out,
                std::ostream& err, const std::function<int()>& then) {
    try {
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        app.parse(reversed);
        return then();
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::ParseError& e) {
        err << app.get_name() << ": " << e.what() << "\nRun \"" << app.get_name()
            << " --help\" for what it takes.\n";
        return 2;
    }
}

}  // namespace qm4::geo
