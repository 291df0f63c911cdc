#include "common/Ansi.h"
#include "printing/PrinterSelect.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace fs = std::filesystem;
using namespace ekonfig;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

int32_t I32(const Bytes& b, size_t at) {
  return static_cast<int32_t>(b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16) |
                              (static_cast<uint32_t>(b.at(at + 3)) << 24));
}
int16_t I16(const Bytes& b, size_t at) { return static_cast<int16_t>(b.at(at) | (b.at(at + 1) << 8)); }
std::string Z(const Bytes& b, size_t at) { return reinterpret_cast<const char*>(&b.at(at)); }
std::string P(const Bytes& b, size_t at) {
  return std::string(reinterpret_cast<const char*>(&b.at(at + 1)), b.at(at));
}

constexpr size_t kLabel = 60352, kLabelSize = 9776, kReport = 158112, kReportSize = 16016;

class KonfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ekonfig_testXXXXXX";
    root_ = mkdtemp(pattern);
    cwd_ = fs::current_path();
    fs::create_directories(root_ + "/data");
    SetKonfigPaths({root_ + "/config", root_ + "/data"});
    setenv("XDG_DOCUMENTS_DIR", Documents().c_str(), 1);
    previousPrinters_ = printing::InstallPrinterSystem(&printers);
    eerror::StatusMsg.clear();
  }
  void TearDown() override {
    printing::InstallPrinterSystem(previousPrinters_);
    SetKonfigPaths({});
    unsetenv("XDG_DOCUMENTS_DIR");
    fs::current_path(cwd_);
    fs::remove_all(root_);
  }
  std::string File() const { return KonfigFilePath(); }
  std::string Documents() const { return root_ + "/docs"; }
  // The data directory a run without a folder of its own takes.
  std::string DefaultData() const { return Documents() + "/BFNOLKW64/data"; }
  void StartAndStop() {
    ASSERT_EQ(InitKonfig(20, true, "bokföring"), KonfigStart::kStarted);
    ExitKonfig();
  }
  bool Shown(const std::string& start) const {
    for (const auto& box : boxes.boxes)
      if (box.text.rfind(start, 0) == 0) return true;
    return false;
  }

  const fs::path& cwd() const { return cwd_; }

  std::string root_;
  eerror::RecordingMessageBoxes boxes;
  eerror::ScopedMessageBoxes installed{boxes};
  printing::PrinterList printers{{printing::Printer{"CUPS", "Laser", "ipp", {}}}, "Laser"};

 private:
  fs::path cwd_;
  printing::PrinterSystem* previousPrinters_ = nullptr;
};

