// Faults injected into whole runs of the grid program: the report path a
// directory or a link to a full device, the coefficient file a directory,
// standard streams closed, a coefficient file of ten million numbers, and a
// single line of 100 MB on standard input.  Each run is the real binary in a
// scratch working directory holding the bundled coefficient file; its exit
// status, standard output, standard error, report and peak memory are checked.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "console_session.hpp"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

const char* const REPORT = "grid_arven.ma.3.dat";
const char* const COEFFICIENTS = "ARV_coeff_00.inp";
constexpr std::size_t REPORT_RECORDS = 3 + 5 + 46 * 26 + 6;

// Peak resident memory a run may use, in kB: input streams through fixed
// buffers, so even the sanitizer build stays far below this.
constexpr long PEAK_RSS_KB = 50 * 1024;

constexpr int WALL_SECONDS = 60;  // a run still going then has hung: it is killed

using test_support::read_file;

// A scratch directory holding the run's working directory and, beside it, the
// files the run must not see (its console input and output).
class Scratch {
public:
    Scratch() { fs::create_directory(work()); }

    fs::path work() const { return directory_ / "work"; }  // the run's working directory
    fs::path side(const std::string& name) const { return directory_ / name; }  // files outside it
    void add_bundled_coefficients() const
    {
        fs::copy_file(fs::path(ARVEN_DATA_DIR) / COEFFICIENTS, work() / COEFFICIENTS);
    }

private:
    test_support::ScratchDirectory directory_;
};

struct Outcome {
    int exit_status = -1;  // -1 when the run did not exit normally
    int signal = 0;
    std::string out, err;
    long peak_rss_kb = 0;
    double seconds = 0.0;
};

// Which standard streams a run starts without.
struct Closed {
    bool input = false;
    bool output = false;
    bool error = false;
};

// Runs gridrun in the scratch working directory with standard input read
// from the file `input`, standard output and error captured in files; the
// streams named in `closed` are closed instead.
Outcome run_gridrun(const Scratch& scratch, const fs::path& input, Closed closed = {})
{
    const fs::path out_path = scratch.side("stdout");
    const fs::path err_path = scratch.side("stderr");
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        auto bind = [](const fs::path& path, int flags, int target, bool close_it) {
            if (close_it) {
                ::close(target);
                return;
            }
            const int fd = ::open(path.c_str(), flags, 0644);
            if (fd < 0 || ::dup2(fd, target) < 0) ::_exit(126);
            ::close(fd);
        };
        bind(out_path, O_WRONLY | O_CREAT | O_TRUNC, 1, closed.output);
        bind(err_path, O_WRONLY | O_CREAT | O_TRUNC, 2, closed.error);
        bind(input, O_RDONLY, 0, closed.input);
        if (::chdir(scratch.work().c_str()) != 0) ::_exit(126);
        ::execl(GRIDRUN_BINARY, GRIDRUN_BINARY, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    Outcome outcome;
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        if (done == pid) break;
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(WALL_SECONDS)) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            break;
        }
        ::usleep(2000);
    }
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (WIFEXITED(status)) outcome.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
    outcome.peak_rss_kb = usage.ru_maxrss;
    outcome.out = read_file(out_path);
    outcome.err = read_file(err_path);
    // The figures go into the test report (--gtest_output=xml).
    ::testing::Test::RecordProperty("peak_rss_kb", std::to_string(outcome.peak_rss_kb));
    ::testing::Test::RecordProperty("milliseconds", std::to_string(static_cast<long>(outcome.seconds * 1000)));
    return outcome;
}

