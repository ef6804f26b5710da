// A fixed-seed randomised sweep over the options of alphabet, generate, process and simulate, each
// run in this process through the commands' own parsing and actions (standard output captured):
// every run either succeeds or is refused with a message (status 0, 1 or 2), with findings
// inside the series, and never crashes, hangs or trips a sanitizer.
//
// ARDENTIX_SWEEP_RUNS (default 150) sets the number of runs and ARDENTIX_SWEEP_SEED the seed, for
// a longer sweep: ARDENTIX_SWEEP_RUNS=5000 build/sanitize/cli/cli_tests --gtest_filter='Sweep*'

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "commands.h"

#if defined(__SANITIZE_ADDRESS__) && __has_include(<sanitizer/common_interface_defs.h>)
#include <sanitizer/common_interface_defs.h>
#define ARDENTIX_SWEEP_SANITIZED 1
#endif

namespace {

// The run under way, written out when the process dies or a run hangs.
char currentRun[4096] = "";
int traceFd = -1;  // standard error as it was before any capture

void writeCurrentRun() {
    if (traceFd < 0)
        return;
    const char prefix[] = "\nsweep: the run under way: ardentix-cli ";
    [[maybe_unused]] ssize_t n = write(traceFd, prefix, sizeof prefix - 1);
    n = write(traceFd, currentRun, std::strlen(currentRun));
    n = write(traceFd, "\n", 1);
}

extern "C" void onFatalSignal(int signal) {
    writeCurrentRun();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Aborts, naming the run, when one run takes longer than the limit.
class Watchdog {
  public:
    explicit Watchdog(std::chrono::seconds limit) : limit_(limit), thread_([this] { watch(); }) {}
    ~Watchdog() {
        stop_ = true;
        thread_.join();
    }
    void started() { startedAt_ = now(); }
    void finished() { startedAt_ = 0; }

  private:
    static int64_t now() {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void watch() {
        while (!stop_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const int64_t at = startedAt_;
            if (at != 0 && now() - at > limit_.count() * 1000) {
                writeCurrentRun();
                const char text[] = "sweep: the run hangs\n";
                [[maybe_unused]] ssize_t n = write(traceFd, text, sizeof text - 1);
                std::abort();
            }
        }
    }
    std::chrono::seconds limit_;
    std::atomic<int64_t> startedAt_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct RunResult {
    int status = -1;
    std::string out;    // standard output
    std::string error;  // the refusal's message when the arguments were refused
};

// The command line as ardentix-cli's main runs it, with standard output captured.
RunResult runInProcess(const std::vector<std::string>& args) {
    CLI::App app{"ardentix-cli"};
    app.require_subcommand(1);
    cli::Action run;
    cli::addAlphabetCommand(app, run);
    cli::addGenerateCommand(app, run);
    cli::addProcessCommand(app, run);
    cli::addSimulateCommand(app, run, nullptr);  // no MPI inside the test process
    cli::addMergeCommand(app, run);
    std::vector<const char*> argv{"ardentix-cli"};
    for (const std::string& a : args)
        argv.push_back(a.c_str());

    RunResult r;
    std::fflush(stdout);
    FILE* capture = std::tmpfile();
    const int saved = dup(STDOUT_FILENO);
    if (capture == nullptr || saved < 0) {
        r.error = "cannot capture standard output";
        return r;
    }
    dup2(fileno(capture), STDOUT_FILENO);
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
        r.status = run ? run() : 2;
    } catch (const CLI::ParseError& e) {
        r.status = 2;
        r.error = e.what();
    } catch (const std::exception& e) {
        r.status = 2;
        r.error = e.what();
    }
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    std::rewind(capture);
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, capture)) > 0)
        r.out.append(buffer, n);
    std::fclose(capture);
    return r;
}

