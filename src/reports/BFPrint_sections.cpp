#include "reports/BFPrint_sections.h"

namespace reports {

void SumLineStart(printing::PrintJob& job, bool result, const std::string& label) {
  job.Need("", result ? 3 : 2);
  if (result) job.WriteLn();
  At(job, 8, label);
}

}  // namespace reports