TEST_F(KonfigTest, RebuildWritesEveryDefaultAtItsOffset) {
  StartAndStop();
  EXPECT_EQ(File(), root_ + "/config/BFNOLKW64.P64");
  const Bytes b = ReadFile(File());
  ASSERT_EQ(b.size(), 318272u);
  EXPECT_TRUE(boxes.boxes.empty());

  EXPECT_EQ(I32(b, 4), 0);
  EXPECT_EQ(b[8], 1);
  EXPECT_EQ(b[9], 1);
  EXPECT_EQ(Z(b, 10), "c:\\windows\\command\\system32");
  EXPECT_EQ(Z(b, 2060), "*.*");
  EXPECT_EQ(P(b, 3085), "vimledator.DatorID.ejdef");
  EXPECT_EQ(Z(b, 5167), DefaultData());
  EXPECT_EQ(I16(b, 7218), 1);
  EXPECT_EQ(Z(b, 7344 + 20 * 1025), DefaultData());
  EXPECT_EQ(Z(b, 7344 + 19 * 1025), "");
  EXPECT_EQ(Z(b, 45517 + 1 * 1538), DefaultData());
  EXPECT_EQ(Z(b, 45517 + 8 * 1538), DefaultData());
  EXPECT_EQ(P(b, 59359), "Com3:96,n,8,1");
  EXPECT_EQ(P(b, 59359 + 41), "Laser 3x8");
  EXPECT_EQ(P(b, 59359 + 4 * 41), A("Löpande 2x12 I"));
  EXPECT_EQ(P(b, 59359 + 10 * 41), "Giroblanketter");
  EXPECT_EQ(P(b, 59769 + 41), A("arial.stående"));
  EXPECT_EQ(P(b, 59769 + 7 * 41), "Proprinter.A3.40,36,16");
  EXPECT_EQ(P(b, 59769 + 10 * 41), "glimmerbodata");
  EXPECT_EQ(I32(b, 60220), 1);
  EXPECT_EQ(I16(b, 60224), 1);

  // Label settings 1, 4 and 10.
  EXPECT_EQ(I32(b, kLabel + 0), -50);
  EXPECT_EQ(I16(b, kLabel + 4), 320);
  EXPECT_EQ(I16(b, kLabel + 8), 703);
  EXPECT_EQ(I32(b, kLabel + 12), -20);
  EXPECT_EQ(I16(b, kLabel + 16), 30);
  EXPECT_EQ(I16(b, kLabel + 18), 3);
  EXPECT_EQ(I16(b, kLabel + 20), 8);
  EXPECT_EQ(I32(b, kLabel + 24), 10);
  EXPECT_EQ(I32(b, kLabel + 28), 10);
  EXPECT_EQ(I32(b, kLabel + 9640), 1);
  EXPECT_EQ(b[kLabel + 9644], 1);
  EXPECT_EQ(Z(b, kLabel + 40 + 81), "Laser");
  EXPECT_EQ(b[kLabel + 40 + 544], 1);
  EXPECT_EQ(P(b, kLabel + 40 + 244 + 16), "Courier New");
  EXPECT_EQ(I32(b, kLabel + 40 + 244 + 12), 16);
  EXPECT_EQ(b[kLabel + 40 + 244 + 98], 1);
  EXPECT_EQ(I32(b, kLabel + 40 + 444 + 12), 10);
  EXPECT_EQ(I32(b, kLabel + 40 + 9028), 0);
  EXPECT_EQ(I32(b, kLabel + 40 + 9592), 1);
  const size_t fourth = kLabel + 3 * kLabelSize;
  EXPECT_EQ(b[fourth + 9644], 0);
  EXPECT_EQ(I16(b, fourth + 40 + 630), 40);
  EXPECT_EQ(P(b, fourth + 40 + 244 + 16), "Courier 5cpi");
  EXPECT_EQ(b[fourth + 40 + 244 + 97], 2);
  EXPECT_EQ(I32(b, fourth + 40 + 444 + 12), 15);
  EXPECT_EQ(b[fourth + 40 + 444 + 98], 0);  // the third font not bold
  const size_t giro = kLabel + 9 * kLabelSize;
  EXPECT_EQ(I16(b, giro + 40 + 628), 2);
  EXPECT_EQ(I16(b, giro + 40 + 630), 27);
  EXPECT_EQ(I32(b, giro + 40 + 344 + 12), 14);

  // Report settings 1 and 4.
  const std::string footer = P(b, kReport + 1027);
  EXPECT_EQ(footer.substr(0, 2), "##");
  EXPECT_EQ(footer.substr(footer.size() - 2), "##");
  EXPECT_EQ(footer.find('@'), std::string::npos);
  EXPECT_EQ(footer.find("www"), std::string::npos);
  EXPECT_EQ(I32(b, kReport + 1096 + 9028), 500);
  EXPECT_EQ(I32(b, kReport + 1096 + 9032), 500);
  EXPECT_EQ(I32(b, kReport + 1096 + 9036), 100);
  EXPECT_EQ(I32(b, kReport + 1096 + 9040), 0);
  EXPECT_EQ(I32(b, kReport + 1096 + 9592), 1);
  EXPECT_EQ(P(b, kReport + 1096 + 244 + 16), "Arial");
  EXPECT_EQ(I32(b, kReport + 1096 + 344 + 12), 11);
  EXPECT_EQ(I16(b, kReport + 1096 + 628), 1);
  EXPECT_EQ(b[kReport + 10697], 1);
  EXPECT_EQ(b[kReport + 10720 + 1025], 1);
  EXPECT_EQ(I32(b, kReport + 10720 + 1028), 6);
  EXPECT_EQ(b[kReport + 10720 + 1032 + 1025], 0);
  EXPECT_EQ(I32(b, kReport + 10720 + 1032 + 1028), 4);
  EXPECT_EQ(I32(b, kReport + 10720 + 4 * 1032 + 1028), 5);
  const size_t courier = kReport + 3 * kReportSize;
  EXPECT_EQ(I16(b, courier + 1096 + 628), 2);
  EXPECT_EQ(P(b, courier + 1096 + 344 + 16), "Courier New");
  EXPECT_EQ(I32(b, courier + 1096 + 344 + 12), 14);
}

