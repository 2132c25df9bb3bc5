// The CLI11 set-up, usage errors and validators the four programs share.
#include "common/cli_app.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "common/number_scan.hpp"
#include "common/version.hpp"

namespace kelpira::common {

CLI::ValidationError usage_problem(const std::string& option, const std::string& what) {
    return CLI::ValidationError(option, what);
}

namespace {

std::string shown(const std::string& value) {
    return value.empty() ? "an empty value" : value;
}

std::string number_text(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", v);
    return buffer;
}

// The exact text of a double that CLI11's conversion (strtold) reads back as the same double.
std::string exact_text(double v) {
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, std::abs(v), std::chars_format::hex);
    return (std::signbit(v) ? "-0x" : "0x") + std::string(buffer, ec == std::errc() ? end : buffer);
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// "kelpira-ctl sm summary": the app's name after those of the commands it is in.
std::string command_path(const CLI::App& app) {
    const CLI::App* parent = app.get_parent();
    return parent == nullptr ? app.get_name() : command_path(*parent) + " " + app.get_name();
}

const CLI::App& program_of(const CLI::App& app) {
    return app.get_parent() == nullptr ? app : program_of(*app.get_parent());
}

// CLI11 2.1 names a flag given a value without its dashes ("progress was given a disallowed
// flag override"); the programs name it as it is typed.
std::string error_text(const CLI::Error& error) {
    const std::string what = error.what();
    const std::string flag_value = " was given a disallowed flag override";
    if (what.ends_with(flag_value)) {
        const std::string name = what.substr(0, what.size() - flag_value.size());
        return (name.size() == 1 ? "-" : "--") + name + ": takes no value";
    }
    return what;
}

// CLI11 reads "--output=" as "--output" followed by the next argument, and "-o=x" as "-o" with
// the value "=x": both are refused, as a value is given "--opt=value", "--opt value" or
// "-o value".
void refuse_glued_values(const std::vector<std::string>& args) {
    for (const auto& arg : args) {
        if (arg == "--") {
            return;
        }
        if (arg.starts_with("--") && arg.ends_with('=') && arg.find('=') == arg.size() - 1) {
            throw usage_problem(arg.substr(0, arg.size() - 1), "needs a value, not an empty one");
        }
        if (arg.size() > 2 && arg[0] == '-' && arg[1] != '-' && arg[2] == '=') {
            throw usage_problem(arg.substr(0, 2),
                                "takes its value as " + arg.substr(0, 2) + " VALUE, not " + arg);
        }
    }
}

}  // namespace

void set_up_program(CLI::App& app) {
    app.set_help_flag("-h,--help", "show this help and exit")->disable_flag_override();
    app.set_version_flag("--version", app.get_name() + " " + std::string(kProgramVersion),
                         "show the version and exit")
        ->disable_flag_override();
    app.get_formatter()->column_width(28);
}

std::string usage_error_text(const CLI::App& app, const CLI::Error& error) {
    // The error belongs to the innermost command given.
    const CLI::App* command = &app;
    while (!command->get_subcommands().empty()) {
        command = command->get_subcommands().back();
    }
    return program_of(app).get_name() + ": " + error_text(error) + "\n" +
           CLI::Formatter().make_usage(command, command_path(*command));
}

CommandLineOutcome read_command_line(CLI::App& app, const std::vector<std::string>& args) {
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    CommandLineOutcome outcome;
    try {
        refuse_glued_values(args);
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        outcome.out = app.help();
        outcome.exit_status = 0;
    } catch (const CLI::CallForVersion& version) {
        outcome.out = std::string(version.what()) + "\n";
        outcome.exit_status = 0;
    } catch (const CLI::ParseError& e) {
        outcome.err = usage_error_text(app, e);
        outcome.error = error_text(e);
        outcome.exit_status = 2;
    }
    return outcome;
}

CLI::Validator whole_number_in(std::int64_t low, std::int64_t high) {
    const std::string range = "[" + std::to_string(low) + ", " + std::to_string(high) + "]";
    return {[=](std::string& value) -> std::string {
                const auto v = option_integer(value);
                if (!v || *v < low || *v > high) {
                    return shown(value) + " not in " + range;
                }
                value = std::to_string(*v);
                return {};
            },
            range};
}

CLI::Validator decimal_in(double low, double high) {
    const std::string range = "[" + number_text(low) + ", " + number_text(high) + "]";
    return {[=](std::string& value) -> std::string {
                const auto v = option_real(value);
                if (!v || !(*v >= low && *v <= high)) {
                    return shown(value) + " not in " + range;
                }
                value = exact_text(*v);
                return {};
            },
            range};
}

CLI::Validator one_of(std::vector<std::string> names, bool any_case) {
    std::string set;
    for (const auto& name : names) {
        set += (set.empty() ? "{" : ", ") + name;
    }
    set += "}";
    return {[=](std::string& value) -> std::string {
                for (const auto& name : names) {
                    if (any_case ? lower(name) == lower(value) : name == value) {
                        value = name;
                        return {};
                    }
                }
                return shown(value) + " not in " + set;
            },
            set};
}

CLI::Validator either(const CLI::Validator& first, const CLI::Validator& second) {
    const std::string both = first.get_description() + " or " + second.get_description();
    return {[=](std::string& value) -> std::string {
                if (std::string copy = value; first(copy).empty()) {
                    value = copy;
                    return {};
                }
                return second(value).empty() ? std::string() : shown(value) + " not in " + both;
            },
            both};
}

CLI::Validator of_form(const std::string& form, std::function<bool(const std::string&)> ok) {
    return {[=](std::string& value) -> std::string {
                return ok(value) ? std::string() : shown(value) + " not of the form " + form;
            },
            ""};
}

CLI::Validator at_most_chars(std::size_t n) {
    const std::string limit = "at most " + std::to_string(n) + " characters";
    return {[=](std::string& value) -> std::string {
                return value.size() <= n
                           ? std::string()
                           : value + " longer than " + std::to_string(n) + " characters";
            },
            limit};
}

}  // namespace kelpira::common
