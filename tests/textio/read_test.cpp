// Free-form reads: every syntax rule, the failures with their diagnostics,
// line handling across reads, and the terminal-only line limit.
#include "run_fixture.hpp"

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct ReadCase {
    const char* input;
    std::vector<double> expected;  // variables start as -1, -2, ...; unchanged ones keep that
};

// Reads expected.size() variables from the console with `input`.
std::vector<double> read_console(const std::string& input, std::size_t count, RunResult& result, bool terminal = false)
{
    std::vector<double> v(count);
    for (std::size_t i = 0; i < count; ++i) v[i] = -1.0 - static_cast<double>(i);
    result = run_with(input, [&] { textio::LSTREAD(textio::CONSOLE, v); }, terminal);
    return v;
}

TEST(FreeFormRead, SyntaxRules)
{
    const ReadCase cases[] = {
        {"12.5\n", {12.5}},
        {"   12.5   \n", {12.5}},
        {"1.25E1\n", {12.5}},
        {"1.25e1\n", {12.5}},
        {"1.25d+01\n", {12.5}},
        {"1.25D1\n", {12.5}},
        {"125e-1\n", {12.5}},
        {"12.5,7\n", {12.5, 7.0}},
        {"1.25+1\n", {12.5}},
        {"125-1\n", {12.5}},
        {"+12.5\n", {12.5}},
        {"-.5\n", {-0.5}},
        {"12.\n", {12.0}},
        {"12\n", {12.0}},
        {"\n\n  \n12.5\n", {12.5}},
        {"\t1\t2\r\n", {1.0, 2.0}},
        {",\n", {-1.0}},
        {" , 7\n", {-1.0, 7.0}},
        {"1,,3\n", {1.0, -2.0, 3.0}},
        {"1 , , 3\n", {1.0, -2.0, 3.0}},
        {"1\n,3\n", {1.0, 3.0}},
        {"/\n", {-1.0}},
        {"5 /7\n", {5.0, -2.0}},
        {"5/7\n", {5.0, -2.0}},
        {"3*2.5\n", {2.5, 2.5, 2.5}},
        {"2*,9\n", {-1.0, -2.0, 9.0}},
        {"2* 9\n", {-1.0, -2.0, 9.0}},
        {"5*1\n", {1.0, 1.0}},
        {"1\n2\n3\n", {1.0, 2.0, 3.0}},
        {"7", {7.0}},                  // last line without a line end
        {"1 2 junk\n", {1.0, 2.0}},  // the rest of the line is skipped
        {"1e-400\n", {0.0}},          // below the smallest double
        {"4.9e-324\n", {4.9e-324}},
        {"1.7976931348623157e308\n", {1.7976931348623157e308}},
        {"0e99999999999999999999\n", {0.0}},
        {"1e-99999999999999999999\n", {0.0}},
        {"0.5D-325\n", {0.0}},
        {"0.1000000000000000055511151231257827\n", {0.1}},
    };
    for (const ReadCase& c : cases) {
        RunResult r;
        const std::vector<double> got = read_console(c.input, c.expected.size(), r);
        EXPECT_EQ(r.status, 0) << c.input << r.err;
        EXPECT_EQ(got, c.expected) << c.input;
    }
}

