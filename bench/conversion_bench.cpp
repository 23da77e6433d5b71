// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// First counts how often generated short contact lists (1 to 10 contacts, in code page 936 or
// UTF-8 without a mark, damaged once or not) are weighed as the wrong encoding. Then times whole
// conversion runs on generated code page 936 contact lists of growing size, in each output
// encoding, and compares the UTF-8 run with iconv transcoding the same file; the same lists with a
// quote opened on every line and never closed must convert nearly as fast.
//
//   conversion_bench            10,000 short lists a cell; 10k, 100k and 1M rows, best of 3, iconv
//   conversion_bench --huge     also 10M rows (about 550 MB of input, one run)
//   conversion_bench --quick    1,000 short lists a cell; 10k and 100k rows, one run, no iconv

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unicode/ucnv.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <QString>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "contact_lists.h"
#include "conversion_run.h"
#include "cp936.h"
#include "encoding_weigher.h"
#include "utf8.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace contact_lists;
using Clock = std::chrono::steady_clock;

constexpr double MB = 1e6;
constexpr double MiB = 1024.0 * 1024.0;

// ---- stopping cleanly ------------------------------------------------------------------------

// Ctrl-C only raises this flag, so that the temporary files (up to a few GB) are still removed;
// a second Ctrl-C kills at once.
std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) {
    interrupted = true;
}

struct Interrupted {};

void stopIfInterrupted() {
    if (interrupted) throw Interrupted{};
}

void catchInterrupts() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "zeluvar-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    fs::path file(std::string_view name) const { return path_ / name; }

private:
    fs::path path_;
};

// ---- generated contact lists -----------------------------------------------------------------

using ConverterPtr = std::unique_ptr<UConverter, decltype(&ucnv_close)>;

ConverterPtr openConverter(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(name, &status), &ucnv_close);
    if (U_FAILURE(status)) throw std::runtime_error(std::string("ICU has no converter ") + name);
    return converter;
}

// UTF-8 to code page 936 with ICU; a character the code page lacks is an error, not a '?'.
class Cp936Encoder {
public:
    Cp936Encoder() {
        UErrorCode status = U_ZERO_ERROR;
        ucnv_setFromUCallBack(cp936_.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                              &status);
        if (U_FAILURE(status)) throw std::runtime_error("cannot set up the code page converter");
    }

    // `text` holds whole lines only, so each piece is converted on its own.
    const std::string& encode(std::string_view text) {
        // No character takes more bytes in code page 936 than in UTF-8.
        bytes_.resize(text.size() + 16);
        char* target = bytes_.data();
        const char* source = text.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_convertEx(cp936_.get(), utf8_.get(), &target, bytes_.data() + bytes_.size(), &source,
                       text.data() + text.size(), nullptr, nullptr, nullptr, nullptr, true, true,
                       &status);
        if (U_FAILURE(status))
            throw std::runtime_error(std::string("code page 936 encoding failed: ") +
                                     u_errorName(status));
        bytes_.resize(static_cast<std::size_t>(target - bytes_.data()));
        return bytes_;
    }

private:
    ConverterPtr utf8_ = openConverter("UTF-8");
    ConverterPtr cp936_ = openConverter("windows-936-2000");
    std::string bytes_;
};

enum class Quotes {
    None,
    // Every row's name ends in a quote and its company starts with one: each line opens a quoted
    // field that no later line closes, the worst case for reading rows over several lines.
    NeverClosed,
};

// Writes the heading and `rows` contact lines in code page 936, a piece at a time; returns the
// file's size in bytes.
std::uint64_t writeContactList(const fs::path& path, std::int64_t rows, Quotes quotes) {
    constexpr std::size_t Piece = 1 << 20;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) throw std::runtime_error("cannot create " + path.string());
    Random random(20240601);
    ContactGenerator generator(random);
    Cp936Encoder encoder;
    std::uint64_t size = 0;
    std::string text(Heading);
    text.reserve(Piece + 256);
    auto flush = [&] {
        const std::string& bytes = encoder.encode(text);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        size += bytes.size();
        text.clear();
    };
    for (std::int64_t i = 0; i < rows; ++i) {
        const std::size_t rowStart = text.size();
        generator.appendRow(text);
        if (quotes == Quotes::NeverClosed) text.replace(text.find(',', rowStart), 1, "\",\"");
        if (text.size() >= Piece) {
            flush();
            stopIfInterrupted();
        }
    }
    flush();
    file.close();
    if (!file) throw std::runtime_error("cannot write " + path.string());
    return size;
}