TEST_F(KonfigTest, AfterRebuildTheCurrentSettingsAreTheFirst) {
  ASSERT_EQ(InitKonfig(20, true, ""), KonfigStart::kStarted);
  EXPECT_EQ(Konfig.LabelName(Konfig.CurrentLabelSetting()), "Laser 3x8");
  EXPECT_EQ(Konfig.ReportName(Konfig.CurrentReportSetting()), A("arial.stående"));
  EXPECT_EQ(Konfig.FormScale(), 1);
  EXPECT_EQ(CurEtikett.GetGeometry().perRow, 3);
  EXPECT_EQ(CurRapport.Printer().Font(printing::FontSlot::Stor).size, 14);
  EXPECT_EQ(Konfig.DataDir(), root_ + "/data");
  EXPECT_EQ(fs::current_path(), fs::path(root_ + "/data"));
  ExitKonfig();
}

TEST_F(KonfigTest, WrongLengthIsAVersionConflictAndRebuilt) {
  StartAndStop();
  for (int delta : {-1, +1}) {
    Bytes b = ReadFile(File());
    b.resize(318272 + delta, 0);
    WriteFile(File(), b);
    boxes.boxes.clear();
    StartAndStop();
    ASSERT_EQ(boxes.boxes.size(), 1u) << delta;
    EXPECT_EQ(boxes.boxes[0].kind, eerror::BoxKind::Warning);
    EXPECT_EQ(boxes.boxes[0].text, "Versionskonflikt av konfigurationsfilen \"" + File() + A("\" Nollställer. "));
    EXPECT_EQ(ReadFile(File()).size(), 318272u);
  }
}