TEST(FreeFormRead, ConsecutiveReadsStartOnTheNextLine)
{
    double a[2] = {0, 0};
    double b[1] = {0};
    const RunResult r = run_with("1 2 3\n4 5\n", [&] {
        textio::LSTREAD(textio::CONSOLE, a);
        textio::LSTREAD(textio::CONSOLE, b);
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(a[0], 1.0);
    EXPECT_EQ(a[1], 2.0);
    EXPECT_EQ(b[0], 4.0);
}

struct FailCase {
    const char* input;
    std::size_t count;
    bool terminal;
    const char* diagnostic;
};

TEST(FreeFormRead, FailuresEndTheRunWithTheirDiagnostic)
{
    const FailCase cases[] = {
        {"12AD\n", 1, false, "run-time error 101: READ (CON)\r\n- \"12AD\" is not a number (line 1)"},
        {"abc\n", 1, false, "run-time error 101: READ (CON)\r\n- \"abc\" is not a number (line 1)"},
        {".\n", 1, false, "run-time error 101: READ (CON)\r\n- \".\" is not a number (line 1)"},
        {"1e\n", 1, false, "run-time error 101: READ (CON)\r\n- \"1e\" is not a number (line 1)"},
        {"1.2.3\n", 1, false, "run-time error 101: READ (CON)\r\n- \"1.2.3\" is not a number (line 1)"},
        {"+\n", 1, false, "run-time error 101: READ (CON)\r\n- \"+\" is not a number (line 1)"},
        {"1 2 \x01\xff\n", 3, false,
         "run-time error 101: READ (CON)\r\n- \"\\x01\\xFF\" is not a number (line 1, value 3 of 3)"},
        {"'12'\n", 1, false,
         "run-time error 101: READ (CON)\r\n- a text constant \"'12'\" where a number is expected (line 1)"},
        {"\"12\"\n", 1, false,
         "run-time error 101: READ (CON)\r\n- a text constant \"\\\"12\\\"\" where a number is expected (line 1)"},
        {"1e309\n", 1, false, "run-time error 101: READ (CON)\r\n- \"1e309\" is beyond the range of a double (line 1)"},
        {"-1e309\n", 1, false,
         "run-time error 101: READ (CON)\r\n- \"-1e309\" is beyond the range of a double (line 1)"},
        {"1e99999999999999999999\n", 1, false,
         "run-time error 101: READ (CON)\r\n- \"1e99999999999999999999\" is beyond the range of a double (line 1)"},
        {"0.5e309\n", 1, false,
         "run-time error 101: READ (CON)\r\n- \"0.5e309\" is beyond the range of a double (line 1)"},
        {"0*5\n", 1, false,
         "run-time error 101: READ (CON)\r\n- \"0*5\" has no valid repeat count (a positive integer before '*') (line 1)"},
        {"-2*5\n", 1, false,
         "run-time error 101: READ (CON)\r\n- \"-2*5\" has no valid repeat count (a positive integer before '*') (line 1)"},
        {"", 1, false, "run-time error 102: READ (CON)\r\n- end of input after 0 of 1 number (the input is empty)"},
        {"\n\n", 1, false, "run-time error 102: READ (CON)\r\n- end of input after 0 of 1 number (the input ends after line 2)"},
        {"1 2\n3", 4, false,
         "run-time error 102: READ (CON)\r\n- end of input after 3 of 4 numbers (the input ends after line 2)"},
        {"\x1a\n5\n", 1, false, "run-time error 102: READ (CON)\r\n- end of input after 0 of 1 number (Ctrl-Z on line 1)"},
        {"\n\x1a\r\n", 1, false, "run-time error 102: READ (CON)\r\n- end of input after 0 of 1 number (Ctrl-Z on line 2)"},
        {"\x1a", 1, false, "run-time error 102: READ (CON)\r\n- end of input after 0 of 1 number (Ctrl-Z on line 1)"},
        {"\x1a\rx\n", 1, false, "run-time error 101: READ (CON)\r\n- \"\\x1A\" is not a number (line 1)"},
        {"1\x1a" "2\n", 1, false, "run-time error 101: READ (CON)\r\n- \"1\\x1A2\" is not a number (line 1)"},
    };
    for (const FailCase& c : cases) {
        RunResult r;
        read_console(c.input, c.count, r, c.terminal);
        EXPECT_EQ(r.status, 1) << c.input;
        EXPECT_EQ(r.err, std::string("\r\n") + c.diagnostic + "\r\n") << c.input;
    }
}

TEST(FreeFormRead, ConsoleLineLimitOnlyOnATerminal)
{
    const std::string line130 = std::string(126, ' ') + "12.5";
    const std::string line131 = " " + line130;
    RunResult r;
    EXPECT_EQ(read_console(line130 + "\n", 1, r, true)[0], 12.5);
    EXPECT_EQ(r.status, 0);
    read_console(line131 + "\n", 1, r, true);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "\r\nrun-time error 103: READ (CON)\r\n- line 1 of the console input is longer than 130 characters\r\n");
    // The limit covers the whole typed line, also what follows the value.
    read_console("12.5" + std::string(200, ' ') + "\n", 1, r, true);
    EXPECT_EQ(r.status, 1);
    // Redirected input: lines of any length.
    EXPECT_EQ(read_console(std::string(100000, ' ') + "12.5 " + std::string(100000, 'x') + "\n9\n", 1, r, false)[0], 12.5);
    EXPECT_EQ(r.status, 0);
}

TEST(FreeFormRead, OverlongValueIsAnInputFailure)
{
    RunResult r;
    read_console(std::string(600, '1') + "\n", 1, r);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "\r\nrun-time error 101: READ (CON)\r\n- a value longer than 512 characters is not a number: \"" +
                         std::string(40, '1') + "...\" (line 1)\r\n");
    // 512 characters are still a value.
    EXPECT_EQ(read_console(std::string(511, '0') + "7\n", 1, r)[0], 7.0);
    EXPECT_EQ(r.status, 0);
}

TEST(FreeFormRead, FileDiagnosticsNameTheFileAndThePlace)
{
    ScratchDir dir;
    dir.write("coef.inp", "1 2 3\r\n4 5\r\n");
    std::vector<double> v(10);
    RunResult r = run_with("", [&] {
        textio::UNITOPEN(7, "coef.inp");
        textio::LSTREAD(7, v);
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "\r\nrun-time error 102: READ (coef.inp)\r\n- end of file 'coef.inp' after 5 of 10 numbers "
                     "(the file ends after line 2)\r\n");
    dir.write("coef.inp", "1 2 3\n4 x5 6\n");
    r = run_with("", [&] {
        textio::UNITOPEN(7, "coef.inp");
        textio::LSTREAD(7, v);
    });
    EXPECT_EQ(r.err, "\r\nrun-time error 101: READ (coef.inp)\r\n- \"x5\" is not a number (file 'coef.inp', line 2, "
                     "value 5 of 10)\r\n");
    // A missing file is created empty by the open and then ends at once.
    r = run_with("", [&] {
        textio::UNITOPEN(7, "missing.inp");
        textio::LSTREAD(7, v);
    });
    EXPECT_EQ(r.err, "\r\nrun-time error 102: READ (missing.inp)\r\n- end of file 'missing.inp' after 0 of 10 numbers "
                     "(the file is empty)\r\n");
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "missing.inp"));
}

