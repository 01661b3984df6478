// The grid report, record by record.
#include "run/report.hpp"

#include "run/constants.hpp"
#include "textio/textio.hpp"

namespace run {

void write_report_title()
{
    textio::UNITOPEN(REPORT_UNIT, REPORT_FILE);
    textio::FMTWRITE(REPORT_UNIT, "('      ARVEN.MA.3 Regional Archaeomagnetic Model')");
    textio::FMTWRITE(REPORT_UNIT, "('         for Europe for the last 2000 years')");
    textio::FMTWRITE(REPORT_UNIT, "(' ')");
}

void write_report_heading(double time)
{
    textio::FMTWRITE(REPORT_UNIT, "('Time: ',1F8.1,'AD')", {time});
    textio::LSTWRITE(REPORT_UNIT);
    textio::FMTWRITE(REPORT_UNIT, "('                            *Errors at 95% of confidence')");
    textio::LSTWRITE(REPORT_UNIT);
    textio::FMTWRITE(REPORT_UNIT, "('   Lat     Lon    Dec(deg.)  Inc(deg.)  eDec(deg.)  eInc(deg.)')");
}

void write_report_row(const NodeBasis& basis, const NodeResult& result)
{
    textio::FMTWRITE(REPORT_UNIT, "(1F7.2,1F8.2,1F10.2,1F11.2,2F12.2)",
                     {basis.FLAT, basis.FLON, result.DEC, result.INC, result.EDEC, result.EINC});
}

void write_report_closing()
{
    textio::FMTWRITE(REPORT_UNIT, "(' ')");
    // The model's publication of 2007, in at most 54 characters a record.
    textio::FMTWRITE(REPORT_UNIT, "('Reference: the authors of the ARVEN.MA.3 model (2007)')");
    textio::FMTWRITE(REPORT_UNIT, "('ARVEN.MA.3: the initial regional archaeomagnetic')");
    textio::FMTWRITE(REPORT_UNIT, "('model for Europe for the last 2000 years.')");
    textio::FMTWRITE(REPORT_UNIT, "('Submitted to an international journal of the')");
    textio::FMTWRITE(REPORT_UNIT, "('physics of the Earth interior and the planets.')");
    textio::UNITCLOS(REPORT_UNIT);
}

}  // namespace run