// ---- measuring -------------------------------------------------------------------------------

double cpuSeconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ownCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return cpuSeconds(usage);
}

std::optional<long> statusKb(std::string_view key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(key) && line.size() > key.size() && line[key.size()] == ':')
            return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
    }
    return std::nullopt;
}

// Lowers the peak resident size (VmHWM) to the present one, so the next reading is this run's
// own peak; false where the kernel does not allow it.
bool resetPeakResident() {
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.close();
    return static_cast<bool>(clearRefs);
}

class SilentSink final : public ProgressSink {
public:
    SilentSink(const fs::path& input, const fs::path& output, OutputEncoding encoding)
        : input_(QString::fromStdString(input.string())),
          output_(QString::fromStdString(output.string())),
          encoding_(encoding) {}

    QString readInputPath() override { return input_; }
    QString readOutputPath() override { return output_; }
    OutputEncoding readEncodingChoice() override { return encoding_; }
    void showCount(std::int64_t lines) override { lines_ = lines; }
    void showFinished() override { finished_ = true; }
    void showMessage(const QString& text) override { messages_.push_back(text.toStdString()); }
    void processPendingEvents() override {}

    std::int64_t lines() const { return lines_; }
    bool finished() const { return finished_; }
    const std::vector<std::string>& messages() const { return messages_; }

private:
    QString input_;
    QString output_;
    OutputEncoding encoding_;
    std::int64_t lines_ = 0;
    bool finished_ = false;
    std::vector<std::string> messages_;
};

struct Measurement {
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time; unlike `seconds`, not lengthened by waiting
    std::uint64_t outputBytes = 0;
    std::optional<long> peakKb;    // the run's own peak resident size
    std::optional<long> growthKb;  // how far that peak rose above the size before the run
};

void keepBest(Measurement& best, const Measurement& run, bool first) {
    if (first || run.seconds < best.seconds) best.seconds = run.seconds;
    if (first || run.cpuSeconds < best.cpuSeconds) best.cpuSeconds = run.cpuSeconds;
    best.outputBytes = run.outputBytes;
    if (run.peakKb && (!best.peakKb || *run.peakKb > *best.peakKb)) best.peakKb = run.peakKb;
    if (run.growthKb && (!best.growthKb || *run.growthKb > *best.growthKb))
        best.growthKb = run.growthKb;
}

// One conversion; fails unless it finished quietly having read every line of the input.
Measurement convertOnce(const fs::path& input, const fs::path& output, OutputEncoding encoding,
                        std::int64_t expectedLines) {
    Measurement m;
#ifdef __GLIBC__
    malloc_trim(0);  // memory freed by earlier runs would otherwise hide this run's own rise
#endif
    const bool peakReset = resetPeakResident();
    const std::optional<long> before = statusKb("VmRSS");

    SilentSink sink(input, output, encoding);
    const double cpuStart = ownCpuSeconds();
    const Clock::time_point start = Clock::now();
    ConversionRun(sink).execute();
    m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    m.cpuSeconds = ownCpuSeconds() - cpuStart;

    if (peakReset) m.peakKb = statusKb("VmHWM");
    if (m.peakKb && before) m.growthKb = *m.peakKb - *before;
    if (!sink.messages().empty()) {
        std::string text = "the conversion showed a message:";
        for (const std::string& message : sink.messages()) text += " \"" + message + "\"";
        throw std::runtime_error(text);
    }
    if (!sink.finished() || sink.lines() != expectedLines)
        throw std::runtime_error("the conversion read " + std::to_string(sink.lines()) + " of " +
                                 std::to_string(expectedLines) + " lines");
    m.outputBytes = fs::file_size(output);
    fs::remove(output);
    return m;
}