TEST_F(KonfigTest, ReadAndWrittenBackUnchangedIsIdentical) {
  StartAndStop();
  Bytes b = ReadFile(File());
  // Gaps and fields nobody reads, with content of their own.
  std::mt19937 random(7);
  for (size_t at : {0u, 1u, 2u, 3u, 1035u, 39119u, 45600u, 60230u, 60352u + 33u, 158112u + 15900u})
    b[at] = static_cast<unsigned char>(random() | 1);
  b[8] = 3;
  b[9] = 5;
  WriteFile(File(), b);
  StartAndStop();
  EXPECT_TRUE(ReadFile(File()) == b);
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(KonfigTest, RandomContentOfTheRightLengthIsReadWithinBounds) {
  std::mt19937 random(2024);
  for (int round = 0; round < 3; ++round) {
    Bytes b(318272);
    for (auto& byte : b) byte = static_cast<unsigned char>(random());
    fs::create_directories(root_ + "/config");
    WriteFile(File(), b);
    boxes.boxes.clear();
    ASSERT_EQ(InitKonfig(20, true, ""), KonfigStart::kStarted);
    EXPECT_FALSE(Shown("Versionskonflikt"));
    EXPECT_GE(Konfig.CurrentLabelSetting(), 1);
    EXPECT_LE(Konfig.CurrentLabelSetting(), 10);
    EXPECT_LE(Konfig.ComputerName().size(), 31u);
    EXPECT_LE(Konfig.LabelName(7).size(), 40u);
    EXPECT_LE(CurRapport.Footer().size(), 64u);
    EXPECT_LE(CurRapport.GetPicture(3).path.size(), 1024u);
    EXPECT_LE(CurRapport.Printer().DeviceName().size(), 80u);
    EXPECT_LE(CurRapport.Printer().GetDeviceMode().privatePart.size(), 8193u);
    EXPECT_FALSE(KonfigSummary().empty());
    ExitKonfig();
    EXPECT_EQ(ReadFile(File()).size(), 318272u);
  }
}

TEST_F(KonfigTest, StoredPrinterThatIsGoneKeepsTheFile) {
  StartAndStop();
  printing::PrinterList other{{printing::Printer{"CUPS", "Ny", "usb", {}}}, "Ny"};
  printing::PrinterSystem* before = printing::InstallPrinterSystem(&other);
  ASSERT_EQ(InitKonfig(20, true, ""), KonfigStart::kStarted);
  EXPECT_EQ(eerror::StatusMsg, A("Kan ej välja skrivaren \"Laser\", standardskrivaren används"));
  EXPECT_EQ(other.Selected().device, "Ny");
  EXPECT_EQ(CurRapport.Printer().DeviceName(), "Laser");  // the setting is the user's
  ExitKonfig();
  printing::InstallPrinterSystem(before);
  EXPECT_FALSE(Shown("Versionskonflikt"));
  const Bytes b = ReadFile(File());
  EXPECT_EQ(Z(b, kReport + 1096 + 81), "Laser");
}

TEST_F(KonfigTest, DataDirectoryThatCannotBeEnteredKeepsTheCurrentOne) {
  SetKonfigPaths({root_ + "/config", ""});
  StartAndStop();
  EXPECT_TRUE(fs::is_directory(root_ + "/docs/BFNOLKW64/text"));
  Bytes b = ReadFile(File());
  EXPECT_EQ(Z(b, 7344 + 20 * 1025), DefaultData());
  const std::string missing = root_ + "/borta";
  std::copy(missing.begin(), missing.end() + 1, b.begin() + 7344 + 20 * 1025);
  WriteFile(File(), b);
  fs::current_path(root_);
  ASSERT_EQ(InitKonfig(20, true, ""), KonfigStart::kStarted);
  EXPECT_EQ(eerror::StatusMsg, "Kan ej byta till biblioteket \"" + missing + A("\" Filvägen ej funnen"));
  EXPECT_EQ(Konfig.DataDir(), root_);
  EXPECT_EQ(Konfig.ProgDataDir(20), root_);
  ExitKonfig();
}

TEST_F(KonfigTest, FolderThatCannotBeMadeLeavesDefaultsInMemory) {
  fs::create_directories(root_);
  WriteFile(root_ + "/fil", {1});
  SetKonfigPaths({root_ + "/fil/config", root_ + "/data"});
  ASSERT_EQ(InitKonfig(20, true, ""), KonfigStart::kStarted);
  EXPECT_TRUE(Shown("kan inte skapa path \"" + root_ + "/fil/config\""));
  EXPECT_EQ(Konfig.LabelName(1), "Laser 3x8");
  ExitKonfig();
}

TEST_F(KonfigTest, ResetAsksFirst) {
  ASSERT_EQ(InitKonfig(20, true, ""), KonfigStart::kStarted);
  Konfig.SetComputerName("min dator");
  boxes.answers = {eerror::kNo};
  EXPECT_FALSE(ResetKonfig(true));
  EXPECT_EQ(Konfig.ComputerName(), "min dator");
  EXPECT_EQ(boxes.boxes.at(0).kind, eerror::BoxKind::Question);
  boxes.answers = {eerror::kYes};
  EXPECT_TRUE(ResetKonfig(true));
  EXPECT_EQ(Konfig.ComputerName(), "vimledator.DatorID.ejdef");
  EXPECT_TRUE(ResetKonfig(false));
  ExitKonfig();
  EXPECT_EQ(ReadFile(File()).size(), 318272u);
}

TEST_F(KonfigTest, TheRunsOwnDataDirectoryIsNeitherStoredNorMade) {
  SetKonfigPaths({root_ + "/config", root_ + "/annan"});
  ASSERT_EQ(InitKonfig(20, true, ""), KonfigStart::kStarted);  // the first run
  EXPECT_EQ(Konfig.DataDir(), root_ + "/annan");
  EXPECT_EQ(fs::current_path(), cwd());  // not there: nothing else taken for it
  ExitKonfig();
  EXPECT_FALSE(fs::exists(root_ + "/annan"));
  EXPECT_FALSE(fs::exists(Documents()));  // made by the run that uses it
  Bytes b = ReadFile(File());
  EXPECT_EQ(Z(b, 5167), DefaultData());
  EXPECT_EQ(Z(b, 7344 + 20 * 1025), DefaultData());
  SetKonfigPaths({root_ + "/config", root_ + "/data"});
  StartAndStop();
  EXPECT_EQ(ReadFile(File()), b);
}

TEST_F(KonfigTest, OnlyARunThatChangedSomethingWritesAndThenAWholeNewFile) {
  StartAndStop();
  const auto written = fs::last_write_time(File());
  const auto inode = fs::status(File()).permissions();
  StartAndStop();
  EXPECT_EQ(fs::last_write_time(File()), written);
  // Another run changes the file meanwhile; a run that changed nothing leaves that be.
  ASSERT_EQ(InitKonfig(20, true, ""), KonfigStart::kStarted);
  Bytes b = ReadFile(File());
  b[4] = 7;
  WriteFile(File(), b);
  ExitKonfig();
  EXPECT_EQ(ReadFile(File())[4], 7);
  // A change is written as a new file in the old one's place, with nothing left beside it.
  struct stat before {};
  ASSERT_EQ(::stat(File().c_str(), &before), 0);
  ASSERT_EQ(InitKonfig(20, true, ""), KonfigStart::kStarted);
  Konfig.SetComputerName("min dator");
  ExitKonfig();
  struct stat after {};
  ASSERT_EQ(::stat(File().c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino);
  EXPECT_EQ(fs::status(File()).permissions(), inode);
  EXPECT_EQ(P(ReadFile(File()), 3085), "min dator");
  EXPECT_EQ(ReadFile(File())[4], 7);
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ + "/config"), fs::directory_iterator()), 1);
}

