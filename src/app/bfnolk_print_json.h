// bfnolk print --format json: a report's content as data, every section, line, figure and
// sum, amounts as numbers with two decimals; texts as the report prints them.
#pragma once

#include <string>

#include "reports/BFPrint_report.h"

namespace bfnolk {

std::string ReportJson(const reports::Report& report, const bf::BfDataBasRecord& list, const reports::Content& content);

}  // namespace bfnolk
