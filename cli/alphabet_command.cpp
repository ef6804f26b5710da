// ardentix-cli alphabet: the etalons made from a fresh start.

#include <cstdio>

#include "commands.h"
#include "common.h"
#include "series/alphabet.h"

namespace cli {

namespace {
struct AlphabetOptions {
    SeriesOptions series;
    bool json = false;
};
}  // namespace

void addAlphabetCommand(CLI::App& app, Action& run) {
    auto options = std::make_shared<AlphabetOptions>();
    CLI::App* cmd = app.add_subcommand("alphabet", "Print the etalon alphabet");
    cmd->add_option("--amplitude", options->series.amplitude, "Etalon amplitude A")
        ->capture_default_str();
    cmd->add_option("--count", options->series.count, "Number of etalons M")
        ->capture_default_str()
        ->check(CLI::Range(1, 1000));
    cmd->add_option("--length", options->series.etalonLength, "Etalon length L")
        ->capture_default_str()
        ->check(CLI::Range(1, 10000));
    cmd->add_flag("--json", options->json, "Print JSON");
    cmd->callback([options, &run] {
        run = [options] {
            validateAlphabetEnergies(options->series);
            platform::ConsoleWindow window(!options->json);
            series::RandomStreams streams;
            const series::Alphabet alphabet = makeAlphabet(window, options->series, streams);
            if (alphabet.empty() || !alphabet[0].lpData) {
                if (options->json)
                    std::printf("%s\n", nlohmann::json{{"etalons", nlohmann::json::array()},
                                                       {"messages", messagesJson(window)}}
                                            .dump()
                                            .c_str());
                return 1;
            }
            if (options->json) {
                nlohmann::json etalons = nlohmann::json::array();
                for (const auto& e : alphabet)
                    etalons.push_back({{"number", e.wNumber},
                                       {"samples", std::vector<int16_t>(e.lpData.get(),
                                                                        e.lpData.get() + e.wSize)},
                                       {"energy", series::etalonEnergy(e)}});
                std::printf("%s\n", nlohmann::json{{"etalons", etalons}}.dump().c_str());
                return 0;
            }
            for (const auto& e : alphabet) {
                std::printf("etalon %2u  energy %8d :", unsigned{e.wNumber},
                            series::etalonEnergy(e));
                for (int i = 0; i < e.wSize; ++i)
                    std::printf(" %4d", e.lpData[i]);
                std::printf("\n");
            }
            return 0;
        };
    });
}

}  // namespace cli