// Runs iconv on `input` and returns its wall-clock time; its peak resident size comes from the
// child's resource usage.
Measurement runIconv(const fs::path& input, const fs::path& output) {
    const std::string in = input.string();
    const std::string out = output.string();
    std::vector<std::string> args = {"iconv", "-f", "CP936", "-t", "UTF-8", in, "-o", out};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    Measurement m;
    const Clock::time_point start = Clock::now();
    pid_t child;
    if (const int error = posix_spawnp(&child, "iconv", nullptr, nullptr, argv.data(), environ))
        throw std::runtime_error(std::string("cannot start iconv: ") + std::strerror(error));
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR) throw std::runtime_error("lost the iconv process");
    }
    m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    stopIfInterrupted();  // Ctrl-C reaches iconv too
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("iconv failed on " + in);
    m.cpuSeconds = cpuSeconds(usage);
    m.peakKb = usage.ru_maxrss;  // kB on Linux
    m.outputBytes = fs::file_size(output);
    fs::remove(output);
    return m;
}

struct FirstUse {
    double decodeSeconds = 0;
    double encodeSeconds = 0;
};

// The first code page 936 decode and encode of the process, each on one name.
FirstUse timeFirstCodePageUse() {
    constexpr std::string_view Name = "\xD5\xC5\xC8\xFD";  // 张三
    std::string text;
    std::string bytes;
    const Clock::time_point start = Clock::now();
    cp936::decode(Name, true, text);
    const Clock::time_point decoded = Clock::now();
    cp936::encode(text, bytes);
    const Clock::time_point encoded = Clock::now();
    if (bytes != Name)
        throw std::runtime_error("code page 936 does not turn 张三 back into itself");
    return {std::chrono::duration<double>(decoded - start).count(),
            std::chrono::duration<double>(encoded - decoded).count()};
}

// ---- reporting -------------------------------------------------------------------------------

