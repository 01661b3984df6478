// The message handler end to end: each case runs in-process as one run of the
// program with the console bound to scratch files, and checks the console
// bytes and the exit status.

#include "errors/errors.hpp"
#include "errors/value_lines.hpp"
#include "textio/textio.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* CRLF = "\r\n";
constexpr const char* STOP_TAIL = "\r\nStop - Program terminated.\r\n\r\n";

struct Outcome {
    int status = -1;
    std::string console;
};

// A scratch file opened for reading and writing, removed when closed.
class ScratchFile {
public:
    ScratchFile() : file_(std::tmpfile()) {}
    ~ScratchFile() { std::fclose(file_); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    int fd() const { return fileno(file_); }
    std::string contents() const
    {
        std::string out;
        char buf[4096];
        ssize_t n;
        off_t at = 0;
        while ((n = ::pread(fd(), buf, sizeof buf, at)) > 0) {
            out.append(buf, static_cast<std::size_t>(n));
            at += n;
        }
        return out;
    }

private:
    std::FILE* file_;
};

Outcome run(const std::function<void()>& body)
{
    ScratchFile in, out, err;
    textio::bind_console({in.fd(), out.fd(), err.fd(), false});
    Outcome o;
    o.status = textio::run_program(body);
    o.console = out.contents();
    return o;
}

// One summary entry as the console shows it: the key, then NERR, LEVEL and
// COUNT right-justified in 10 columns each.
std::string entry_line(const std::string& key20, int nerr, int level, int count)
{
    char numbers[40];
    std::snprintf(numbers, sizeof numbers, "%10d%10d%10d", nerr, level, count);
    return key20 + numbers + CRLF;
}

const std::string SUMMARY_HEAD = std::string(CRLF) + CRLF + "          ERROR MESSAGE SUMMARY" + CRLF +
                                 "MESSAGE START             NERR     LEVEL     COUNT" + CRLF;

// Every test starts from the handler's initial settings and an empty table;
// a summary requested with NMSG = 0 is what clears the table.
class Handler : public ::testing::Test {
protected:
    void SetUp() override
    {
        const int initial[9] = {0, 2, 0, 10, 1, 0, 0, 0, 0};
        for (int slot = 1; slot <= 9; ++slot) errors::XERPARM(slot, initial[slot - 1], 1);
        run([] {
            int count = 0;
            errors::XERTALLY(" ", 0, 0, 0, count);
        });
    }
    void TearDown() override { errors::XERPARM(2, 2, 1); }