// A file of standard input holding `text`.
fs::path input_file(const Scratch& scratch, const std::string& text)
{
    const fs::path path = scratch.side("stdin");
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::size_t count_records(const std::string& text)
{
    std::size_t records = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++records;
    return records;
}

// The first `records` records of a text, with their CR LF.
std::string first_records(const std::string& text, std::size_t records)
{
    std::size_t end = 0;
    for (std::size_t r = 0; r < records; ++r) end = text.find("\r\n", end) + 2;
    return text.substr(0, end);
}

// A failure's diagnostic: CR LF, "run-time error <code>: <OPERATION> (<file>)",
// CR LF, "- " and a description, CR LF.
void expect_diagnostic(const Outcome& outcome, const std::string& operation_and_file)
{
    EXPECT_EQ(outcome.exit_status, 1) << "signal " << outcome.signal << "; " << outcome.err;
    EXPECT_EQ(outcome.err.rfind("\r\nrun-time error ", 0), 0u) << outcome.err;
    // A bad value is quoted cut short, never whole.
    EXPECT_LT(outcome.err.size(), 1000u);
    EXPECT_NE(outcome.err.find(": " + operation_and_file + "\r\n- "), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.substr(outcome.err.size() < 2 ? 0 : outcome.err.size() - 2), "\r\n") << outcome.err;
}

// The report after the run equals `expected`; a mismatch shows only the
// report's size and beginning, not two whole reports.
void expect_report(const Scratch& scratch, const std::string& expected)
{
    const std::string report = read_file(scratch.work() / REPORT);
    EXPECT_TRUE(report == expected) << "the report has " << report.size() << " bytes, expected " << expected.size()
                                    << "; it begins:\n" << report.substr(0, 300);
}

// One normal run with the bundled file, as the reference for the others.
class Faults : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Scratch scratch;
        scratch.add_bundled_coefficients();
        normal_ = new Outcome(run_gridrun(scratch, input_file(scratch, "1500\n")));
        normal_report_ = new std::string(read_file(scratch.work() / REPORT));
    }
    static void TearDownTestSuite()
    {
        delete normal_;
        delete normal_report_;
    }
    static const Outcome& normal() { return *normal_; }
    static const std::string& normal_report() { return *normal_report_; }
    static std::string title() { return first_records(*normal_report_, 3); }

    void expect_normal_run(const Outcome& outcome, const Scratch& scratch)
    {
        EXPECT_EQ(outcome.exit_status, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(outcome.out, normal().out);
        expect_report(scratch, normal_report());
    }

private:
    static inline Outcome* normal_ = nullptr;
    static inline std::string* normal_report_ = nullptr;
};

TEST_F(Faults, TheReferenceRunIsComplete)
{
    EXPECT_EQ(normal().exit_status, 0) << normal().err;
    EXPECT_EQ(count_records(normal_report()), REPORT_RECORDS);
    const std::string ending = " \r\nStop - Program terminated.\r\n\r\n";
    ASSERT_GE(normal().out.size(), ending.size());
    EXPECT_EQ(normal().out.substr(normal().out.size() - ending.size()), ending);
    EXPECT_LT(normal().peak_rss_kb, PEAK_RSS_KB);
}

TEST_F(Faults, ReportPathIsADirectory)
{
    Scratch scratch;
    scratch.add_bundled_coefficients();
    fs::create_directory(scratch.work() / REPORT);
    const Outcome outcome = run_gridrun(scratch, input_file(scratch, "1500\n"));
    expect_diagnostic(outcome, std::string("OPEN (") + REPORT + ")");
    EXPECT_TRUE(fs::is_directory(scratch.work() / REPORT));
    EXPECT_EQ(outcome.out.find("Stop - Program terminated."), std::string::npos);
}

TEST_F(Faults, ReportIsALinkToAFullDevice)
{
    Scratch scratch;
    scratch.add_bundled_coefficients();
    fs::create_symlink("/dev/full", scratch.work() / REPORT);
    const Outcome outcome = run_gridrun(scratch, input_file(scratch, "1500\n"));
    expect_diagnostic(outcome, std::string("WRITE (") + REPORT + ")");
    // Never the look of a complete run after a failed write.
    EXPECT_EQ(outcome.out.find("Stop - Program terminated."), std::string::npos) << outcome.out;
}

TEST_F(Faults, CoefficientFileIsADirectory)
{
    Scratch scratch;
    fs::create_directory(scratch.work() / COEFFICIENTS);
    const Outcome outcome = run_gridrun(scratch, input_file(scratch, "1500\n"));
    expect_diagnostic(outcome, std::string("OPEN (") + COEFFICIENTS + ")");
    // The report keeps what was written before the failure: its title.
    expect_report(scratch, title());
}

TEST_F(Faults, StandardInputClosed)
{
    Scratch scratch;
    scratch.add_bundled_coefficients();
    Closed closed;
    closed.input = true;
    const Outcome outcome = run_gridrun(scratch, fs::path(), closed);
    expect_diagnostic(outcome, "READ (CON)");
    // Whatever descriptor the report got, it holds its title and nothing else.
    expect_report(scratch, title());
}

