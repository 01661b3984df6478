// Whole runs of the layer: stops and their console text, the line-open flag
// across reads, files (open-or-create, cutting, failures) and exit statuses.
#include "run_fixture.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using textio::CONSOLE;

// The dialogue of a run: banner line, prompt, answer, blank record, stop.
void dialogue()
{
    double time = 0.0;
    textio::LSTWRITE(CONSOLE, {"            ** ARVEN.MA.3 **"});
    textio::LSTWRITE(CONSOLE, {"Give Time (0 to 1900 AD):"});
    textio::LSTREAD(CONSOLE, {&time, 1});
    textio::LSTWRITE(CONSOLE, {" "});
    textio::STOPRUN();
}

TEST(RunEnd, NormalStopAfterADialogue)
{
    const RunResult r = run_with("1500\n", dialogue);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "            ** ARVEN.MA.3 **\r\nGive Time (0 to 1900 AD):\r\n \r\nStop - Program terminated.\r\n\r\n");
    EXPECT_EQ(r.err, "");
}

TEST(RunEnd, FailedConsoleReadLeavesTheLineOpen)
{
    const RunResult r = run_with("abc\n", dialogue);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "            ** ARVEN.MA.3 **\r\nGive Time (0 to 1900 AD):\r\n\r\n");
    EXPECT_EQ(r.err, "\r\nrun-time error 101: READ (CON)\r\n- \"abc\" is not a number (line 1)\r\n");
}

TEST(RunEnd, StopsWithAndWithoutConsoleOutput)
{
    RunResult r = run_with("", [] { textio::STOPRUN(); });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Stop - Program terminated.\r\n");
    r = run_with("", [] {
        textio::LSTWRITE(CONSOLE, {"x"});
        textio::STOPCODE("150", 150);
    });
    EXPECT_EQ(r.status, 150);
    EXPECT_EQ(r.out, "x\r\nReturn code 150\r\n\r\n");
    r = run_with("", [] { textio::LSTWRITE(CONSOLE, {"no stop"}); });  // the body returns
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "no stop\r\n");
}

TEST(Files, OpenOrCreateCutsAnExistingFileAtTheFirstWrite)
{
    ScratchDir dir;
    dir.write("report.dat", std::string(5000, 'x'));
    const RunResult r = run_with("", [] {
        textio::UNITOPEN(61, "report.dat");
        for (int i = 0; i < 10; ++i) textio::FMTWRITE(61, "(' ')");
        textio::UNITCLOS(61);
        textio::UNITCLOS(61);  // not connected any more: nothing
    });
    EXPECT_EQ(r.status, 0);
    std::string expected;
    for (int i = 0; i < 10; ++i) expected += " \r\n";
    EXPECT_EQ(dir.read("report.dat"), expected);
}

TEST(Files, OpenUnitsAreWrittenOutAtEveryEndOfRun)
{
    ScratchDir dir;
    const RunResult r = run_with("", [] {
        textio::UNITOPEN(61, "report.dat");
        textio::FMTWRITE(61, "('kept')");
        textio::STOPCODE("150", 150);
    });
    EXPECT_EQ(r.status, 150);
    EXPECT_EQ(dir.read("report.dat"), "kept\r\n");
}

TEST(Files, ADirectoryCannotBeOpened)
{
    ScratchDir dir;
    std::filesystem::create_directory(dir.path() / "report.dat");
    const RunResult r = run_with("", [] { textio::UNITOPEN(61, "report.dat"); });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "\r\nrun-time error 105: OPEN (report.dat)\r\n- cannot open or create file 'report.dat': "
                     "Is a directory\r\n");
}

TEST(Files, WriteFailuresAreNeverSilent)
{
    ScratchDir dir;
    std::filesystem::create_symlink("/dev/full", dir.path() / "report.dat");
    const RunResult r = run_with("", [] {
        textio::UNITOPEN(61, "report.dat");
        textio::FMTWRITE(61, "('row')");
        textio::LSTWRITE(CONSOLE, {"done"});
        textio::STOPRUN();
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "done\r\nStop - Program terminated.\r\n\r\n");
    EXPECT_EQ(r.err, "\r\nrun-time error 106: WRITE (report.dat)\r\n- cannot write to file 'report.dat': "
                     "No space left on device\r\n");
}

TEST(Files, WriteFailureDuringTheRunEndsItAtOnce)
{
    ScratchDir dir;
    std::filesystem::create_symlink("/dev/full", dir.path() / "report.dat");
    bool after = false;
    const RunResult r = run_with("", [&] {
        textio::UNITOPEN(61, "report.dat");
        for (int i = 0; i < 100000; ++i) textio::FMTWRITE(61, "('a row of the report')");
        after = true;
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(after);
    EXPECT_EQ(r.err, "\r\nrun-time error 106: WRITE (report.dat)\r\n- cannot write to file 'report.dat': "
                     "No space left on device\r\n");  // once, not again at the end of the run
}

TEST(Files, AReadOnlyFileIsReadButNotWritten)
{
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    ScratchDir dir;
    dir.write("ro.dat", "3.5\n");
    chmod(dir.file("ro.dat").c_str(), 0444);
    double x = 0.0;
    const RunResult r = run_with("", [&] {
        textio::UNITOPEN(8, "ro.dat");
        textio::LSTREAD(8, {&x, 1});
        textio::FMTWRITE(8, "('no')");
    });
    EXPECT_EQ(x, 3.5);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "\r\nrun-time error 106: WRITE (ro.dat)\r\n- cannot write to file 'ro.dat': it is open for "
                     "reading only (no write permission)\r\n");
    EXPECT_EQ(dir.read("ro.dat"), "3.5\n");
}

TEST(Console, FailedStandardOutputGivesADiagnosticNotExitZero)
{
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    const RunResult r = run_with("", dialogue, false, full);
    close(full);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "\r\nrun-time error 106: WRITE (CON)\r\n- cannot write to standard output: No space left on device\r\n");
}

TEST(Console, ClosedPipeGivesADiagnosticNotASignal)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    const RunResult r = run_with("", [] { textio::STOPRUN(); }, false, fds[1]);
    close(fds[1]);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "\r\nrun-time error 106: WRITE (CON)\r\n- cannot write to standard output: Broken pipe\r\n");
}

TEST(Console, PromptIsWrittenOutBeforeTheReadWaits)
{
    // The output descriptor is a pipe we read after the run; what matters is
    // that the bytes before the read reached it even though the read fails.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const RunResult r = run_with("", [] {
        textio::LSTWRITE(CONSOLE, {"Give Time (0 to 1900 AD):"});
        double t = 0;
        textio::LSTREAD(CONSOLE, {&t, 1});
    }, false, fds[1]);
    close(fds[1]);
    char buffer[256];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    close(fds[0]);
    EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(n > 0 ? n : 0)), "Give Time (0 to 1900 AD):\r\n\r\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "\r\nrun-time error 102: READ (CON)\r\n- end of input after 0 of 1 number (the input is empty)\r\n");
}

}  // namespace