TEST_F(KonfigTest, FileFailuresAreSilent) {
  KonfigFile file;
  EXPECT_FALSE(file.OpenRead());
  CurEtikett.bytes.fill(0);
  file.ReadLabel(2);  // defaults of setting 2
  EXPECT_EQ(CurEtikett.GetGeometry().perRow, 6);
  file.WriteLabel(2);
  file.ReadLabel(0);
  file.WriteReport(11);
  EXPECT_FALSE(fs::exists(File()));
}

}  // namespace

namespace {

TEST_F(KonfigTest, LeavingALabelTabStoresItBeforeTheNextIsRead) {
  ASSERT_EQ(InitKonfig(20, true, ""), KonfigStart::kStarted);
  LoadLabelSetting(3);
  EXPECT_EQ(Konfig.CurrentLabelSetting(), 3);
  EXPECT_EQ(CurEtikett.GetGeometry().perRow, 2);
  CurEtikett.SetCopies(7);
  SaveLabelSetting(3);
  LoadLabelSetting(5);
  EXPECT_EQ(CurEtikett.Copies(), 1);
  LoadLabelSetting(3);
  EXPECT_EQ(CurEtikett.Copies(), 7);

  LoadReportSetting(4);
  CurRapport.SetFooter("## egen ##");
  SaveReportSetting(4);
  LoadReportSetting(2);
  LoadReportSetting(4);
  EXPECT_EQ(CurRapport.Footer(), "## egen ##");
  ExitKonfig();
  const Bytes b = ReadFile(File());
  EXPECT_EQ(b[8], 3);
  EXPECT_EQ(b[9], 4);
  EXPECT_EQ(I32(b, kLabel + 2 * kLabelSize + 9640), 7);
}

}  // namespace

namespace {

TEST_F(KonfigTest, NotInUseTouchesNoFile) {
  ASSERT_EQ(InitKonfig(20, false, ""), KonfigStart::kStarted);
  EXPECT_EQ(Konfig.ReportName(1), A("arial.stående"));
  EXPECT_EQ(CurRapport.Printer().Font(printing::FontSlot::Liten).size, 8);
  ExitKonfig();
  EXPECT_FALSE(fs::exists(File()));
}

}  // namespace
