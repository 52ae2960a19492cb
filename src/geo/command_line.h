// What quillmap4-geo's command lines share, read with CLI11: --help, and a
// command line that does not hold answered with its one error and a hint.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace qm4::geo {

// A command line that does not hold, found after the parse.
CLI::ParseError usageError(const std::string& message);

// Parses the arguments with the app, then gives what then() gives. --help
// prints the app's help (exit status 0); a command line that does not
// hold, whether the parse or then() finds it, prints its one error after
// the app's name and a hint to --help (2).
int parseAndRun(CLI::App& app, const std::vector<std::string>& arguments, std::ostream& out,
                std::ostream& err, const std::function<int()>& then);

}  // namespace qm4::geo
