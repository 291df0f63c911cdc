// The window program as users start and stop it: the second start is refused while the
// first runs, a first run killed outright leaves nothing that blocks the next, and a run
// asked to end by SIGTERM leaves through its normal exit. Each start runs offscreen with a
// home and runtime folder of its own and no terminal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ProgramRun.h"

namespace fs = std::filesystem;

namespace {

constexpr auto kPatience = std::chrono::seconds(30);

bool WaitFor(const std::function<bool()>& done) {
  const auto until = std::chrono::steady_clock::now() + kPatience;
  while (std::chrono::steady_clock::now() < until) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class SingleInstance : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/bfnolkw64_instanceXXXXXX";
    root_ = ::mkdtemp(pattern);
    fs::create_directories(root_ / "home");
    fs::create_directories(root_ / "runtime");
    fs::permissions(root_ / "runtime", fs::perms::owner_all);
  }
  void TearDown() override {
    for (pid_t pid : started_) {
      if (::waitpid(pid, nullptr, WNOHANG) == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
      }
    }
    fs::remove_all(root_);
  }

  // Starts the program with standard input from /dev/null and its output into a file of
  // the run's number.
  pid_t Start() {
    const int run = static_cast<int>(started_.size());
    const std::string out = Output(run).string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const char* path = std::getenv("PATH");
    std::vector<std::string> env = {"HOME=" + (root_ / "home").string(),
                                    "XDG_RUNTIME_DIR=" + (root_ / "runtime").string(),
                                    "PATH=" + std::string(path != nullptr ? path : "/usr/bin:/bin"),
                                    "QT_QPA_PLATFORM=offscreen", "BFNOLKW64_UNATTENDED=1"};
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = BFN_BIN_DIR "/bfnolkw64";
    char* argv[] = {program.data(), nullptr};
    pid_t pid = -1;
    const int error = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(error, 0) << program;
    started_.push_back(pid);
    return pid;
  }
  fs::path Output(int run) const { return root_ / ("run" + std::to_string(run) + ".out"); }

  // True when pid holds the flock of the program's lock file, as the kernel lists it; asking
  // this way never takes the lock itself, so it cannot make a start fail.
  bool HoldsLock(pid_t pid) const {
    struct stat info {};
    if (::stat((root_ / "runtime" / "bfnolkw64.lock").c_str(), &info) != 0) return false;
    std::ifstream locks("/proc/locks");
    std::string line;
    const std::string inode = ":" + std::to_string(info.st_ino) + " ";
    while (std::getline(locks, line)) {
      std::istringstream fields(line);
      std::string number, kind, mode, access, holder;
      fields >> number >> kind >> mode >> access >> holder;
      if (kind == "FLOCK" && access == "WRITE" && holder == std::to_string(pid) &&
          line.find(inode) != std::string::npos) {
        return true;
      }
    }
    return false;
  }
  // True while pid has file of that name open.
  static bool HasOpen(pid_t pid, const std::string& name) {
    std::error_code error;
    for (const fs::directory_entry& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
      if (fs::read_symlink(fd.path(), error).filename() == name) return true;
    }
    return false;
  }
  // bfnolk with the same home as the window program.
  ProgramRun BfnolkRun(const std::string& args) const {
    return RunProgram("env -u XDG_CONFIG_HOME -u XDG_DOCUMENTS_DIR HOME=" + (root_ / "home").string() +
                      " " BFN_BIN_DIR "/bfnolk " + args + " </dev/null");
  }
  int Bfnolk(const std::string& args) const { return BfnolkRun(args).status; }
  static bool Running(pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) == 0; }

  fs::path root_;
  std::vector<pid_t> started_;
};

}  // namespace

TEST_F(SingleInstance, SecondStartRefusedFirstRunsOnAndAKilledRunBlocksNothing) {
  const pid_t first = Start();
  ASSERT_TRUE(WaitFor([&] { return HoldsLock(first); })) << ReadFile(Output(0));

  const pid_t second = Start();
  int status = -1;
  ASSERT_TRUE(WaitFor([&] { return ::waitpid(second, &status, WNOHANG) == second; })) << "the refusal blocked";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(ReadFile(Output(1)).find("bokföringsnolk körs redan"), std::string::npos) << ReadFile(Output(1));
  EXPECT_TRUE(Running(first));
  EXPECT_TRUE(HoldsLock(first));

  ASSERT_EQ(::kill(first, SIGKILL), 0);
  ASSERT_EQ(::waitpid(first, nullptr, 0), first);
  ASSERT_TRUE(fs::exists(root_ / "runtime" / "bfnolkw64.lock"));  // left behind by the killed run

  const pid_t third = Start();
  ASSERT_TRUE(WaitFor([&] { return HoldsLock(third); })) << ReadFile(Output(2));
  EXPECT_TRUE(Running(third));
  EXPECT_EQ(ReadFile(Output(2)).find("körs redan"), std::string::npos);
}

TEST_F(SingleInstance, SigtermClosesTheBooksAndWritesTheSettingsAsTheNormalExitDoes) {
  ASSERT_EQ(Bfnolk("init --yes"), 0);
  ASSERT_EQ(Bfnolk("new --name Hem --from 2026-01-01 --to 2026-12-31"), 0);
  const fs::path settings = root_ / "home" / ".config" / "BFNOLKW64" / "BFNOLKW64.P64";
  ASSERT_TRUE(fs::exists(settings));

  const pid_t run = Start();
  ASSERT_TRUE(WaitFor([&] { return HasOpen(run, "Konto01.DAT"); })) << ReadFile(Output(0));
  const auto started = fs::last_write_time(settings);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a later write shows a later time
  ASSERT_EQ(::kill(run, SIGTERM), 0);
  int status = -1;
  ASSERT_TRUE(WaitFor([&] { return ::waitpid(run, &status, WNOHANG) == run; })) << "SIGTERM did not end it";
  ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_GT(fs::last_write_time(settings), started);
  EXPECT_EQ(Bfnolk("verify"), 0);
  EXPECT_FALSE(fs::exists(root_ / "home" / "Documents" / "BFNOLKW64" / "data" / "Konto01.SAV"));
}

TEST_F(SingleInstance, BfnolkSaysTheBooksAreOpenInTheWindowProgram) {
  ASSERT_EQ(Bfnolk("init --yes"), 0);
  ASSERT_EQ(Bfnolk("new --name Hem --from 2026-01-01 --to 2026-12-31"), 0);
  const pid_t run = Start();
  ASSERT_TRUE(WaitFor([&] { return HasOpen(run, "Konto01.DAT"); })) << ReadFile(Output(0));
  // Waited for a while, then named; a new list is not made over the one in use.
  for (const char* command : {"list", "verify", "init --yes"}) {
    const ProgramRun refused = BfnolkRun(command);
    EXPECT_EQ(refused.status, 1) << command << "\n" << refused.out;
    EXPECT_NE(refused.out.find("Bokföringen är öppen i ett annat program!"), std::string::npos)
        << command << "\n" << refused.out;
  }
  ASSERT_EQ(::kill(run, SIGTERM), 0);
  ASSERT_TRUE(WaitFor([&] { return ::waitpid(run, nullptr, WNOHANG) == run; })) << "SIGTERM did not end it";
  const ProgramRun list = BfnolkRun("list");
  EXPECT_EQ(list.status, 0) << list.out;
  EXPECT_NE(list.out.find("1  Hem"), std::string::npos) << list.out;
}
