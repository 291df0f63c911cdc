// The start-up order of the shell window: the build stamp goes into StatusMsg before the
// configuration is read, the message bar shows whatever StatusMsg holds once the
// configuration has settled, then the panels are filled; NolkFormCreate makes the window the
// owner of boxes and dialogs.
#include "common/Ansi.h"
#include "shell/ESmall_HandleStack.h"
#include "shell/Eerror32.h"
#include "shell/GloDefs.h"
#include "shell/ekonfig32.h"
#include "shell/ekonfig32_command.h"
#include "shell/ui/about32.h"
#include "shell/ui/emainform.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

using namespace shellui;
namespace fs = std::filesystem;

namespace {

class StartUp : public testing::Test {
 protected:
  void SetUp() override {
    home = fs::temp_directory_path() / ("bfn-startup-" + std::to_string(::getpid()));
    fs::create_directories(home);
    startDir = fs::current_path();
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("XDG_DOCUMENTS_DIR", (home / "Documents").c_str(), 1);
    ekonfig::SetKonfigPaths({});
    glodefs::ProgName = "BFNOLKW64";
    eerror::StatusMsg.clear();
    eerror::LastStatusMsg.clear();
  }
  void TearDown() override {
    fs::current_path(startDir);  // the start changes into the data directory
    fs::remove_all(home);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DOCUMENTS_DIR");
  }

  fs::path home, startDir;
};

}  // namespace

TEST_F(StartUp, FreshStartShowsTheStampAndThePanelsOfTheSettledConfiguration) {
  TNolkMainForm form;
  ASSERT_TRUE(form.ProgramInit(ekonfig::kBookkeepingProgNr));
  const std::string data = (home / "Documents" / "BFNOLKW64" / "data").string();
  EXPECT_EQ(eerror::StatusMsg, BuildStamp());
  EXPECT_EQ(eerror::LastStatusMsg, BuildStamp());
  EXPECT_EQ(form.MessagePanel(0), QString::fromStdString(BuildStamp()));
  EXPECT_EQ(form.MessagePanel(1), "");
  EXPECT_EQ(ekonfig::Konfig.DataDir(), data);
  EXPECT_EQ(fs::current_path(), data);
  EXPECT_EQ(form.EnvPanel(0), QString::fromStdString(data));
  const glodefs::TKonfigRec& konfig = ekonfig::Konfig;
  EXPECT_FALSE(form.EnvPanel(1).isEmpty());
  EXPECT_EQ(form.EnvPanel(1).toStdString(), ansi::ToUtf8(konfig.ReportName(konfig.CurrentReportSetting())));
  EXPECT_EQ(form.EnvPanel(2).toStdString(), ansi::ToUtf8(konfig.LabelName(konfig.CurrentLabelSetting())));
  EXPECT_EQ(form.EnvPanel(3), "");  // the bookkeeping window fills it
  EXPECT_TRUE(fs::exists(ekonfig::KonfigFilePath()));

  const int depth = esmall::OwnerWindows().Depth();
  form.NolkFormCreate();
  EXPECT_EQ(esmall::OwnerWindows().Depth(), depth + 1);
  EXPECT_EQ(esmall::OwnerWindows().Top(), static_cast<esmall::WindowHandle>(form.winId()));
  EXPECT_GE(form.Scale(), kMinScale);
  EXPECT_LE(form.Scale(), kMaxScale);
  EXPECT_GE(form.Background(), 1);
  EXPECT_LE(form.Background(), kBackgrounds);
  form.ProgramExit();
}

TEST_F(StartUp, AMessageOfTheConfigurationReplacesTheStampAndTheExitStoresTheDataDir) {
  const fs::path chosen = home / "chosen";
  fs::create_directories(chosen);
  {
    TNolkMainForm first;
    ASSERT_TRUE(first.ProgramInit(ekonfig::kBookkeepingProgNr));
    first.NolkFormCreate();
    ekonfig::Konfig.SetDataDir(chosen.string());
    first.ProgramExit();
  }
  fs::current_path(startDir);
  {
    // The stored directory is the next start's data directory.
    TNolkMainForm second;
    ASSERT_TRUE(second.ProgramInit(ekonfig::kBookkeepingProgNr));
    EXPECT_EQ(second.EnvPanel(0), QString::fromStdString(chosen.string()));
    EXPECT_EQ(fs::current_path(), chosen);
    ekonfig::Konfig.SetDataDir((home / "gone").string());
    second.ProgramExit();
  }
  fs::current_path(startDir);
  eerror::LastStatusMsg.clear();
  TNolkMainForm third;
  ASSERT_TRUE(third.ProgramInit(ekonfig::kBookkeepingProgNr));
  // The stamp went in first; the configuration's own message came after it, and only the
  // last one is shown, once, when the start is done.
  EXPECT_EQ(eerror::StatusMsg.rfind(A("Kan ej byta till biblioteket"), 0), 0u) << eerror::StatusMsg;
  EXPECT_EQ(third.MessagePanel(0).toStdString(), ansi::ToUtf8(eerror::StatusMsg));
  EXPECT_EQ(third.MessagePanel(1), "");
  EXPECT_EQ(third.EnvPanel(0), QString::fromStdString(startDir.string()));
}
