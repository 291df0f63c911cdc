#include "reports/bflista.h"

#include <cstdio>

#include "bookkeeping/BFMisc_amount.h"
#include "common/Ansi.h"
#include "reports/BFPrint.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "storage/Filer.h"

namespace reports {

namespace {

constexpr int kSumColumn = 69;

std::string TwoPlaces(int value) {
  char s[8];
  std::snprintf(s, sizeof s, "%2d", value);
  return s;
}

}  // namespace

bool ReportMonth(bf::BfShared& s, bf::SumsRecord& month) {
  const std::string now = etider::Format(12);  // yyyy-mm
  bool found = false;
  const bool read = bf::ForEachMonth(s, [&](const bf::SumsRecord& m, int32_t) {
    if (m.month == now || !found || (month.month != now && m.month > month.month)) {
      month = m;
      found = true;
    }
    return m.month != now;
  });
  return read && found;
}

bool PrintSumGroups(printing::PrintJob& job, bf::BfShared& s, const glodefs::TRapportEnv& setting,
                    esmall::WindowHandle owner) {
  if (isam::UsedRecs(s.kontoFile) < 1) {
    eerror::EMsg(eerror::kStatusLine, A("Ej tillräckliga data!"));
    return false;
  }
  if (!job.printerinit(false, "summagrupper", setting, owner)) {
    job.printerexit(true);
    return false;
  }
  bf::SumsRecord month;
  ReportMonth(s, month);
  Title(job, "Summagrupper");
  ReportHead(job, s.dataBas, true);
  job.Need("", 1);
  job.Tab(1);
  job.Write("Grupp. Range= XXXX..YYYY. Single= ,ZZZZ");
  job.Tab(kSumColumn);
  job.WriteLn("Summa.....");
  job.Need("", 9);
  for (int g = 0; g < bf::kGroupCount; ++g) {
    const auto i = static_cast<size_t>(g);
    job.Tab(1);
    job.Write("#" + TwoPlaces(g));
    job.Tab(5);
    job.Write(s.dataBas.sumGroups[i]);
    job.Tab(kSumColumn);
    job.WriteLn(bf::AmountText(month.groupBalances[i].Value(), 10));
  }
  job.ClosingPictures();
  job.printerexit(false);
  return true;
}

}  // namespace reports
