// Formatted and free-form records: their exact bytes on a text file and on
// the console, and the programming errors a bad format is.
#include "run_fixture.hpp"

#include <cstdint>
#include <gtest/gtest.h>
#include <numbers>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

using textio::FMTWRITE;
using textio::LSTWRITE;

// The bytes of a file unit after `body` wrote to unit 61.
std::string file_bytes(const std::function<void()>& body)
{
    ScratchDir dir;
    const RunResult r = run_with("", [&] {
        textio::UNITOPEN(61, "out.dat");
        body();
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    return dir.read("out.dat");
}

TEST(FormattedRecord, FileRecordsMatchByteForByte)
{
    struct Case {
        std::function<void()> write;
        const char* bytes;
    };
    const Case cases[] = {
        {[] { FMTWRITE(61, "(1X)"); }, "\r\n"},
        {[] { FMTWRITE(61, "(' ')"); }, " \r\n"},
        {[] { FMTWRITE(61, "('Time: ',1F8.1,'AD')", {1900.0}); }, "Time:   1900.0AD\r\n"},
        {[] { FMTWRITE(61, "('Time: ',1F8.1,'AD')", {0.0}); }, "Time:       .0AD\r\n"},
        {[] { FMTWRITE(61, "(' ERROR NUMBER =',I10)", {std::int32_t{1}}); }, " ERROR NUMBER =         1\r\n"},
        {[] { FMTWRITE(61, "(1X,A20,3I10)", {"XDLEGF: THETA OUT OF RANGE", std::int32_t{2}, std::int32_t{1}, std::int32_t{1}}); },
         " XDLEGF: THETA OUT OF         2         1         1\r\n"},
        {[] { FMTWRITE(61, "(1X,A20,3I10)", {"SHORT", std::int32_t{-3}, std::int32_t{0}, std::int32_t{2147483647}}); },
         "                SHORT        -3         02147483647\r\n"},
        {[] { FMTWRITE(61, "(I1,I3)", {std::int32_t{10}, std::int32_t{-100}}); }, "****\r\n"},
        {[] { FMTWRITE(61, "('0          ERROR MESSAGE SUMMARY',/,' MESSAGE START')"); },
         "0          ERROR MESSAGE SUMMARY\r\n MESSAGE START\r\n"},
        {[] { FMTWRITE(61, "(1X,A,5X)", {"text "}); }, " text \r\n"},  // trailing nX writes nothing
        {[] { FMTWRITE(61, "('a',3X,/,2X,'b')"); }, "a\r\n  b\r\n"},  // blanks pending at '/' are dropped
        {[] { FMTWRITE(61, "(A,'=',F6.2,' end')", {"x", 2.5}); }, "x=  2.50 end\r\n"},
        {[] { FMTWRITE(61, "(F6.2,' after',F6.2,' never')", {1.0}); }, "  1.00 after\r\n"},
        {[] { FMTWRITE(61, "('it''s')"); }, "it's\r\n"},
        {[] { FMTWRITE(61, "(1F7.2,1F8.2,1F10.2,1F11.2,2F12.2)", {35.0, -15.0, 2.35, 60.0, 1.23, 2.04}); },
         "  35.00  -15.00      2.35      60.00        1.23        2.04\r\n"},
        {[] { LSTWRITE(61); }, " \r\n"},
        {[] { LSTWRITE(61, {"Give Time (0 to 1900 AD):"}); }, " Give Time (0 to 1900 AD):\r\n"},
        {[] { LSTWRITE(61, {" "}); }, "  \r\n"},
        {[] { LSTWRITE(61, {"a", "b "}); }, " ab \r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(file_bytes(c.write), c.bytes);
}

TEST(FreeFormRecord, DoublesInFieldsOf24And25Columns)
{
    struct Case {
        double x;
        const char* text;  // the number as written, before right-justification
    };
    const Case cases[] = {
        {std::numbers::pi / 3, "1.047197551196598"},
        {std::numbers::pi / 2, "1.570796326794897"},
        {0.5, "5.000000000000000E-001"},
        {0.0, "0.000000000000000E+000"},
        {-0.0, "0.000000000000000E+000"},
        {-2.5, "-2.500000000000000"},
        {1e7, "1.000000000000000E+007"},
        {9999999.5, "9999999.500000000000000"},
        {-1e-300, "-1.000000000000000E-300"},
        {123.456, "123.456000000000000"},
        {1.0 / 3.0, "3.333333333333333E-001"},
    };
    for (const Case& c : cases) {
        const std::string text = c.text;
        std::string one(25 - text.size(), ' ');  // built by appending: no spurious restrict warning
        one += text;
        one += "\r\n";
        EXPECT_EQ(file_bytes([&] { LSTWRITE(61, {c.x}); }), one) << c.x;
        const std::string two = " THETA: " + std::string(24 - text.size(), ' ') + text +
                                std::string(25 - text.size(), ' ') + text + "\r\n";
        EXPECT_EQ(file_bytes([&] { LSTWRITE(61, {"THETA: ", c.x, c.x}); }), two) << c.x;
    }
}

TEST(FreeFormRecord, OutputPastColumn79ContinuesInANewRecord)
{
    const std::string one = "1.000000000000000";
    const std::string f24 = std::string(24 - one.size(), ' ') + one;
    const std::string f25 = " " + f24;
    EXPECT_EQ(file_bytes([] { LSTWRITE(61, {1.0, 1.0, 1.0, 1.0}); }),
              " " + f24 + f25 + f25 + "\r\n " + f24 + "\r\n");
}

TEST(ConsoleLineControl, FirstCharacterSelectsTheLineAdvance)
{
    const RunResult r = run_with("", [] {
        LSTWRITE(textio::CONSOLE, {"first"});   // no line open: nothing before it
        FMTWRITE(6, "('0after empty line')");   // open line: CR LF CR LF
        FMTWRITE(0, "(1X)");                    // empty record shows as an empty line
        LSTWRITE(textio::CONSOLE, {" "});       // a line holding one blank
        FMTWRITE(6, "('+over')");
        FMTWRITE(6, "('1page')");
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "first\r\n\r\nafter empty line\r\n\r\n \rover\r\n\f\r \rpage\r\n");
}

TEST(ConsoleLineControl, ZeroFirstWithNoLineOpenIsOneLineEnd)
{
    const RunResult r = run_with("", [] { FMTWRITE(6, "('0x')"); });
    EXPECT_EQ(r.out, "\r\nx\r\n");
}

TEST(FormattedRecord, MalformedFormatsAndMismatchesThrowAndWriteNothing)
{
    ScratchDir dir;
    const std::function<void()> bad[] = {
        [] { FMTWRITE(61, "'no parentheses'"); },
        [] { FMTWRITE(61, "('unterminated)"); },
        [] { FMTWRITE(61, "(F7)", {1.0}); },
        [] { FMTWRITE(61, "(F7.2)", {std::int32_t{1}}); },
        [] { FMTWRITE(61, "(I5)", {1.0}); },
        [] { FMTWRITE(61, "(A)", {1.0}); },
        [] { FMTWRITE(61, "('x',/,F7.2)", {1.0, 2.0}); },  // more values than descriptors
        [] { FMTWRITE(61, "(Q3)"); },
        [] { FMTWRITE(61, "('a''b' 'c')"); },
        [] { FMTWRITE(61, "(1X,)"); },
        [] { FMTWRITE(61, "(X)"); },
        [] { LSTWRITE(61, {std::int32_t{3}}); },
    };
    const RunResult r = run_with("", [&] {
        textio::UNITOPEN(61, "out.dat");
        for (const auto& write : bad) EXPECT_THROW(write(), std::logic_error);
        EXPECT_THROW(FMTWRITE(62, "(1X)"), std::logic_error);  // not connected
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(dir.read("out.dat"), "");
}

// What the statement wrote after `before` (on the same unit, in the same run)
// and the message of its fault, if any.
std::pair<std::string, std::string> statement_after(const std::function<void()>& before,
                                                    const std::function<void()>& statement)
{
    const std::string prefix = file_bytes(before);
    std::string fault;
    const std::string all = file_bytes([&] {
        before();
        try {
            statement();
        } catch (const std::logic_error& e) {
            fault = e.what();
        }
    });
    return {all.substr(prefix.size()), fault};
}

// A format used again is replayed from its parsed items: the replay must meet
// any values exactly as a first walk does, faults and their messages included.
TEST(FormattedRecord, ARepeatedFormatGivesWhatItsFirstUseGives)
{
    const char* const row = "(1F7.2,1F8.2,1F10.2,1F11.2,2F12.2)";
    const char* const time = "('Time: ',1F8.1,'AD')";
    const char* const title = "(1X,A20,3I10)";
    const char* const texts = "('a''b',2X,'c',/,I3,/,2X)";
    struct Case {
        std::function<void()> prime;  // a faultless use of the same format
        std::function<void()> statement;
    };
    const Case cases[] = {
        {[&] { FMTWRITE(61, row, {35.0, -15.0, 1.5, 2.5, 0.125, 0.105}); },
         [&] { FMTWRITE(61, row, {60.0, 30.0, -0.004, 99.995, 1e4, -0.005}); }},
        {[&] { FMTWRITE(61, row, {35.0, -15.0, 1.5, 2.5, 0.125, 0.105}); },
         [&] { FMTWRITE(61, row, {1.0, 2.0, 3.0}); }},  // values run out
        {[&] { FMTWRITE(61, row, {35.0, -15.0, 1.5, 2.5, 0.125, 0.105}); },
         [&] { FMTWRITE(61, row, {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0}); }},  // one value too many
        {[&] { FMTWRITE(61, row, {35.0, -15.0, 1.5, 2.5, 0.125, 0.105}); },
         [&] { FMTWRITE(61, row, {1.0, 2.0, std::int32_t{3}, 4.0, 5.0, 6.0}); }},  // wrong type
        {[&] { FMTWRITE(61, time, {1900.0}); }, [&] { FMTWRITE(61, time); }},
        {[&] { FMTWRITE(61, time, {1900.0}); }, [&] { FMTWRITE(61, time, {-0.04}); }},
        {[&] { FMTWRITE(61, title, {"abc", std::int32_t{1}, std::int32_t{2}, std::int32_t{3}}); },
         [&] { FMTWRITE(61, title, {"a text of more than twenty characters", std::int32_t{-5}, std::int32_t{0}}); }},
        {[&] { FMTWRITE(61, title, {"abc", std::int32_t{1}, std::int32_t{2}, std::int32_t{3}}); },
         [&] { FMTWRITE(61, title, {"abc", 1.0}); }},
        {[&] { FMTWRITE(61, texts, {std::int32_t{5}}); }, [&] { FMTWRITE(61, texts, {std::int32_t{-42}}); }},
        {[&] { FMTWRITE(61, texts, {std::int32_t{5}}); }, [&] { FMTWRITE(61, texts); }},
        {[&] { FMTWRITE(61, texts, {std::int32_t{5}}); }, [&] { FMTWRITE(61, texts, {2.0}); }},
        {[&] { FMTWRITE(61, "(1X)"); }, [&] { FMTWRITE(61, "(1X)", {1.0}); }},
    };
    const auto other = [] { FMTWRITE(61, "('another format')"); };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(statement_after(cases[i].prime, cases[i].statement), statement_after(other, cases[i].statement))
            << "case " << i;
    }
    EXPECT_EQ(statement_after(cases[0].prime, cases[0].statement).first,
              "  60.00   30.00       .00     100.00    10000.00        -.01\r\n");
    EXPECT_EQ(statement_after(cases[2].prime, cases[2].statement).second,
              "record layer: format (1F7.2,1F8.2,1F10.2,1F11.2,2F12.2) at position 33: more values than value "
              "descriptors");
}

}  // namespace
