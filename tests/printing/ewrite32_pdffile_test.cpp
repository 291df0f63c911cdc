// Where "PDF-fil" writes: the name from the job title and the clock, a free name when the
// folder already holds one, never a file overwritten, and a clear reason when it cannot.
#include "printing/ewrite32_pdffile.h"

#include "common/Ansi.h"
#include "shell/ekonfig32.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

using namespace printing;
namespace fs = std::filesystem;

namespace {

const etider::DateTime kWhen{2026, 3, 5, 4, 9, 8, 7};

class PdfFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "bfn-pdffile-XXXXXX").string();
    folder = ::mkdtemp(pattern.data());
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string Create(const std::string& title) {
    reason.clear();
    return CreatePdfFile(folder, title, kWhen, reason);
  }
  std::string folder, reason;
};

TEST_F(PdfFile, TheNameIsTheTitleAndTheTimeWithWhatAFileNameCannotHoldReplaced) {
  EXPECT_EQ(PdfFileName("BFNOLKW64:summagrupper", kWhen), "BFNOLKW64_summagrupper 2026-03-05 09.08.07.pdf");
  EXPECT_EQ(PdfFileName("a/b\\c*?\"<>|\x01\x7f" "d", kWhen), "a_b_c________d 2026-03-05 09.08.07.pdf");
  EXPECT_EQ(PdfFileName("", kWhen), "rapport 2026-03-05 09.08.07.pdf");
  EXPECT_EQ(PdfFileName(A("Årsbokslut"), kWhen), A("Årsbokslut 2026-03-05 09.08.07.pdf"));
}

TEST_F(PdfFile, AJobNeverOverwritesAFileButTakesTheNextFreeName) {
  const std::string name = "BFNOLKW64_summagrupper 2026-03-05 09.08.07";
  EXPECT_EQ(Create("BFNOLKW64:summagrupper"), folder + "/" + name + ".pdf");
  EXPECT_TRUE(fs::exists(folder + "/" + name + ".pdf"));
  std::ofstream(folder + "/" + name + " (2).pdf") << "kept";
  EXPECT_EQ(Create("BFNOLKW64:summagrupper"), folder + "/" + name + " (3).pdf");
  EXPECT_EQ(Create("BFNOLKW64:summagrupper"), folder + "/" + name + " (4).pdf");
  std::ifstream kept(folder + "/" + name + " (2).pdf");
  std::string text;
  kept >> text;
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(fs::file_size(folder + "/" + name + ".pdf"), 0u);  // made, waiting for the printer
}

TEST_F(PdfFile, ASwedishTitleIsAUtf8NameOnDiskAndTheFolderMayEndInASeparator) {
  const std::string path = CreatePdfFile(folder + "\\", A("Årsbok"), kWhen, reason);
  EXPECT_EQ(path, folder + "\\" + A("Årsbok 2026-03-05 09.08.07.pdf"));
  EXPECT_TRUE(fs::exists(folder + "/Årsbok 2026-03-05 09.08.07.pdf"));
}

TEST_F(PdfFile, AMissingOrUnwritableFolderGivesNoFileAndSaysWhy) {
  EXPECT_EQ(CreatePdfFile(folder + "/saknas", "t", kWhen, reason), "");
  EXPECT_EQ(reason, A("PDF-fil: mappen finns inte: ") + folder + "/saknas");
  if (::geteuid() != 0) {  // root writes anyway
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(Create("t"), "");
    EXPECT_EQ(reason.rfind(A("PDF-fil: kan ej skapa ") + folder + "/t 2026-03-05 09.08.07.pdf: ", 0), 0u) << reason;
    fs::permissions(folder, fs::perms::owner_all);
  }
}

TEST_F(PdfFile, TheFolderIsTheExchangeDirectoryElseTheDataDirectory) {
  const glodefs::TKonfigRec saved = ekonfig::Konfig;
  ekonfig::Konfig.SetDataDir("/data");
  ekonfig::Konfig.SetExchangeDir("");
  EXPECT_EQ(PdfFileFolder(), "/data");
  ekonfig::Konfig.SetExchangeDir("/utbyte");
  EXPECT_EQ(PdfFileFolder(), "/utbyte");
  ekonfig::Konfig = saved;
}

}  // namespace