// Random choices. Every expression below makes at most one draw, or draws in a braced list
// (evaluated left to right), so the sweep is the same with every compiler.
class Draw {
  public:
    explicit Draw(uint64_t seed) : rng_(seed) {}
    int64_t in(int64_t lo, int64_t hi) {
        return std::uniform_int_distribution<int64_t>(std::min(lo, hi), std::max(lo, hi))(rng_);
    }
    bool chance(int percent) { return in(0, 99) < percent; }
    template <class T>
    T pick(std::initializer_list<T> values) {
        return values.begin()[in(0, static_cast<int64_t>(values.size()) - 1)];
    }
    // "a,b,c" of n values in lo..hi.
    std::string list(int n, int64_t lo, int64_t hi) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += (i ? "," : "") + std::to_string(in(lo, hi));
        return out;
    }

  private:
    std::mt19937_64 rng_;
};

struct Shape {
    int64_t N, L, Tmin, Tmax;
};

// Series bounds: mostly valid and small enough to process quickly, with narrow and wide
// Tmin .. Tmax, short and long etalons; some invalid.
// A given etalon length `L` (0: drawn too).
Shape drawShape(Draw& d, int64_t longest, int64_t L = 0) {
    Shape s;
    s.L = L ? L : d.pick<int64_t>({d.in(1, 6), d.in(6, 30), 20, d.in(30, 120)});
    s.Tmin = d.pick<int64_t>({d.in(1, 5), d.in(s.L / 2 + 1, s.L + 10), d.in(s.L, 4 * s.L + 40)});
    const int64_t least = std::max(s.L, s.Tmin);
    s.Tmax = d.pick<int64_t>({least, least + d.in(0, 2), least + d.in(0, 200)});
    s.N = d.pick<int64_t>(
        {d.in(s.L, 3 * s.Tmax + s.L), d.in(s.L, longest), d.in(s.Tmax, s.Tmax + 300)});
    if (d.chance(8))  // invalid bounds, or beyond the series records
        switch (d.in(0, 4)) {
            case 0:
                s.Tmin = 0;
                break;
            case 1:
                s.Tmax = s.Tmin - 1;
                break;
            case 2:
                s.L = s.Tmax + 1;
                break;
            case 3:
                s.N = d.pick<int64_t>({0, 32768, 40000});
                break;
            default:
                s.N = s.L - 1;
        }
    return s;
}

// Adds the series options; returns the number of etalons M.
int64_t addSeriesOptions(Draw& d, std::vector<std::string>& a, const Shape& s, bool full) {
    auto add = [&](const char* name, int64_t v) {
        a.push_back(name);
        a.push_back(std::to_string(v));
    };
    add("--length", s.N);
    add("--tmin", s.Tmin);
    add("--tmax", s.Tmax);
    add("--etalon-length", s.L);
    const int64_t M = d.pick<int64_t>({20, 20, d.in(1, 12), d.in(10, 25)});
    add("--count", d.chance(97) ? M : 0);
    const bool huge = d.chance(5);  // an etalon energy beyond 32 bits
    add("--amplitude", huge ? d.pick<int64_t>({12556, 32767, -32768})
                            : d.pick<int64_t>({128, 128, d.in(-300, 3000), 1, 0, 1000, 12555}));
    add("--noise", d.pick<int64_t>({20, 0, d.in(0, 100), 300, 3000, 32767, -20}));
    if (!full)
        return M;
    const int64_t minP = std::max<int64_t>(1, (s.N + s.L - 1) / std::max<int64_t>(s.Tmax, 1));
    const int64_t maxP = (s.N - s.L + s.Tmin) / std::max<int64_t>(s.Tmin, 1);
    if (d.chance(30))
        add("--pulses", d.chance(90) ? d.in(minP, maxP) : d.pick<int64_t>({minP - 1, maxP + 1}));
    if (d.chance(30)) {
        const int n = static_cast<int>(d.in(1, 6));
        a.push_back("--sequence");
        a.push_back(d.list(n, 0, M + 2));
    }
    if (d.chance(30))
        add("--saved-level", d.chance(95) ? d.pick<int64_t>({0, 50, 75, 100}) : 101);
    if (d.chance(35)) {
        const int n = static_cast<int>(d.in(1, 5));
        const int64_t high = d.chance(95) ? std::max<int64_t>(M, 1) : M + 1;
        a.push_back("--subset");
        a.push_back(d.list(n, 1, high));
        const int64_t lowestMode = d.chance(95) ? 1 : 0;
        add("--subset-mode", d.in(lowestMode, 5));
        add("--subset-start", d.in(1, std::min<int64_t>(maxP + 3, 60)));
    }
    return M;
}

