// ardentix-cli: batch access to generation, processing and simulation.

#include <cstdio>
#include <exception>

#include "commands.h"
#include "mpi_collective.h"

int main(int argc, char** argv) {
    CLI::App app{"Ardentix: optimal detection and recognition of pulses in noisy series"};
    app.require_subcommand(1);
    cli::Action run;
    cli::addAlphabetCommand(app, run);
    cli::addGenerateCommand(app, run);
    cli::addProcessCommand(app, run);
    cli::addSimulateCommand(app, run, cli::mpiStarter());
    cli::addMergeCommand(app, run);
    cli::addUiCommand(app, run);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "ardentix-cli: %s\n", e.what());
        return 2;
    }
    try {
        return run ? run() : 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ardentix-cli: %s\n", e.what());
        return 2;
    }
}