    // Prints the summary and keeps the table.
    static std::string summary()
    {
        return run([] {
            int count = 0;
            errors::XERTALLY(" ", -1, 0, 0, count);
        }).console;
    }
};

TEST_F(Handler, ThetaReportShowsTwelveLinesAndFailsTheRun)
{
    const Outcome o = run([] { errors::XERROR("XDLEGF: THETA OUT OF RANGE", 26, 2, 1); });
    const std::string expected =
        std::string(" ") + CRLF +                                           // 1
        "RECOVERABLE ERROR IN..." + CRLF +                                  // 2
        "XDLEGF: THETA OUT OF RANGE" + CRLF +                               // 3
        "ERROR NUMBER =" + std::string(9, ' ') + "2" + CRLF +               // 4
        "JOB ABORT DUE TO UNRECOVERED ERROR." + CRLF +                      // 5
        CRLF +                                                              // 6
        "          ERROR MESSAGE SUMMARY" + CRLF +                          // 7
        "MESSAGE START             NERR     LEVEL     COUNT" + CRLF +       // 8
        "XDLEGF: THETA OUT OF" + std::string(9, ' ') + "2" + std::string(9, ' ') + "1" +
        std::string(9, ' ') + "1" + CRLF +                                  // 9
        CRLF +                                                              // 10
        "Stop - Program terminated." + CRLF +                               // 11
        CRLF;                                                               // 12
    EXPECT_EQ(o.console, expected);
    // A fatal report is a failed run.
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(errors::XERPARM(1, 0, 0), 2);
}

TEST_F(Handler, FatalLevelPrintsItsOwnHeadingAndAbortText)
{
    const Outcome o = run([] { errors::XERROR("SOMETHING BROKE", 15, 7, 2); });
    EXPECT_EQ(o.console, std::string(" ") + CRLF + "FATAL ERROR IN..." + CRLF + "SOMETHING BROKE" + CRLF +
                             "ERROR NUMBER =         7" + CRLF + "JOB ABORT DUE TO FATAL ERROR." + SUMMARY_HEAD +
                             entry_line("SOMETHING BROKE     ", 7, 2, 1) + STOP_TAIL);
    EXPECT_EQ(o.status, 1);
}

TEST_F(Handler, InvalidInputIsAFatalErrorOfTheHandler)
{
    struct Case {
        const char* what;
        int nmsg, nerr, level;
    };
    const Case cases[] = {{"level 3", 5, 1, 3}, {"level -2", 5, 1, -2}, {"nerr 0", 5, 0, 1}, {"nmsg 0", 0, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome o = run([&] { errors::XERROR("TEXT!", c.nmsg, c.nerr, c.level); });
        // No blank line before the heading, no summary of an empty table.
        EXPECT_EQ(o.console, std::string("FATAL ERROR IN...") + CRLF + "XERROR -- INVALID INPUT" + CRLF +
                                 "JOB ABORT DUE TO FATAL ERROR." + STOP_TAIL);
        EXPECT_EQ(o.status, 1);
    }
}

TEST_F(Handler, InvalidInputSummarisesAndClearsTheTable)
{
    run([] { errors::XERROR("EARLIER WARNING", 15, 4, 0); });
    const Outcome o = run([] { errors::XERROR("BAD", 3, 0, 0); });
    EXPECT_EQ(o.console, std::string("FATAL ERROR IN...") + CRLF + "XERROR -- INVALID INPUT" + CRLF +
                             "JOB ABORT DUE TO FATAL ERROR." + SUMMARY_HEAD +
                             entry_line("EARLIER WARNING     ", 4, 0, 1) + STOP_TAIL);
    EXPECT_EQ(summary(), "");
}

TEST_F(Handler, PrintLimitSilencesTheEleventhRecoverableReport)
{
    errors::XERPARM(2, 1, 1);  // recoverable errors no longer fatal
    const Outcome o = run([] {
        for (int i = 0; i < 11; ++i) errors::XERROR("XDLEGF: THETA OUT OF RANGE", 26, 2, 1);
    });
    EXPECT_EQ(o.status, 0);  // every call returned
    const std::string one = std::string(" ") + CRLF + "RECOVERABLE ERROR IN..." + CRLF + "XDLEGF: THETA OUT OF RANGE" +
                            CRLF + "ERROR NUMBER =         2";
    std::string ten;
    for (int i = 0; i < 10; ++i) ten += (i ? CRLF : "") + one;
    EXPECT_EQ(o.console, ten + CRLF);
    EXPECT_EQ(summary(), SUMMARY_HEAD.substr(2) + entry_line("XDLEGF: THETA OUT OF", 2, 1, 11) + CRLF);
}

TEST_F(Handler, WarningsRespectTheirLimits)
{
    const Outcome o = run([] {
        for (int i = 0; i < 3; ++i) errors::XERROR("ONCE ONLY", 9, 1, -1);
    });
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.console, std::string(" ") + CRLF + "WARNING MESSAGE...THIS MESSAGE WILL ONLY BE PRINTED ONCE." +
                             CRLF + "ONCE ONLY" + CRLF + "ERROR NUMBER =         1" + CRLF);
}

TEST_F(Handler, KeyIsTheFirstTwentyCharactersWithNumberAndLevel)
{
    run([] {
        errors::XERROR("XDADJ: SAME FIRST 20 CHARS, TAIL A", 34, 1, 0);
        errors::XERROR("XDADJ: SAME FIRST 20 CHARS, OTHER TAIL", 38, 1, 0);
        errors::XERROR("XDADJ: SAME FIRST 20 CHARS, TAIL A", 34, 2, 0);
        errors::XERROR("SHORT", 5, 2, 0);
    });
    EXPECT_EQ(summary(), SUMMARY_HEAD.substr(2) + entry_line("XDADJ: SAME FIRST 20", 1, 0, 2) +
                             entry_line("XDADJ: SAME FIRST 20", 2, 0, 1) +
                             entry_line("SHORT               ", 2, 0, 1) + CRLF);
}

TEST_F(Handler, FullTableCountsFurtherMessagesAsOthers)
{
    int counts[3] = {};
    run([&] {
        for (int i = 0; i < 10; ++i) {
            const std::string msg = "DISTINCT MESSAGE " + std::to_string(i);
            int count = 0;
            errors::XERTALLY(msg, static_cast<int>(msg.size()), 9, 0, count);
        }
        for (int& count : counts) errors::XERTALLY("THE ELEVENTH", 12, 9, 0, count);
    });
    // Never tabulated, so new (and printable) every time.
    EXPECT_EQ(counts[0], 1);
    EXPECT_EQ(counts[2], 1);
    std::string expected = SUMMARY_HEAD.substr(2);
    for (int i = 0; i < 10; ++i) {
        std::string key = "DISTINCT MESSAGE " + std::to_string(i);
        key.resize(20, ' ');
        expected += entry_line(key, 9, 0, 1);
    }
    expected += std::string(CRLF) + "OTHER ERRORS NOT INDIVIDUALLY TABULATED=         3" + CRLF + CRLF;
    EXPECT_EQ(summary(), expected);
}

TEST_F(Handler, LongTextPrintsInLinesOfSeventyTwo)
{
    std::string text;
    for (int i = 0; i < 150; ++i) text += static_cast<char>('A' + i % 26);
    const Outcome o = run([&] { errors::XERTEXT(text, 150); });
    EXPECT_EQ(o.console, text.substr(0, 72) + CRLF + text.substr(72, 72) + CRLF + text.substr(144) + CRLF);
    EXPECT_EQ(text.substr(144).size(), 6u);
}

TEST_F(Handler, SummaryOfAnEmptyTablePrintsNothing)
{
    EXPECT_EQ(summary(), "");
    const Outcome o = run([] {
        int count = 0;
        errors::XERTALLY(" ", 0, 0, 0, count);
    });
    EXPECT_EQ(o.console, "");
}

TEST_F(Handler, ValueLinesFollowTheMessage)
{
    const Outcome o = run([] { errors::XERRVAL("WITH VALUES", 11, 3, 0, 2, -3, 2147483647, 2, 1.5, -0.000123456785); });
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.console, std::string(" ") + CRLF + "WARNING IN..." + CRLF + "WITH VALUES" + CRLF +
                             "          IN ABOVE MESSAGE, I1=        -3" + CRLF +
                             "          IN ABOVE MESSAGE, I2=2147483647" + CRLF +
                             "          IN ABOVE MESSAGE, R1=     .15000000E+01" + CRLF +
                             "          IN ABOVE MESSAGE, R2=    -.12345679E-03" + CRLF +
                             "ERROR NUMBER =         3" + CRLF);
}