std::vector<std::string> drawProcess(Draw& d) {
    std::vector<std::string> a{"process"};
    const Shape s = drawShape(d, 1500);
    const int64_t M = addSeriesOptions(d, a, s, true);
    const int64_t highest = d.chance(95) ? M : M + 1;  // an etalon beyond the alphabet, rarely
    const bool bogus = d.chance(4);
    const std::string task =
        bogus ? "bogus"
              : d.pick<std::string>({"detection", "recognition", "joint", "series-processing", "1",
                                     "2", "4", "64", "36", "40"});
    const std::string kind =
        d.pick<std::string>({"fixed-whole", "fixed-cut", "unfixed-whole", "unfixed-cut",
                             "fixed-tuples", "unfixed-tuples", "16", "32"});
    a.insert(a.end(), {"--task", task, "--series", kind});
    const bool tupleKinds =
        kind == "fixed-tuples" || kind == "unfixed-tuples" || task == "36" || task == "40";
    if (tupleKinds && std::find(a.begin(), a.end(), "--subset") == a.end() && d.chance(85)) {
        const int n = static_cast<int>(d.in(1, 4));
        a.push_back("--subset");
        a.push_back(d.list(n, 1, std::max<int64_t>(M, 1)));
    }
    if (d.chance(30)) {
        const int n = static_cast<int>(d.in(1, 6));
        a.push_back("--etalons");
        a.push_back(d.list(n, 1, highest));
    }
    if (d.chance(30)) {
        a.push_back("--create-level");
        a.push_back(std::to_string(d.pick<int>({0, 50, 75, 100, 150})));
        a.push_back("--process-level");
        a.push_back(std::to_string(d.pick<int>({0, 50, 75, 100})));
    }
    if (d.chance(35)) {
        const int tuples = static_cast<int>(d.in(1, 4));
        std::string text;
        for (int t = 0; t < tuples; ++t) {
            const int n = static_cast<int>(d.in(1, 4));
            text += (t ? ";" : "") + d.list(n, 1, highest);
        }
        a.push_back("--tuples");
        a.push_back(text);
        a.push_back("--current-tuple");
        a.push_back(std::to_string(d.chance(95) ? d.in(1, tuples) : d.pick({0, tuples + 1})));
    }
    if (d.chance(30)) {
        a.push_back("--proceeding");
        a.push_back(std::to_string(d.chance(95) ? d.in(1, 2) : 3));
    }
    if (d.chance(70))
        a.push_back("--json");
    return a;
}

std::vector<std::string> drawGenerate(Draw& d) {
    std::vector<std::string> a{"generate"};
    const Shape s = drawShape(d, d.chance(10) ? 32767 : 3000);
    addSeriesOptions(d, a, s, true);
    if (std::find(a.begin(), a.end(), "--pulses") == a.end() ? d.chance(40) : d.chance(3))
        a.push_back("--random-count");
    if (d.chance(70))
        a.push_back("--json");
    return a;
}

std::vector<std::string> drawAlphabet(Draw& d) {
    std::vector<std::string> a{"alphabet"};
    a.push_back("--amplitude");
    a.push_back(std::to_string(d.pick<int64_t>({128, d.in(-32768, 32767), 12555, 12556})));
    a.push_back("--count");
    a.push_back(std::to_string(d.pick<int64_t>({20, d.in(0, 40)})));
    a.push_back("--length");
    a.push_back(std::to_string(d.pick<int64_t>({20, d.in(0, 300)})));
    if (d.chance(50))
        a.push_back("--json");
    return a;
}