TEST(FreeFormRead, ManyNumbersAcrossBufferBoundaries)
{
    ScratchDir dir;
    std::string text;
    const std::size_t count = 381 * 18;
    for (std::size_t i = 0; i < count; ++i) {
        text += "  " + std::to_string(static_cast<double>(i) * 0.25 - 100.0);
        text += (i % 18 == 17) ? "\r\n" : " ";
    }
    text += std::string(200000, 'z');  // never read: after the last number's line
    dir.write("big.inp", text);
    std::vector<double> v(count);
    const RunResult r = run_with("", [&] {
        textio::UNITOPEN(7, "big.inp");
        textio::LSTREAD(7, v);
        textio::UNITCLOS(7);
    });
    ASSERT_EQ(r.status, 0) << r.err;
    for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(v[i], static_cast<double>(i) * 0.25 - 100.0) << i;
}

// Values of every length and scale, in every exponent form, read from a file
// must be the nearest doubles bit for bit, whichever way the layer converts
// them (short ones by an exact scaling, the rest by the full conversion).
TEST(FreeFormRead, FileValuesAreTheNearestDoubles)
{
    std::mt19937_64 random(6858);
    const char* const markers[] = {"E", "e", "D", "d", "E+", "e-", "+", "-", ""};
    std::string text;
    std::vector<double> expected;
    for (int i = 0; i < 20000; ++i) {
        const int digits = 1 + static_cast<int>(random() % 20);
        const int point = static_cast<int>(random() % static_cast<unsigned>(digits + 2));  // digits + 1: none
        std::string mantissa;
        for (int k = 0; k <= digits; ++k) {
            if (k == point) mantissa.push_back('.');
            if (k < digits) mantissa.push_back(static_cast<char>('0' + random() % 10));
        }
        const char* marker = markers[random() % std::size(markers)];
        const int exponent = static_cast<int>(random() % 61) - 30;
        std::string value = random() % 2 ? "-" : "";
        value += mantissa;
        std::string plain = value;  // the same value for the reference conversion
        if (*marker != '\0') {
            const bool sign_only = marker[0] == '+' || marker[0] == '-';
            const bool negative = std::strchr(marker, '-') != nullptr;
            const int shown = negative ? -std::abs(exponent) : std::abs(exponent);
            if (!sign_only) value += marker[0];
            value += negative ? "-" : (std::strchr(marker, '+') ? "+" : "");
            value += std::to_string(std::abs(exponent));
            plain += 'e';
            plain += std::to_string(shown);
        }
        double reference = 0.0;
        const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), reference);
        ASSERT_TRUE(ec == std::errc() && end == plain.data() + plain.size()) << plain;
        expected.push_back(reference);
        text += value;
        text += i % 7 == 6 ? "\r\n" : "   ";
    }
    ScratchDir dir;
    dir.write("values.inp", text);
    std::vector<double> v(expected.size());
    const RunResult r = run_with("", [&] {
        textio::UNITOPEN(7, "values.inp");
        textio::LSTREAD(7, v);
    });
    ASSERT_EQ(r.status, 0) << r.err;
    for (std::size_t i = 0; i < v.size(); ++i) {
        ASSERT_EQ(std::memcmp(&v[i], &expected[i], sizeof(double)), 0) << i << ": " << v[i] << " vs " << expected[i];
    }
}

TEST(FreeFormRead, FileValueLengthLimitWhereverTheValueLies)
{
    ScratchDir dir;
    std::vector<double> v(2);
    // 512 characters are a value, in the middle of the file and as its last bytes.
    dir.write("long.inp", std::string(511, '0') + "7 " + std::string(510, '0') + "8.");
    RunResult r = run_with("", [&] {
        textio::UNITOPEN(7, "long.inp");
        textio::LSTREAD(7, v);
    });
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(v[0], 7.0);
    EXPECT_EQ(v[1], 8.0);
    // 513 are not, in the middle of the file and at its end.
    for (const char* after : {" 1\n", ""}) {
        std::string bytes = "5\n";
        bytes.append(513, '1');
        bytes += after;
        dir.write("long.inp", bytes);
        r = run_with("", [&] {
            textio::UNITOPEN(7, "long.inp");
            textio::LSTREAD(7, v);
        });
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "\r\nrun-time error 101: READ (long.inp)\r\n- a value longer than 512 characters is not a "
                         "number: \"" + std::string(40, '1') + "...\" (file 'long.inp', line 2, value 2 of 2)\r\n");
    }
}

}  // namespace
