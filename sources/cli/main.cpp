// lumora-cli: the program's jobs for scripts and terminals.
#include <CLI/CLI.hpp>
#include <iostream>

#include "lib/product.h"

int main(int argc, char** argv) {
    CLI::App app{std::string(ProductName) + " - Video CD and Super Video CD authoring", "lumora-cli"};
    app.set_version_flag("--version", std::string(ProductName) + " " + ProductVersion);
    app.require_subcommand(0, 1);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? 0 : 2;
    }
    if (app.get_subcommands().empty()) std::cout << app.help();
    return 0;
}