std::vector<std::string> drawSimulate(Draw& d) {
    std::vector<std::string> a{"simulate", "--quiet"};
    auto add = [&](const char* name, const std::string& v) {
        a.push_back(name);
        a.push_back(v);
    };
    const Shape s = drawShape(d, 600, 20);  // the simulation's etalons are the application's
    add("--length", std::to_string(s.N));
    add("--tmin", std::to_string(s.Tmin));
    add("--tmax", std::to_string(s.Tmax));
    const std::string task =
        d.pick<std::string>({"detection", "recognition", "joint", "series-processing", "36", "40"});
    add("--task", task);
    // Tuple task kinds on tuple series kinds, mostly.
    const bool tuples = (task == "36" || task == "40") ? d.chance(90) : d.chance(30);
    add("--series",
        tuples ? d.pick<std::string>({"fixed-tuples", "unfixed-tuples"})
               : d.pick<std::string>({"fixed-whole", "fixed-cut", "unfixed-whole", "unfixed-cut"}));
    const int64_t minP = std::max<int64_t>(1, (s.N + 19) / std::max<int64_t>(s.Tmax, 1));
    const int64_t maxP = (s.N - 20 + s.Tmin) / std::max<int64_t>(s.Tmin, 1);
    const int64_t from = d.chance(90) ? d.in(minP, std::max(minP, maxP)) : d.in(0, maxP + 2);
    const int64_t to = from + (d.chance(95) ? d.in(0, 4) : -1), step = d.in(0, 3);
    add("--pulses", std::to_string(from) + ":" + std::to_string(to) + ":" + std::to_string(step));
    const int64_t noise = d.pick<int64_t>({0, 20, d.in(-5, 300)}),
                  levels = d.chance(90) ? d.in(1, 2) : 0, increment = d.in(0, 40);
    add("--noise",
        std::to_string(noise) + ":" + std::to_string(levels) + ":" + std::to_string(increment));
    add("--repeats", std::to_string(d.chance(95) ? d.in(1, 3) : 0));
    add("--threads", std::to_string(d.in(1, 3)));
    auto addList = [&](const char* name, int most) {
        const int n = static_cast<int>(d.in(1, most));
        add(name, d.list(n, 1, 20));
    };
    if (d.chance(40))
        addList("--etalons", 5);
    if (tuples ? d.chance(90) : d.chance(40))
        addList("--subset", 4);  // needed by the tuple kinds
    if (d.chance(40)) {
        const int n = static_cast<int>(d.in(1, 3)), m = static_cast<int>(d.in(1, 3));
        const std::string first = d.list(n, 1, 20);
        add("--tuples", first + ";" + d.list(m, 1, 20));
    }
    if (d.chance(30))
        add("--proceeding", std::to_string(d.in(1, 2)));
    if (d.chance(30))
        add("--subset-mode", std::to_string(d.in(1, 5)));
    if (d.chance(30))
        add("--create-level", std::to_string(d.pick<int>({0, 50, 75, 100})));
    if (d.chance(30))
        add("--process-level", std::to_string(d.pick<int>({0, 50, 75, 100})));
    if (d.chance(30))
        add("--independent-noise", std::to_string(d.in(0, 1000000)));
    if (d.chance(20)) {
        const char* output = d.chance(50) ? "--csv" : "--json";
        add(output, "-");
    }
    return a;
}

std::string joined(const std::vector<std::string>& args) {
    std::string out;
    for (const std::string& a : args)
        out += (out.empty() ? "" : " ") +
               (a.find_first_of(" ;") == std::string::npos ? a : "\"" + a + "\"");
    return out;
}

// The pulses of a JSON listing lie inside the series and their cuts inside the etalon.
void expectPulsesInside(const nlohmann::json& pulses, int64_t N, int64_t L,
                        const std::string& where) {
    for (const auto& p : pulses) {
        const int64_t start = p["start"], b = p["cutBegin"], e = p["cutEnd"];
        EXPECT_GE(start, 0) << where;
        EXPECT_LE(start + L, N) << where;
        EXPECT_LE(0, b) << where;
        EXPECT_LE(b, e) << where;
        EXPECT_LT(e, L) << where;
    }
}

