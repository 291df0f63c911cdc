// Several bfnolk commands on one bookkeeping at the same time, as scripts start them: the
// second waits for the first instead of failing, and the settings file they share keeps the
// selected bookkeeping however their ends fall.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <thread>

#include "BfnolkFolder.h"

namespace fs = std::filesystem;

namespace {

class BfnolkSharing : public BfnolkFolder {
 protected:
  void SetUp() override {
    BfnolkFolder::SetUp();
    for (const char* command : {"init --yes", "new --name Hem --from 2026-01-01 --to 2026-12-31",
                                "account add 1930 --name Bank", "account add 3010 --name Lön"}) {
      const ProgramRun run = RunProgram(Bfnolk(command));
      ASSERT_EQ(run.status, 0) << command << "\n" << run.out;
    }
  }
  std::string Bfnolk(const std::string& args) const { return Command(args) + " </dev/null"; }
  std::string Settings() const {
    std::ifstream in(root_ + "/konfig/BFNOLKW64.P64", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(BfnolkSharing, ACommandWaitsWhileAnotherHasTheBooksOpen) {
  // Another program holds the list, as an open of the engine does.
  const int held = ::open((root_ + "/data/BfNolk.DAT").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
  auto run = std::async(std::launch::async, [&] {
    return RunProgram(Bfnolk("ver add --text lön --date 2026-03-01 1930:+:10.00 3010:-:10.00"));
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ::close(held);  // the other program is done
  const ProgramRun added = run.get();
  EXPECT_EQ(added.status, 0) << added.out;
  EXPECT_NE(added.out.find("verifikation 1 sparad"), std::string::npos) << added.out;
}

TEST_F(BfnolkSharing, ManyCommandsTwoAtATimeAllGoThroughAndKeepTheSelection) {
  const std::string settings = Settings();
  constexpr int kCommands = 40;
  const ProgramRun all = RunProgram("seq " + std::to_string(kCommands) + " | xargs -P2 -I{} " +
                                    Command("ver add --text v{} --date 2026-03-01 1930:+:1.00 3010:-:1.00"));
  EXPECT_EQ(all.status, 0) << all.out;
  const ProgramRun list = RunProgram(Bfnolk("list"));
  EXPECT_NE(list.out.find("  " + std::to_string(kCommands) + "  vald"), std::string::npos) << list.out;
  const ProgramRun verify = RunProgram(Bfnolk("verify"));
  EXPECT_EQ(verify.status, 0) << verify.out;
  EXPECT_TRUE(Settings() == settings) << "the settings file changed";
}

}  // namespace
