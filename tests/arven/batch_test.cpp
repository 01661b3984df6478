// Batch dating: good and bad rows mixed; bad rows reported by line and
// skipped; every good row's summary is the single-sample command's.
#include <gtest/gtest.h>

#include "arven/batch.hpp"
#include "scratch.hpp"

namespace {

const char* const BATCH =
    "id,lat,lon,dec,inc,a95\r\n"
    "# a comment\n"
    "paris-1, 48.85, 2.35, 4.5, 63.0, 2.5\n"
    "\n"
    "rome-1,41.9,12.5,-2.0,55.0,3.0\n"
    "short,41.9,12.5,-2.0,55.0\n"
    "word,41.9,twelve,-2.0,55.0,3.0\n"
    "steep,41.9,12.5,-2.0,91.0,3.0\n"
    "tokyo,35.7,139.7,-7.0,49.0,3.0\n"
    "paris-2,48.85,2.35,150.0,-30.0,2.0\n"
    "berlin-1,52.5,13.4,+1e1,66.5,1.5\n";

TEST(Batch, ParsesGoodRowsAndReportsBadOnesByLine) {
    const arven::BatchInput input = arven::parse_batch(BATCH);
    ASSERT_EQ(input.samples.size(), 6u);
    EXPECT_EQ(input.samples[0].id, "paris-1");
    EXPECT_EQ(input.samples[0].line, 3u);
    EXPECT_EQ(input.samples[0].lat, 48.85);
    EXPECT_EQ(input.samples.back().measurement.dec, 10.0);
    ASSERT_EQ(input.problems.size(), 2u);
    EXPECT_EQ(input.problems[0].line, 6u);
    EXPECT_EQ(input.problems[0].message, "expected 6 fields (id,lat,lon,dec,inc,a95), found 5");
    EXPECT_EQ(input.problems[1].line, 7u);
    EXPECT_EQ(input.problems[1].message, "lon 'twelve' is not a number");
}

TEST(Batch, EachGoodRowEqualsTheSingleSampleCommand) {
    arven_test::Scratch dir;
    arven_test::write_file(dir / "samples.csv", BATCH);
    arven::DateOptions batch;
    batch.batch = (dir / "samples.csv").string();
    batch.range = {0, 1900, 1};
    const auto outcome = arven_test::run_date(arven_test::common_options(), batch);
    EXPECT_EQ(outcome.status, arven::EXIT_ROWS_SKIPPED);
    const std::string prefix = "arven: " + batch.batch + ":";
    EXPECT_EQ(outcome.err, prefix + "6: row skipped: expected 6 fields (id,lat,lon,dec,inc,a95), found 5\n" +
                               prefix + "7: row skipped: lon 'twelve' is not a number\n" + prefix +
                               "8: row skipped: inclination must lie strictly between -90 and 90 degrees, got "
                               "91.0000\n" +
                               prefix + "9: row skipped: site (35.7000, 139.7000) lies " +
                               outcome.err.substr(outcome.err.find("lies ") + 5));
    EXPECT_NE(outcome.err.find("within 40 degrees"), std::string::npos);

    std::vector<std::string> rows;
    for (std::size_t start = outcome.out.find("\nid,") + 1, end; (end = outcome.out.find('\n', start)) != std::string::npos;
         start = end + 1) {
        rows.push_back(outcome.out.substr(start, end - start));
    }
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], arven::batch_header());

    const arven::BatchInput input = arven::parse_batch(BATCH);
    const std::size_t good[] = {0, 1, 4, 5};   // samples that the model accepts
    for (std::size_t k = 0; k < 4; ++k) {
        const arven::BatchSample& s = input.samples[good[k]];
        SCOPED_TRACE(s.id);
        arven::DateOptions single;
        single.lat = s.lat;
        single.lon = s.lon;
        single.dec = s.measurement.dec;
        single.inc = s.measurement.inc;
        single.a95 = s.measurement.a95;
        const auto one = arven_test::run_date(arven_test::common_options(), single);
        ASSERT_EQ(one.status, 0) << one.err;
        // The row carries the same three interval texts as the summary.
        const std::string& row = rows[k + 1];
        for (const char* label : {"  combined:    ", "  declination: ", "  inclination: "}) {
            const std::size_t at = one.out.find(label);
            ASSERT_NE(at, std::string::npos);
            const std::size_t from = at + std::string(label).size();
            const std::string text = one.out.substr(from, one.out.find('\n', from) - from);
            EXPECT_NE(row.find(",\"" + text + "\""), std::string::npos) << row << " / " << text;
        }
        EXPECT_EQ(row.rfind("\"" + s.id + "\",", 0), 0u) << row;
    }
    EXPECT_NE(rows[3].find("\"no compatible epoch\""), std::string::npos) << rows[3];
}

TEST(Batch, MissingFileAndMixedOptionsAreOneLineFailures) {
    arven::DateOptions options;
    options.batch = "/nonexistent/samples.csv";
    auto outcome = arven_test::run_date(arven_test::common_options(), options);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "arven: error: file '/nonexistent/samples.csv' does not exist\n");
    options.lat = 45.0;
    outcome = arven_test::run_date(arven_test::common_options(), options);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("leave out --lat"), std::string::npos);
}

}  // namespace
