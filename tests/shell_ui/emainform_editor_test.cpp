#include "common/Ansi.h"
#include "shell/emainform_editor.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace emainform;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Programs(const std::vector<EditorCommand>& commands) {
  std::vector<std::string> programs;
  for (const EditorCommand& c : commands) programs.push_back(c.program);
  return programs;
}

class EditorFolder : public testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("bfn-editor-" + std::to_string(::getpid()));
    fs::create_directories(dir / "bin");
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Make(const std::string& name, const std::string& content, bool executable = true) {
    const fs::path file = dir / "bin" / name;
    std::ofstream(file) << content;
    ::chmod(file.c_str(), executable ? 0755 : 0644);
    return file.string();
  }
  std::string Path() const { return "/no/such/dir::" + (dir / "bin").string(); }

  fs::path dir;
};

}  // namespace

TEST(EditorCandidates, VisualThenGraphicalEditorThenTheList) {
  const auto candidates = EditorCandidates({"gvim -f", "kate", ""});
  ASSERT_GE(candidates.size(), 3u);
  EXPECT_EQ(candidates[0].program, "gvim");
  EXPECT_EQ(candidates[0].args, std::vector<std::string>{"-f"});
  EXPECT_EQ(candidates[1].program, "kate");
  EXPECT_EQ(candidates[2].program, "gedit");
  // Terminal editors have no terminal here: passed over, wherever they are named.
  EXPECT_EQ(Programs(EditorCandidates({"/usr/bin/vim", "nano", ""}))[0], "gedit");
  EXPECT_EQ(Programs(EditorCandidates({"emacs -nw", "emacs", ""}))[0], "emacs");
  EXPECT_EQ(EditorCandidates({"emacs -nw", "emacs", ""})[0].args.size(), 0u);
  EXPECT_EQ(Programs(EditorCandidates({"   ", "", ""}))[0], "gedit");
}

TEST(StartFailureMessage, ReasonsByMeaning) {
  EXPECT_EQ(StartFailureMessage(ENOMEM, "kate"), "winexecfel: The system is out of memory or resources. \"kate\"");
  EXPECT_EQ(StartFailureMessage(EAGAIN, "kate"), "winexecfel: The system is out of memory or resources. \"kate\"");
  EXPECT_EQ(StartFailureMessage(ENOENT, "x"), "winexecfel: The specified file was not found. \"x\"");
  EXPECT_EQ(StartFailureMessage(ENOTDIR, "x"), "winexecfel: The specified path was not found. \"x\"");
  EXPECT_EQ(StartFailureMessage(ENOEXEC, "x"),
            "winexecfel: The .EXE file is invalid (non-Win32 .EXE or error in .EXE image). \"x\"");
  EXPECT_EQ(StartFailureMessage(EACCES, "x"), A("winexecfel: okänt fel nummer 013 \"x\""));
}

TEST_F(EditorFolder, FindProgramSearchesThePathForExecutableFiles) {
  const std::string gedit = Make("gedit", "#!/bin/sh\n");
  Make("kate", "#!/bin/sh\n", false);
  fs::create_directories(dir / "bin" / "kwrite");
  EXPECT_EQ(FindProgram("gedit", Path()), gedit);
  EXPECT_EQ(FindProgram("kate", Path()), "");    // not executable
  EXPECT_EQ(FindProgram("kwrite", Path()), "");  // a folder
  EXPECT_EQ(FindProgram(gedit, ""), gedit);      // a path is taken as it is
  EXPECT_EQ(FindProgram("gedit", ""), "");
  EXPECT_EQ(FindProgram("", Path()), "");
}

TEST_F(EditorFolder, FirstEditorThatStartsWinsAndOnlyNotFoundGivesWay) {
  Make("kate", "");
  Make("gedit", "");
  std::vector<std::string> tried;
  int error = 0;
  auto start = [&](const std::string& file, const std::vector<std::string>&) {
    tried.push_back(fs::path(file).filename().string());
    return tried.size() == 1 ? error : 0;
  };
  // $VISUAL is missing: the next one that exists starts, and nothing is said.
  EXPECT_EQ(StartTextEditor({"missing-editor", "kate", Path()}, start), "");
  EXPECT_EQ(tried, (std::vector<std::string>{"kate"}));
  tried.clear();
  // Found but vanished before it ran: the next one.
  error = ENOENT;
  EXPECT_EQ(StartTextEditor({"", "kate", Path()}, start), "");
  EXPECT_EQ(tried, (std::vector<std::string>{"kate", "gedit"}));
  tried.clear();
  // Any other failure is told, naming the editor.
  error = ENOEXEC;
  EXPECT_EQ(StartTextEditor({"", "kate", Path()}, start),
            "winexecfel: The .EXE file is invalid (non-Win32 .EXE or error in .EXE image). \"kate\"");
  EXPECT_EQ(tried.size(), 1u);
  // No editor at all.
  EXPECT_EQ(StartTextEditor({"", "", "/no/such/dir"}, start),
            "winexecfel: The specified file was not found. \"texteditor\"");
}

TEST_F(EditorFolder, StartDetachedRunsTheProgramAndReportsAFailedExec) {
  const fs::path mark = dir / "started";
  const std::string editor = Make("fake-editor", "#!/bin/sh\necho \"$1\" > \"$2\"\n");
  ASSERT_EQ(StartDetached(editor, {"argument", mark.string()}), 0);
  for (int i = 0; i < 200 && !fs::exists(mark); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::string written;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::ifstream(mark) >> written;
  EXPECT_EQ(written, "argument");
  // An executable file that is no program: its exec fails, and the start says why.
  EXPECT_EQ(StartDetached(Make("garbage", "\x7f" "ELF broken"), {}), ENOEXEC);
  EXPECT_EQ(StartDetached((dir / "bin" / "none").string(), {}), ENOENT);
}