TEST(HandlerValues, ExponentFormRoundsLikeEveryPrintedNumber)
{
    struct Case {
        double x;
        const char* text;
    };
    const Case cases[] = {
        {0.0, "     .00000000E+00"},
        {-0.0, "     .00000000E+00"},
        {1.0, "     .10000000E+01"},
        {0.125, "     .12500000E+00"},
        {9.999999949, "     .99999999E+01"},
        {9.999999951, "     .10000000E+02"},   // carry out of the first digit
        {-123456785.0, "    -.12345679E+09"},  // a half rounds away from zero
        {9.9e98, "     .99000000E+99"},
        {1e99, "     .10000000+100"},  // beyond two exponent digits the E gives way
        {1.0e100, "     .10000000+101"},
        {-2.5e-300, "    -.25000000-299"},
        {std::numeric_limits<double>::denorm_min(), "     .49406565-323"},
        {std::numeric_limits<double>::infinity(), "1#INF............."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(errors::detail::exponent_field(c.x, 8), c.text);
    }
    const auto widths = errors::detail::value_widths();
    EXPECT_EQ(widths.integer, 10);
    EXPECT_EQ(widths.real, 8);
}

TEST_F(Handler, SettingsReturnTheOldValueAndUnitsStayInRange)
{
    EXPECT_EQ(errors::XERPARM(4, 3, 1), 10);
    EXPECT_EQ(errors::XERPARM(4, 0, 0), 3);
    EXPECT_EQ(errors::XERPARM(10, 1, 1), 0);  // no such slot
    errors::XERPARM(5, 7, 1);
    int units[5] = {};
    int n = -1;
    errors::XERUNITS(units, n);
    EXPECT_EQ(n, 5);
    errors::XERPARM(5, 2, 1);
    errors::XERPARM(6, 6, 1);
    // Two units that are both the console: every line twice.
    const Outcome o = run([] { errors::XERTEXT("TWICE", 5); });
    EXPECT_EQ(o.console, std::string("TWICE") + CRLF + "TWICE" + CRLF);
    errors::XERPARM(4, 10, 1);
    errors::XERPARM(5, 1, 1);
    errors::XERPARM(6, 0, 1);
}

}  // namespace
