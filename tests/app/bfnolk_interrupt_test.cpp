// bfnolk interrupted from outside: a reader that goes away, and SIGINT, SIGTERM or SIGHUP at
// moments spread over the whole life of every command that writes. Each run must leave the
// command wholly done or not at all, with bfnolk verify clean, and "sparad" printed only for
// a verification that is in the books.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BfnolkFolder.h"

namespace fs = std::filesystem;

namespace {

class BfnolkInterrupt : public BfnolkFolder {
 protected:
  void SetUp() override {
    BfnolkFolder::SetUp();
    Ok("init");
    Ok("new --name Föreningen --from 2026-01-01 --to 2026-12-31");
    Ok("account add 1930 --name Bank --sign + --opening 5000.00");
    Ok("account add 3010 --name Avgifter --sign -");
    Ok("account add 2010 --name Kapital --sign - --opening 5000.00");
  }
  std::vector<std::string> Argv(const std::vector<std::string>& args) const {
    std::vector<std::string> argv = {BFN_BIN_DIR "/bfnolk", "--config-dir", root_ + "/konfig", "--data-dir",
                                     root_ + "/data"};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
  }

  struct Ended {
    int signal = 0;  // the signal that ended it, 0 when it exited
    std::string out;
  };
  // Starts bfnolk with args, sends signal after delay, and waits for it.
  Ended Interrupted(const std::vector<std::string>& args, int signal, std::chrono::microseconds delay) const {
    const std::string outName = root_ + "/out";
    const std::vector<std::string> argv = Argv(args);
    fs::remove(outName);  // a child ended before it opened its output says nothing
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int out = ::open(outName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int in = ::open("/dev/null", O_RDONLY);
      ::dup2(out, 1);
      ::dup2(out, 2);
      ::dup2(in, 0);
      std::vector<char*> raw;
      for (const std::string& a : argv) raw.push_back(const_cast<char*>(a.c_str()));
      raw.push_back(nullptr);
      ::execv(raw[0], raw.data());
      ::_exit(127);
    }
    std::this_thread::sleep_for(delay);
    ::kill(pid, signal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    Ended ended;
    ended.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    std::ifstream in(outName);
    std::stringstream text;
    text << in.rdbuf();
    ended.out = text.str();
    return ended;
  }

  // How long a command takes uninterrupted, for spreading the signals over its life.
  std::chrono::microseconds Duration(const std::vector<std::string>& args) const {
    const auto start = std::chrono::steady_clock::now();
    const Ended ended = Interrupted(args, 0, std::chrono::microseconds(0));
    EXPECT_EQ(ended.signal, 0) << ended.out;
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  }

  int VerificationCount() const {
    const ProgramRun list = Run("ver list");
    return static_cast<int>(std::count(list.out.begin(), list.out.end(), '\n'));
  }

};

TEST_F(BfnolkInterrupt, AVerificationSavedForAReaderThatWentAwayIsCounted) {
  const ProgramRun gone = RunProgram(Command("ver add --text a 1930:+:1 3010:-:1 2>&1 </dev/null | true"));
  EXPECT_EQ(gone.status, 0);
  const ProgramRun next = Run("ver add --text b 1930:+:2 3010:-:2");
  EXPECT_NE(next.out.find("verifikation 2 sparad"), std::string::npos) << next.out;
  Verified("after a reader went away");
  EXPECT_EQ(VerificationCount(), 2);
}

TEST_F(BfnolkInterrupt, ASignalNeverLeavesHalfACommand) {
  const std::vector<std::vector<std::string>> commands = {
      {"ver", "add", "--text", "avgift", "1930:+:10.25", "3010:-:10.00", "3010:-:0.25"},
      {"account", "change", "2010", "--opening", "4000.50"},
      {"change", "1", "--name", "Klubben", "--group", "1=1000..1999"},
      {"rebuild"},
      {"backup", root_ + "/kopia"},
      {"copy"},
      {"reset", "--yes"},
  };
  const int signals[] = {SIGINT, SIGTERM, SIGHUP};
  constexpr int kMoments = 8;
  int run = 0;
  for (const auto& command : commands) {
    const auto duration = Duration(command);
    Verified(command[0] + " uninterrupted");
    for (int moment = 0; moment <= kMoments; ++moment) {
      const int signal = signals[run++ % 3];
      const int before = command[0] == "ver" ? VerificationCount() : 0;
      const Ended ended = Interrupted(command, signal, duration * moment / kMoments);
      std::string when;
      for (const std::string& word : command) when += word + " ";
      when += ", signal " + std::to_string(signal) + " at " + std::to_string(moment) + "/" +
              std::to_string(kMoments) + ":\n" + ended.out;
      // Past its end the command has exited before the signal came.
      EXPECT_TRUE(ended.signal == signal || ended.signal == 0) << when;
      Verified(when);
      if (command[0] == "ver") {
        const bool saved = ended.out.find("sparad") != std::string::npos;
        EXPECT_EQ(VerificationCount(), before + (saved ? 1 : 0)) << when;
      }
    }
  }
}

TEST_F(BfnolkInterrupt, ASignalStopsASieImportBeforeItsTakeIn) {
  std::string sie = "#FLAGGA 0\r\n#FNAMN Klubben\r\n#RAR 0 20260101 20261231\r\n#KONTO 1930 Bank\r\n";
  for (int v = 1; v <= 3000; ++v)
    sie += "#VER \"\" " + std::to_string(v) + " 20260105 \"Avgift " + std::to_string(v) +
           "\"\r\n{\r\n#TRANS 1930 {} 1.25\r\n#TRANS 3010 {} -1.25\r\n}\r\n";
  std::ofstream(root_ + "/bok.se", std::ios::binary) << sie;
  const std::vector<std::string> import = {"import", "sie", root_ + "/bok.se", "--new"};
  const auto duration = Duration(import);
  int stopped = 0;
  // Early on it stops; near its end it may already be taking the books in, and goes through.
  for (const int eighth : {1, 2, 3, 7}) {
    const std::string before = Run("list").out;
    const Ended ended = Interrupted(import, SIGINT, duration * eighth / 8);
    const std::string when = "SIGINT at " + std::to_string(eighth) + "/8:\n" + ended.out;
    EXPECT_FALSE(fs::exists(root_ + "/data/sie.tmp")) << when;
    Verified(when);
    if (ended.out.find("SIE-import klar: 3000 verifikationer") != std::string::npos) {
      // Past its end it has exited before the signal came.
      EXPECT_TRUE(ended.signal == SIGINT || ended.signal == 0) << when;
      continue;
    }
    // Stopped, or ended by the signal before it began.
    EXPECT_EQ(ended.signal, SIGINT) << when;
    EXPECT_EQ(Run("list").out, before) << when;
    stopped += ended.out.find("SIE-importen avbröts, inget importerat") != std::string::npos;
  }
  EXPECT_GE(stopped, 1);
}

}  // namespace
