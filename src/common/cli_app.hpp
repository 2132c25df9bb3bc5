// What the four programs' command lines share, declared with CLI11: the set-up of every app
// (-h/--help, --version), the one wording of a usage error, reading the arguments with exit
// status 0 for help and version and 2 for a usage error, and the validators that give an
// option its range. A program declares each option once, with its help, type, range and
// default, and checks that reach over several options throw `usage_problem` from the app's
// callback, so that they are worded like CLI11's own errors.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelpira::common {

// Sets up `app` (named after its program) as every program is: -h/--help and --version, which
// prints "PROGRAM VERSION", neither taking a value; the help's layout. Call it before adding
// subcommands, which inherit it.
void set_up_program(CLI::App& app);

// A usage error of the app's own: "--format: netcdf needs --output FILE".
CLI::ValidationError usage_problem(const std::string& option, const std::string& what);

// The one wording of a usage error: "PROGRAM: what is wrong", then the usage line of the
// (sub)command it was found in.
std::string usage_error_text(const CLI::App& app, const CLI::Error& error);

// What reading a command line came to.
struct CommandLineOutcome {
    std::optional<int> exit_status;  // 0 for help and version, 2 for a usage error; nothing: go on
    std::string out;                 // the help or the version, for standard output
    std::string err;                 // the usage error as `usage_error_text` words it
    std::string error;               // the usage error alone: "--jobs: 0 not in [1, 256]"
};

// Reads `args` (after the program name) into `app`.
CommandLineOutcome read_command_line(CLI::App& app, const std::vector<std::string>& args);

// An option whose absence is kept apart from every value (CLI11 2.1 binds no std::optional).
template <typename T>
CLI::Option* add_optional(CLI::App& app, const std::string& name, std::optional<T>& target,
                          const std::string& help) {
    return app.add_option_function<T>(
        name, [&target](const T& value) { target = value; }, help);
}

// Validators. A number is typed in decimal: hexadecimal, "inf" and trailing text are refused
// ("0x10", "1e2" for a whole number, "5x"), and the value is handed to CLI11 in a form it
// converts exactly. The help shows the range; an error reads "--jobs: 0 not in [1, 256]".
CLI::Validator whole_number_in(std::int64_t low, std::int64_t high);
CLI::Validator decimal_in(double low, double high);
// One of `names` ("gold not in {auto, nutrient}"); with `any_case`, in any letter case, handed
// on as the name listed.
CLI::Validator one_of(std::vector<std::string> names, bool any_case = false);
// A value `first` or `second` takes ("x not in {Deploy, Prime} or [0, 255]").
CLI::Validator either(const CLI::Validator& first, const CLI::Validator& second);
// A value `ok` accepts, written as `form` in the help ("x not of the form KEY=VALUE").
CLI::Validator of_form(const std::string& form, std::function<bool(const std::string&)> ok);
// A text of at most `n` characters.
CLI::Validator at_most_chars(std::size_t n);

}  // namespace kelpira::common
