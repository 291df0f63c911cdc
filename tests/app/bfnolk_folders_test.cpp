// The data directory as bfnolk finds it: one the user may only read, one that is not there,
// a file instead of a folder; and what a command that only reads leaves behind (nothing).
//
// A folder the user may only read is made so for real: as root, whom no permission stops,
// the reading runs are made as the user "nobody" through setpriv (the files stay root's);
// as anyone else the folder and its files lose their write bits. Where root cannot become
// another user the tests that need it are skipped.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>

#include "BfnolkFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every file of a folder with a digest of its contents and the time it was last written.
std::map<std::string, std::pair<size_t, long long>> Snapshot(const fs::path& folder) {
  std::map<std::string, std::pair<size_t, long long>> files;
  for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
    struct stat info {};
    ::stat(e.path().c_str(), &info);
    files[e.path().filename().string()] = {std::hash<std::string>{}(Bytes(e.path())),
                                           info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
  }
  return files;
}

class BfnolkFolders : public BfnolkFolder {
 protected:
  void SetUp() override {
    BfnolkFolder::SetUp();
    fs::permissions(root_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
  }
  void TearDown() override {
    Unlock();
    BfnolkFolder::TearDown();
  }

  // As the user who may only read the data directory (see Lock).
  ProgramRun Reader(const std::string& args) const {
    const std::string as = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    return RunProgram(as + "'" BFN_BIN_DIR "/bfnolk' " + Options() + args + " </dev/null");
  }
  static bool Has(const ProgramRun& run, const std::string& text) { return run.out.find(text) != std::string::npos; }

  // A bookkeeping with two accounts and one verification.
  void MakeBooks() {
    for (const char* command : {"init --yes", "new --name Hem --from 2026-01-01 --to 2026-12-31",
                                "account add 1930 --name Bank --opening 100.00", "account add 3010 --name Lön",
                                "ver add --text lön --date 2026-03-01 1930:+:25.00 3010:-:25.00"}) {
      const ProgramRun run = Run(command);
      ASSERT_EQ(run.status, 0) << command << "\n" << run.out;
    }
  }

  // Makes the data directory one the reader may only read; false when that cannot be
  // arranged here. The settings stay the reader's own. With filesWritable only the folder
  // is closed to writing, its files are not.
  bool Lock(bool filesWritable = false) {
    const fs::path data = fs::path(root_) / "data";
    if (::geteuid() == 0) {
      if (RunProgram("setpriv --reuid=65534 --regid=65534 --clear-groups true").status != 0) return false;
      for (const fs::directory_entry& e : fs::recursive_directory_iterator(root_ + "/konfig"))
        ::chown(e.path().c_str(), kNobody, kNobody);
      ::chown((root_ + "/konfig").c_str(), kNobody, kNobody);
      if (filesWritable)
        for (const fs::directory_entry& e : fs::directory_iterator(data)) ::chown(e.path().c_str(), kNobody, kNobody);
    } else {
      if (!filesWritable)
        for (const fs::directory_entry& e : fs::directory_iterator(data))
          fs::permissions(e.path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                          fs::perm_options::remove);
      fs::permissions(data, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
    }
    locked_ = true;
    return true;
  }
  // Whoever made the books may write them again.
  void Unlock() {
    if (!locked_) return;
    const fs::path data = fs::path(root_) / "data";
    std::error_code error;
    fs::permissions(data, fs::perms::owner_write, fs::perm_options::add, error);
    for (const fs::directory_entry& e : fs::directory_iterator(data, error))
      fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add, error);
    locked_ = false;
  }

  bool locked_ = false;
};

TEST_F(BfnolkFolders, InAFolderThatCanOnlyBeReadReadingWorksAndWritingSaysSo) {
  MakeBooks();
  const auto before = Snapshot(fs::path(root_) / "data");
  if (!Lock()) GTEST_SKIP() << "no other user to read as";

  const ProgramRun list = Reader("list");
  EXPECT_EQ(list.status, 0) << list.out;
  EXPECT_TRUE(Has(list, "1  Hem")) << list.out;
  const ProgramRun verify = Reader("verify");
  EXPECT_EQ(verify.status, 0) << verify.out;
  EXPECT_TRUE(Has(verify, "bokföringen stämmer")) << verify.out;
  const ProgramRun vers = Reader("ver list");
  EXPECT_EQ(vers.status, 0) << vers.out;
  EXPECT_TRUE(Has(vers, "lön")) << vers.out;
  const ProgramRun ver = Reader("ver show 1");
  EXPECT_EQ(ver.status, 0) << ver.out;
  EXPECT_TRUE(Has(ver, "3010 -")) << ver.out;
  const ProgramRun accounts = Reader("account list");
  EXPECT_EQ(accounts.status, 0) << accounts.out;
  EXPECT_TRUE(Has(accounts, "Bank")) << accounts.out;
  EXPECT_EQ(Reader("account show 1930").status, 0);
  EXPECT_EQ(Reader("select 1").status, 0);

  const std::string cannot = "Kan ej skriva i datakatalogen \"" + root_ + "/data\"";
  for (const char* writes : {"ver add --text x 1930:+:1.00 3010:-:1.00", "account add 1510 --name Kund",
                             "new --name Ny --from 2026-01-01 --to 2026-12-31", "copy", "init --yes", "rebuild"}) {
    const ProgramRun run = Reader(writes);
    EXPECT_EQ(run.status, 1) << writes << "\n" << run.out;
    EXPECT_TRUE(Has(run, cannot)) << writes << "\n" << run.out;
  }
  EXPECT_EQ(Snapshot(fs::path(root_) / "data"), before);
}

TEST_F(BfnolkFolders, AnUnfinishedChangeIsPutRightByWhoeverMayWrite) {
  MakeBooks();
  // Room the journal was given for a change that never got written: a power cut can leave it.
  std::ofstream(root_ + "/data/Konto01.DIA", std::ios::binary | std::ios::app).write("\0\0", 2);
  if (!Lock()) GTEST_SKIP() << "no other user to read as";
  const ProgramRun refused = Reader("verify");
  EXPECT_EQ(refused.status, 1) << refused.out;
  EXPECT_TRUE(Has(refused, "En avbruten ändring i datafilerna måste återställas, det kräver skrivrätt i datakatalogen"))
      << refused.out;
  EXPECT_EQ(fs::file_size(root_ + "/data/Konto01.DIA"), 3u);

  Unlock();
  const ProgramRun repaired = Run("verify");  // reads too, but may write: the change is put right
  EXPECT_EQ(repaired.status, 0) << repaired.out;
  EXPECT_EQ(fs::file_size(root_ + "/data/Konto01.DIA"), 1u);
  Lock();
  EXPECT_EQ(Reader("verify").status, 0);
}

TEST_F(BfnolkFolders, AFailedCopyLeavesTheListExactlyAsItWas) {
  MakeBooks();
  const std::string list = Bytes(root_ + "/data/BfNolk.DAT");
  if (!Lock(true)) GTEST_SKIP() << "no other user to read as";
  const ProgramRun copy = Reader("copy");
  EXPECT_EQ(copy.status, 1) << copy.out;
  EXPECT_TRUE(Has(copy, "Error vid kopiering 013 (Permission denied)")) << copy.out;
  EXPECT_TRUE(Bytes(root_ + "/data/BfNolk.DAT") == list) << "the list changed";
  const ProgramRun after = Reader("list");
  EXPECT_TRUE(Has(after, "1  Hem")) << after.out;
  EXPECT_TRUE(Has(after, "0  vakant")) << after.out;
  EXPECT_FALSE(Has(after, "raderad")) << after.out;
}

TEST_F(BfnolkFolders, CommandsThatOnlyReadWriteNothing) {
  MakeBooks();
  const auto data = Snapshot(fs::path(root_) / "data");
  const auto settings = Snapshot(fs::path(root_) / "konfig");
  for (const char* reads : {"list", "list --json", "verify", "ver list", "ver show 1", "account list",
                            "account show 1930 --json", "select 1", "config show"}) {
    const ProgramRun run = Run(reads);
    EXPECT_EQ(run.status, 0) << reads << "\n" << run.out;
    EXPECT_EQ(Snapshot(fs::path(root_) / "data"), data) << reads;
    EXPECT_EQ(Snapshot(fs::path(root_) / "konfig"), settings) << reads;
  }
  // One that writes the books changes no setting, and so leaves the settings file alone too.
  ASSERT_EQ(Run("ver add --text ränta --date 2026-03-02 1930:+:1.00 3010:-:1.00").status, 0);
  EXPECT_EQ(Snapshot(fs::path(root_) / "konfig"), settings);
}

TEST_F(BfnolkFolders, TheRunsDataDirectoryIsAFolderMadeOnlyByInitAndNeverStored) {
  std::ofstream(root_ + "/fil") << "ingen katalog";
  const ProgramRun file = Run("init --yes", "fil");
  EXPECT_EQ(file.status, 2) << file.out;
  EXPECT_TRUE(Has(file, "--data-dir " + root_ + "/fil är ingen katalog")) << file.out;
  EXPECT_FALSE(fs::exists(root_ + "/BfNolk.DAT"));

  const ProgramRun missing = Run("list", "ny");
  EXPECT_EQ(missing.status, 1) << missing.out;
  EXPECT_TRUE(Has(missing, "Datafiler saknas/ ej i aktuellt bibliotek")) << missing.out;
  EXPECT_FALSE(fs::exists(root_ + "/ny"));
  EXPECT_EQ(Run("verify", "ny").status, 1);
  EXPECT_FALSE(fs::exists(root_ + "/ny"));

  const ProgramRun made = Run("init", "ny");
  EXPECT_EQ(made.status, 0) << made.out;
  EXPECT_TRUE(fs::exists(root_ + "/ny/BfNolk.DAT"));

  // The first run stored the default data directory, not the one it was given.
  const std::string settings = Bytes(root_ + "/konfig/BFNOLKW64.P64");
  ASSERT_EQ(settings.size(), 318272u);
  for (const size_t at : {5167u, 7344u + 20u * 1025u}) {
    const std::string stored = settings.c_str() + at;
    EXPECT_EQ(stored.rfind(root_, 0), std::string::npos) << stored;
    EXPECT_EQ(stored.substr(stored.size() - 15), "/BFNOLKW64/data") << stored;
  }
}

}  // namespace
