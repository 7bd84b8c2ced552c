// nmea-replay: plays a captured NMEA log into a new pseudo-terminal, paced like a receiver,
// so any program that reads a serial device can be tested without hardware.
#include "PtyPair.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int ExitUsage = 2;
constexpr double DefaultRate = 10.0;    // sentences per second: a 4800-baud receiver's pace
constexpr double DefaultLinger = 1.0;   // seconds the pty stays open after the last line

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) { g_stop = 1; }

struct Options {
    std::string file;
    double rate = DefaultRate;
    double linger = DefaultLinger;
    bool loop = false;
};

const char* const UsageText =
    "Usage: nmea-replay FILE [--rate SENTENCES_PER_SECOND] [--loop] [--linger SECONDS]\n"
    "\n"
    "Opens a pseudo-terminal, prints its device path on the first line of standard output\n"
    "and writes the lines of FILE into it, each ended by CR LF whatever the file used.\n"
    "Empty lines and lines starting with '#' are skipped.\n"
    "\n"
    "  --rate N     sentences per second (default 10; 0 = as fast as the reader takes them)\n"
    "  --loop       start again at the end of the file until interrupted\n"
    "  --linger S   keep the device open S seconds after the last line (default 1)\n"
    "  --help       show this text\n";

[[noreturn]] void usageError(const std::string& message)
{
    std::fprintf(stderr, "nmea-replay: %s\nTry 'nmea-replay --help'.\n", message.c_str());
    std::exit(ExitUsage);
}

std::optional<double> parseNumber(const std::string& text)
{
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

double numberArgument(int& i, int argc, char** argv)
{
    const std::string name = argv[i];
    if (i + 1 >= argc)
        usageError(name + " wants a value");
    const auto value = parseNumber(argv[++i]);
    if (!value)
        usageError(name + " wants a number, not '" + argv[i] + "'");
    return *value;
}

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(UsageText, stdout);
            std::exit(0);
        } else if (arg == "--rate") {
            options.rate = numberArgument(i, argc, argv);
        } else if (arg == "--linger") {
            options.linger = numberArgument(i, argc, argv);
        } else if (arg == "--loop") {
            options.loop = true;
        } else if (arg.starts_with("-") && arg != "-") {
            usageError("unknown option " + arg);
        } else if (options.file.empty()) {
            options.file = arg;
        } else {
            usageError("only one FILE, please");
        }
    }
    if (options.file.empty())
        usageError("no FILE given");
    return options;
}

// Lines end at LF, CR or CR LF; blank and '#' lines are not sentences.
std::vector<std::string> readSentences(const std::string& path, bool& ok)
{
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        if (!line.empty() && line.front() != '#')
            lines.push_back(line + "\r\n");
        start = end + 1;
    }
    return lines;
}

// Waits until `until` or until the master is ready for `events`; discards what the reader
// wrote to the device (probes, commands) so its writes never block.
void waitOnMaster(int master, short events, Clock::time_point until)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    pollfd pfd{master, static_cast<short>(events | POLLIN), 0};
    if (::poll(&pfd, 1, static_cast<int>(std::max<long long>(0, left))) > 0 && (pfd.revents & POLLIN)) {
        char discard[4096];
        while (::read(master, discard, sizeof discard) > 0) {
        }
    }
}

// Writes one line, waiting while the line is full. False when stopped or the write failed.
bool writeLine(int master, std::string_view line)
{
    while (!line.empty() && !g_stop) {
        const ssize_t n = ::write(master, line.data(), line.size());
        if (n > 0) {
            line.remove_prefix(static_cast<std::size_t>(n));
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            std::fprintf(stderr, "nmea-replay: write: %s\n", std::strerror(errno));
            return false;
        } else {
            waitOnMaster(master, POLLOUT, Clock::now() + std::chrono::milliseconds(50));
        }
    }
    return !g_stop;
}

void play(const aero::PtyPair& pty, const std::vector<std::string>& lines, const Options& options)
{
    const auto interval = options.rate > 0 ? std::chrono::duration_cast<Clock::duration>(
                                                 std::chrono::duration<double>(1.0 / options.rate))
                                           : Clock::duration::zero();
    auto due = Clock::now();
    std::size_t index = 0;
    while (!g_stop) {
        if (index == lines.size()) {
            if (!options.loop)
                break;
            index = 0;
        }
        while (!g_stop && Clock::now() < due)
            waitOnMaster(pty.master(), 0, due);
        // A reader that stalled does not get a burst afterwards: pace from now on.
        due = std::max(due, Clock::now() - interval) + interval;
        if (!writeLine(pty.master(), lines[index++]))
            break;
    }
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.linger));
    while (!g_stop && Clock::now() < end)
        waitOnMaster(pty.master(), 0, end);
}

void installSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked poll returns so the stop is seen at once
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parseOptions(argc, argv);
    bool readable = false;
    const std::vector<std::string> lines = readSentences(options.file, readable);
    if (!readable) {
        std::fprintf(stderr, "nmea-replay: cannot read %s: %s\n", options.file.c_str(), std::strerror(errno));
        return 1;
    }
    if (lines.empty()) {
        std::fprintf(stderr, "nmea-replay: no sentences in %s\n", options.file.c_str());
        return 1;
    }
    installSignalHandlers();
    aero::PtyPair pty;
    if (!pty.isValid()) {
        std::fprintf(stderr, "nmea-replay: openpty: %s\n", std::strerror(pty.error()));
        return 1;
    }
    std::printf("%s\n", pty.slavePath().c_str());
    std::fflush(stdout);
    play(pty, lines, options);
    return 0;
}
