// A folder of its own for one test of bfnolk as a process: the settings in ROOT/konfig and
// the data in ROOT/data (or another folder of ROOT), all removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "ProgramRun.h"

class BfnolkFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/bfnolkXXXXXX";
    root_ = ::mkdtemp(pattern);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  // The options that put the settings and the data into the test's folder.
  std::string Options(const std::string& data = "data") const {
    return "--config-dir '" + root_ + "/konfig' --data-dir '" + root_ + "/" + data + "' ";
  }
  // The command line of one run, without its input.
  std::string Command(const std::string& args, const std::string& data = "data") const {
    return "'" BFN_BIN_DIR "/bfnolk' " + Options(data) + args;
  }
  // One run. Standard input is empty and no terminal, so a question without --yes is
  // answered no.
  ProgramRun Run(const std::string& args, const std::string& data = "data") const {
    return RunProgram(Command(args, data) + " </dev/null");
  }
  void Ok(const std::string& args) const {
    const ProgramRun run = Run(args);
    ASSERT_EQ(run.status, 0) << args << "\n" << run.out;
  }
  // One run without input or output, ended by SIGKILL after delay as a power cut would end it.
  void KilledAfter(const std::string& args, std::chrono::nanoseconds delay) const {
    const std::string command = "exec " + Command(args) + " >/dev/null 2>&1 </dev/null";
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    std::this_thread::sleep_for(delay);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
  }
  // bfnolk verify finds nothing.
  void Verified(const std::string& when) const {
    const ProgramRun run = Run("verify");
    EXPECT_EQ(run.status, 0) << when << "\n" << run.out;
  }
  static std::string Bytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string root_;
};
