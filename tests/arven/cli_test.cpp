// The executable's command line: help with an example on every subcommand,
// the version, the shared options reaching the commands, and parse errors.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "scratch.hpp"

namespace {

struct Invocation {
    int status = -1;
    std::string out;   // standard output and standard error together
};

Invocation arven(const std::string& arguments) {
    Invocation run;
    FILE* pipe = ::popen((std::string("'" ARVEN_BINARY "' ") + arguments + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(Cli, HelpVersionAndErrors) {
    for (const char* sub : {"", "curve ", "date ", "map "}) {
        const Invocation help = arven(std::string(sub) + "--help");
        EXPECT_EQ(help.status, 0) << sub;
        EXPECT_NE(help.out.find("Examples:\n  arven "), std::string::npos) << sub << help.out;
        EXPECT_NE(help.out.find("atan2(-Y, -X)"), std::string::npos) << sub;
    }
    EXPECT_EQ(arven("--version").out, "arven 1.0.0\n");
    EXPECT_NE(arven("").status, 0);
    EXPECT_NE(arven("curve --lat x --lon 2").status, 0);
    EXPECT_NE(arven("curve --lon 2").status, 0) << "--lat is required";
    EXPECT_NE(arven("curve --lat 1 --lat 48 --lon 2").status, 0) << "an option given twice";

    const Invocation far = arven("date --lat 10 --lon 100 --dec 0 --inc 30 --a95 2 --coef '" ARVEN_BUNDLED_COEF "'");
    EXPECT_EQ(far.status, 1);
    EXPECT_EQ(far.out.rfind("arven: error: site (10.0000, 100.0000) lies 84.39 degrees", 0), 0u) << far.out;
}

TEST(Cli, OptionsReachTheCommands) {
    arven_test::Scratch dir;
    const std::string out = (dir / "c.csv").string();
    const Invocation run = arven("curve --lat 48.85 --lon 2.35 --from 1000 --to 1010 --step 5 --out '" + out +
                          "' --coef '" ARVEN_BUNDLED_COEF "'");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "");
    const std::string text = arven_test::read_file(out);
    EXPECT_NE(text.find("# command: arven curve --lat 48.85 --lon 2.35 --from 1000"), std::string::npos) << text;
    EXPECT_NE(text.find("\n1010.00,"), std::string::npos);
    EXPECT_EQ(text.find("\n1015.00,"), std::string::npos);

    const Invocation negative = arven("curve --lat 40 --lon -15 --from 0 --to 0 --coef '" ARVEN_BUNDLED_COEF "'");
    EXPECT_EQ(negative.status, 0) << negative.out;
    EXPECT_NE(negative.out.find("longitude -15.0000 E"), std::string::npos);
}

}  // namespace