// What a JSON document of generate or process must hold for its exit status.
void checkJson(const std::vector<std::string>& args, const RunResult& r, const std::string& where) {
    if (r.status == 2)
        return;
    const auto j = nlohmann::json::parse(r.out, nullptr, false);
    ASSERT_FALSE(j.is_discarded()) << where;
    ASSERT_TRUE(j.contains("messages")) << where;
    EXPECT_EQ(r.status == 1, !j["messages"].empty()) << where;
    if (!j.contains("truth"))
        return;
    const int64_t N = j["seriesLength"], L = j["etalonLength"];
    EXPECT_EQ(j["truth"].size(), j["pulses"].get<size_t>()) << where;
    expectPulsesInside(j["truth"], N, L, where);
    if (args[0] != "process")
        return;
    ASSERT_TRUE(j.contains("found")) << where;
    EXPECT_EQ(j["found"]["pulses"].size(), j["found"]["count"].get<size_t>()) << where;
    expectPulsesInside(j["found"]["pulses"], N, L, where);
    for (const auto& chain : j["chains"])
        expectPulsesInside(chain["pulses"], N, L, where);
}

int64_t fromEnvironment(const char* name, int64_t fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtoll(text, nullptr, 10) : fallback;
}

TEST(Sweep, EveryRunSucceedsOrIsRefusedWithAMessage) {
    const int64_t runs = fromEnvironment("ARDENTIX_SWEEP_RUNS", 150);
    const uint64_t seed = static_cast<uint64_t>(fromEnvironment("ARDENTIX_SWEEP_SEED", 20240611));
    traceFd = dup(STDERR_FILENO);
#ifdef ARDENTIX_SWEEP_SANITIZED
    // The sanitizers report faults themselves; their report is followed by the run.
    __sanitizer_set_death_callback(writeCurrentRun);
    const std::initializer_list<int> fatal = {SIGABRT};
#else
    const std::initializer_list<int> fatal = {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL};
#endif
    for (int s : fatal)
        std::signal(s, onFatalSignal);
    Watchdog watchdog(std::chrono::seconds(120));
    Draw d(seed);
    std::map<std::string, std::map<int, int>> statuses;  // command -> status -> runs
    for (int64_t i = 0; i < runs; ++i) {
        const int kind = static_cast<int>(d.in(0, 99));
        const std::vector<std::string> args = kind < 10   ? drawAlphabet(d)
                                              : kind < 35 ? drawGenerate(d)
                                              : kind < 85 ? drawProcess(d)
                                                          : drawSimulate(d);
        const std::string where = "run " + std::to_string(i) + ": " + joined(args);
        std::snprintf(currentRun, sizeof currentRun, "%s", joined(args).c_str());
        watchdog.started();
        const RunResult r = runInProcess(args);
        watchdog.finished();
        ++statuses[args[0]][r.status];
        ASSERT_TRUE(r.status == 0 || r.status == 1 || r.status == 2) << where;
        if (r.status == 2) {
            EXPECT_FALSE(r.error.empty()) << where;
        }
        const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
        if (json && (args[0] == "generate" || args[0] == "process"))
            checkJson(args, r, where);
        if (HasFailure())
            break;
    }
    for (int s : fatal)
        std::signal(s, SIG_DFL);
    std::string summary = "sweep of " + std::to_string(runs) + " runs, seed " +
                          std::to_string(seed) + ", exit statuses:";
    for (const auto& [command, counts] : statuses) {
        summary += " " + command;
        for (const auto& [status, n] : counts)
            summary += " " + std::to_string(status) + ":" + std::to_string(n);
    }
    std::printf("%s\n", summary.c_str());
    // The sweep reaches both the runs and the refusals of every command.
    for (const char* command : {"alphabet", "generate", "process", "simulate"}) {
        EXPECT_GT(statuses[command][0], 0) << command;
        EXPECT_GT(statuses[command][2], 0) << command;
    }
    close(traceFd);
    traceFd = -1;
}

}  // namespace