// Regression: a process started with standard output or standard error
// closed used to open the report on descriptor 1 or 2, and console bytes or
// the diagnostic then landed in the report.  The console stays apart from the
// program's files: a closed standard output is a failed console write (exit
// status 1, WRITE (CON)), and the report keeps exactly what the run wrote.
TEST_F(Faults, StandardOutputOrErrorClosedLeavesTheReportAlone)
{
    {
        SCOPED_TRACE("standard output closed");
        Scratch scratch;
        scratch.add_bundled_coefficients();
        Closed closed;
        closed.output = true;
        const Outcome outcome = run_gridrun(scratch, input_file(scratch, "1500\n"), closed);
        expect_diagnostic(outcome, "WRITE (CON)");
        expect_report(scratch, title());
    }
    {
        SCOPED_TRACE("standard error closed, an epoch that is not a number");
        Scratch scratch;
        scratch.add_bundled_coefficients();
        Closed closed;
        closed.error = true;
        const Outcome outcome = run_gridrun(scratch, input_file(scratch, "abc\n"), closed);
        EXPECT_EQ(outcome.exit_status, 1);
        expect_report(scratch, title());
    }
    {
        SCOPED_TRACE("standard error closed, a normal run");
        Scratch scratch;
        scratch.add_bundled_coefficients();
        Closed closed;
        closed.error = true;
        const Outcome outcome = run_gridrun(scratch, input_file(scratch, "1500\n"), closed);
        EXPECT_EQ(outcome.exit_status, 0);
        EXPECT_EQ(outcome.out, normal().out);
        expect_report(scratch, normal_report());
    }
}

TEST_F(Faults, CoefficientFileOfTenMillionNumbers)
{
    // The bundled file's numbers, then numbers up to ten million in all,
    // written in streaming chunks.
    Scratch scratch;
    scratch.add_bundled_coefficients();
    {
        std::ofstream file(scratch.work() / COEFFICIENTS, std::ios::binary | std::ios::app);
        const std::string line = "1 2 3 4 5 6 7 8 9 0\r\n";  // ten numbers
        std::string chunk;
        for (int i = 0; i < 10000; ++i) chunk += line;
        const long chunks = (10'000'000L - 381L * 18L) / (10L * 10000L) + 1;
        for (long c = 0; c < chunks; ++c) file << chunk;
        ASSERT_TRUE(file.good());
    }
    ASSERT_GT(fs::file_size(scratch.work() / COEFFICIENTS), 20'000'000u);
    const Outcome outcome = run_gridrun(scratch, input_file(scratch, "1500\n"));
    expect_normal_run(outcome, scratch);
    EXPECT_LT(outcome.peak_rss_kb, PEAK_RSS_KB);
    EXPECT_LT(outcome.seconds, 10.0);
}

// A file of one line: `head`, then `bytes` copies of `fill`, then `tail`.
fs::path huge_line(const Scratch& scratch, const std::string& head, char fill, std::size_t bytes, const std::string& tail)
{
    const fs::path path = scratch.side("stdin");
    std::ofstream file(path, std::ios::binary);
    file << head;
    const std::string chunk(1 << 20, fill);
    for (std::size_t done = 0; done < bytes; done += chunk.size()) file << chunk;
    file << tail;
    return path;
}

constexpr std::size_t HUNDRED_MB = 100u << 20;

TEST_F(Faults, EpochFollowedByAHundredMegabytesOnItsLine)
{
    Scratch scratch;
    scratch.add_bundled_coefficients();
    const Outcome outcome = run_gridrun(scratch, huge_line(scratch, "1500 ", '7', HUNDRED_MB, "\n"));
    expect_normal_run(outcome, scratch);
    EXPECT_LT(outcome.peak_rss_kb, PEAK_RSS_KB);
    EXPECT_LT(outcome.seconds, 10.0);
}

TEST_F(Faults, GarbageTokenOfAHundredMegabytes)
{
    Scratch scratch;
    scratch.add_bundled_coefficients();
    const Outcome outcome = run_gridrun(scratch, huge_line(scratch, "", 'x', HUNDRED_MB, "\n"));
    expect_diagnostic(outcome, "READ (CON)");
    expect_report(scratch, title());
    EXPECT_LT(outcome.peak_rss_kb, PEAK_RSS_KB);
    EXPECT_LT(outcome.seconds, 10.0);
}

}  // namespace