std::string withSeparators(std::int64_t n) {
    const std::string digits = std::to_string(n);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

std::string mibOrNa(const std::optional<long>& kb, const char* format) {
    if (!kb) return "n/a";
    char text[32];
    std::snprintf(text, sizeof text, format, static_cast<double>(*kb) * 1024.0 / MiB);
    return text;
}

void printHeader() {
    // Written out, since printf would pad the two-byte µ as two columns.
    std::printf(
        "encoding            rows input MB output MB  seconds   cpu s    MB/s  µs/row peak MiB "
        "+run MiB\n");
}

void printRow(std::string_view what, std::int64_t rows, std::uint64_t inputBytes,
              const Measurement& m) {
    const double inputMb = static_cast<double>(inputBytes) / MB;
    std::printf("%-12.*s %11s %8.2f %9.2f %8.3f %7.3f %7.1f %7.3f %8s %8s\n",
                static_cast<int>(what.size()), what.data(), withSeparators(rows).c_str(), inputMb,
                static_cast<double>(m.outputBytes) / MB, m.seconds, m.cpuSeconds,
                inputMb / m.seconds, m.seconds * 1e6 / static_cast<double>(rows),
                mibOrNa(m.peakKb, "%.1f").c_str(), mibOrNa(m.growthKb, "%+.1f").c_str());
    std::fflush(stdout);
}

// ---- reading short lists in the right encoding -----------------------------------------------

constexpr std::array<int, 5> MisreadSizes = {1, 2, 3, 5, 10};

// One row of the misread table: lists in one encoding, of one shape but for their size, damaged
// one way.
struct MisreadRow {
    bool utf8;
    bool heading;
    bool companies;
    Damage damage;
};

// Whether `bytes` give two texts, read as UTF-8 and as code page 936.
bool readsDifferently(std::string_view bytes) {
    std::string asUtf8, asCp936;
    utf8::sanitize(bytes, true, asUtf8);
    cp936::decode(bytes, true, asCp936);
    return asUtf8 != asCp936;
}

// The share of `lists` generated lists that are weighed as the other encoding. A list that reads
// the same both ways (cut down to ASCII, say) is not misread.
double misreadShare(const MisreadRow& row, int contacts, int lists, Random& random) {
    ContactGenerator generator(random);
    int misread = 0;
    for (int i = 0; i < lists; ++i) {
        const std::string text = makeList(generator, {contacts, row.heading, row.companies});
        std::string bytes;
        if (row.utf8)
            bytes = text;
        else
            cp936::encode(text, bytes);
        damage(bytes, row.damage, random);
        EncodingWeigher weigher(bytes.size());
        weigher.weigh(bytes, true);
        if (weigher.isUtf8() != row.utf8 && readsDifferently(bytes)) ++misread;
    }
    return 100.0 * misread / lists;
}

// Prints the share of misread lists for each kind of list and size; returns the highest.
double printMisreads(int listsPerCell) {
    std::printf(
        "Lists read in the wrong encoding (UTF-8 or code page 936, no mark), %% of %d generated\n"
        "lists a cell; one damage a list, anywhere in it\n\n",
        listsPerCell);
    std::printf("%-44s", "encoding heading  columns    damage");
    for (const int size : MisreadSizes) std::printf(" %6d", size);
    std::printf("  contacts\n");
    Random random(29);
    double worst = 0;
    for (const bool utf8 : {false, true}) {
        for (const bool heading : {false, true}) {
            for (const bool companies : {false, true}) {
                for (const Damage kind : Damages) {
                    const std::string_view damageName = nameOf(kind);
                    std::printf("%-8s %-8s %-10s %-16.*s", utf8 ? "UTF-8" : "GBK",
                                heading ? "yes" : "no", companies ? "all" : "name",
                                static_cast<int>(damageName.size()), damageName.data());
                    for (const int size : MisreadSizes) {
                        const double share = misreadShare({utf8, heading, companies, kind}, size,
                                                          listsPerCell, random);
                        worst = std::max(worst, share);
                        std::printf(" %6.2f", share);
                    }
                    std::printf("\n");
                    stopIfInterrupted();
                }
            }
        }
    }
    std::printf("\nworst cell: %.2f %% misread\n\n", worst);
    std::fflush(stdout);
    return worst;
}

// ---- the benchmark ---------------------------------------------------------------------------

struct Options {
    bool quick = false;
    bool huge = false;
};

constexpr std::int64_t IconvRows = 1'000'000;
constexpr int ListsPerCell = 10'000;
constexpr int QuickListsPerCell = 1'000;

int runBenchmark(const Options& options) {
    printMisreads(options.quick ? QuickListsPerCell : ListsPerCell);
    std::vector<std::int64_t> sizes = {10'000, 100'000};
    if (!options.quick) sizes.push_back(1'000'000);
    if (options.huge) sizes.push_back(10'000'000);

    TempDir dir;
    const fs::path input = dir.file("contacts.csv");
    const fs::path output = dir.file("contacts.vcf");

    // Before anything else touches code page 936, so that its set-up is in these figures.
    const FirstUse firstUse = timeFirstCodePageUse();

    // A process's first conversion pays for warming up; measured apart so that this does not
    // weigh on the smallest runs.
    writeContactList(input, 100, Quotes::None);
    const double firstRun = convertOnce(input, output, OutputEncoding::Ansi, 101).seconds;
    double laterRun = firstRun;
    for (int i = 0; i < 3; ++i)
        laterRun =
            std::min(laterRun, convertOnce(input, output, OutputEncoding::Ansi, 101).seconds);

    const int repetitions = options.quick ? 1 : 3;
    std::printf(
        "Zeluvar conversion benchmark: code page 936 CSV in, vCard 2.1 out, input in page cache\n"
        "seconds: wall clock; cpu s: user + system; both the best of %d%s\n"
        "peak MiB: resident size during the run (VmHWM); +run MiB: its rise over the size before\n"
        "(each run starts with the heap trimmed, so it pays for faulting in its own buffers)\n"
        "MB/s and µs/row use wall clock; MB = 10^6 bytes, MiB = 2^20 bytes\n"
        "a process's first code page 936 calls take %.1f µs (decode) and %.1f µs (encode)\n"
        "a process's first conversion takes %.1f ms longer than later ones\n\n",
        repetitions, options.huge ? " (10M rows: 1)" : "", firstUse.decodeSeconds * 1e6,
        firstUse.encodeSeconds * 1e6, (firstRun - laterRun) * 1e3);
    printHeader();

    std::optional<double> utf8AtIconvSize;
    std::optional<double> iconvSeconds;
    double plainMbPerSecond = 0, openQuotesMbPerSecond = 0;  // at the largest size
    for (const std::int64_t rows : sizes) {
        std::fprintf(stderr, "generating %s rows...\n", withSeparators(rows).c_str());
        const int runs = rows >= 10'000'000 ? 1 : repetitions;
        auto measure = [&](OutputEncoding encoding, std::string_view name,
                           std::uint64_t inputBytes) {
            Measurement best;
            for (int i = 0; i < runs; ++i) {
                stopIfInterrupted();
                keepBest(best, convertOnce(input, output, encoding, rows + 1), i == 0);
            }
            printRow(name, rows, inputBytes, best);
            return best.seconds;
        };
        const std::uint64_t openQuotesBytes = writeContactList(input, rows, Quotes::NeverClosed);
        openQuotesMbPerSecond = static_cast<double>(openQuotesBytes) / MB /
                                measure(OutputEncoding::Utf8NoBom, "open quotes", openQuotesBytes);

        const std::uint64_t inputBytes = writeContactList(input, rows, Quotes::None);
        for (const OutputEncodingChoice& encoding : OutputEncodings) {
            const double seconds = measure(encoding.encoding, encoding.name, inputBytes);
            if (encoding.encoding != OutputEncoding::Utf8NoBom) continue;
            plainMbPerSecond = static_cast<double>(inputBytes) / MB / seconds;
            if (rows == IconvRows) utf8AtIconvSize = seconds;
        }
        if (rows == IconvRows && !options.quick) {
            Measurement best;
            for (int i = 0; i < repetitions; ++i) {
                stopIfInterrupted();
                keepBest(best, runIconv(input, dir.file("iconv.txt")), i == 0);
            }
            printRow("iconv", rows, inputBytes, best);
            iconvSeconds = best.seconds;
        }
        fs::remove(input);
    }
    std::printf("\nopen quotes / realistic rows (Utf8NoBom, MB/s, %s rows): %.2f\n",
                withSeparators(sizes.back()).c_str(), openQuotesMbPerSecond / plainMbPerSecond);
    if (utf8AtIconvSize && iconvSeconds) {
        std::printf("ratio to iconv (Utf8NoBom / iconv -f CP936 -t UTF-8, 1M rows): %.2f\n",
                    *utf8AtIconvSize / *iconvSeconds);
    }
    return 0;
}

void printUsage(std::FILE* to) {
    std::fprintf(
        to,
        "usage: conversion_bench [--quick | --huge]\n"
        "  (none)   misreads of 10,000 short lists a cell; 10k, 100k and 1M rows, best of\n"
        "           3 runs, and iconv for comparison\n"
        "  --huge   also 10M rows (about 550 MB of temporary input, one run)\n"
        "  --quick  misreads of 1,000 short lists a cell; 10k and 100k rows, one run, no\n"
        "           iconv\n");
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--quick") {
            options.quick = true;
        } else if (arg == "--huge") {
            options.huge = true;
        } else if (arg == "--help" || arg == "-h") {
            printUsage(stdout);
            return 0;
        } else {
            printUsage(stderr);
            return 2;
        }
    }
    if (options.quick && options.huge) {
        printUsage(stderr);
        return 2;
    }

    catchInterrupts();
    try {
        return runBenchmark(options);
    } catch (const Interrupted&) {
        std::fprintf(stderr, "interrupted\n");
        return 130;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "conversion_bench: %s\n", error.what());
        return 1;
    }
}
