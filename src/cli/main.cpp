// lockleaf: reads and writes Lockleaf notes databases from the command line.
#include "cli/Commands.h"
#include "cli/Passwords.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>
#include <memory>
#include <string>

namespace {

struct Arguments {
    std::string file;
    std::string from;
    bool passwordStdin = false;
};

CLI::App* addCommand(CLI::App& app, const char* name, const char* description, Arguments& args)
{
    CLI::App* sub = app.add_subcommand(name, description);
    sub->add_option("FILE", args.file, "The database file")->required();
    sub->add_flag("--password-stdin", args.passwordStdin,
                  "Read passwords from standard input, one a line, instead of the terminal");
    return sub;
}

int run(int argc, char** argv)
{
    CLI::App app{"Reads and writes Lockleaf notes databases.", "lockleaf"};
    app.require_subcommand(1);
    app.failure_message([](const CLI::App* failed, const CLI::Error& e) {
        // A misspelt command otherwise reads as a missing one.
        const auto unknown = failed->remaining();
        if (failed->get_subcommands().empty() && !unknown.empty())
            return "Unknown command " + unknown.front() + " (see lockleaf --help)\n";
        return std::string(e.what()) + " (see lockleaf --help)\n";
    });

    Arguments args;
    CLI::App* dump = addCommand(app, "dump", "Print the whole database as JSON", args);
    CLI::App* info = addCommand(app, "info", "Print the title, description, counts and size", args);
    CLI::App* tree = addCommand(app, "tree", "Print the folders and notes as an outline", args);
    CLI::App* passwd = addCommand(app, "passwd",
                                  "Save the database under a new password (current, then new)", args);
    CLI::App* create = addCommand(app, "create",
                                  "Write a new database from JSON as dump prints it; a time's "
                                  "second and millisecond are not stored and read back as 0",
                                  args);
    create->add_option("--from", args.from, "The JSON file")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : cli::EXIT_USAGE;
    }

    cli::PasswordInput passwords;
    std::unique_ptr<cli::Terminal> terminal;
    if (args.passwordStdin) {
        passwords.lines = &std::cin;
    } else {
        terminal = cli::openTerminal();
        passwords.terminal = terminal.get();
    }

    const int status = cli::runReported(
        [&] {
            if (dump->parsed())
                cli::dumpCommand(args.file, passwords, std::cout);
            else if (info->parsed())
                cli::infoCommand(args.file, passwords, std::cout);
            else if (tree->parsed())
                cli::treeCommand(args.file, passwords, std::cout);
            else if (passwd->parsed())
                cli::passwdCommand(args.file, passwords);
            else if (create->parsed())
                cli::createCommand(args.file, args.from, passwords);
        },
        std::cerr);
    if (!std::cout.flush()) {
        std::cerr << "Could not write to standard output.\n";
        return cli::EXIT_FILE_ERROR;
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    // The last resort: nothing may leave as an uncaught exception.
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
    } catch (...) {
        std::cerr << "An unexpected error occurred.\n";
    }
    return cli::EXIT_FILE_ERROR;
}
