#include "printing/PrinterSelect.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "shell/ekonfig32_command.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class KonfigCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ekonfig_commandXXXXXX";
    root_ = mkdtemp(pattern);
    cwd_ = fs::current_path();
    ekonfig::SetKonfigPaths({root_ + "/config/", root_ + "/data"});
  }
  void TearDown() override {
    ekonfig::SetKonfigPaths({});
    fs::current_path(cwd_);
    fs::remove_all(root_);
  }
  int Run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    return ekonfig::KonfigCommand(args, out, err);
  }

  std::string root_;
  std::ostringstream out, err;
  eerror::RecordingMessageBoxes boxes;
  eerror::ScopedMessageBoxes installed{boxes};

 private:
  fs::path cwd_;
};

TEST_F(KonfigCommandTest, ShowTellsTheSettingsInUtf8) {
  EXPECT_EQ(Run({"show"}), 0);
  const std::string text = out.str();
  EXPECT_NE(text.find("konfigurationsfil: " + root_ + "/config/BFNOLKW64.P64\n"), std::string::npos) << text;
  EXPECT_NE(text.find("datakatalog: " + root_ + "/data\n"), std::string::npos);
  EXPECT_NE(text.find("etikettinställning: 1 \"Laser 3x8\"\n"), std::string::npos);
  EXPECT_NE(text.find("rapportinställning: 1 \"arial.stående\"\n"), std::string::npos);
  EXPECT_NE(text.find("skrivare: PDF-fil (PDF, FILE:)\n"), std::string::npos);
  EXPECT_NE(text.find("typsnitt: stor Arial 14 fet, mellan Arial 11 fet, liten Arial 8 fet\n"), std::string::npos);
  EXPECT_NE(text.find("marginaler: vänster 500, topp 500, höger 100, botten 0\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(root_ + "/config/BFNOLKW64.P64"));
}

TEST_F(KonfigCommandTest, ResetAsksUnlessYesAndRefusesBadUsage) {
  ASSERT_EQ(Run({"show"}), 0);
  boxes.answers = {eerror::kNo};
  EXPECT_EQ(Run({"reset"}), 1);
  EXPECT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(Run({"reset", "--yes"}), 0);
  EXPECT_EQ(boxes.boxes.size(), 1u);
  EXPECT_NE(out.str().find("Laser 3x8"), std::string::npos);
  // Usage errors are told in Swedish on the error stream, nothing on the output.
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(err.str(), "bfnolk config: ange show eller reset [--yes]\n");
  EXPECT_EQ(Run({"visa"}), 2);
  EXPECT_EQ(err.str(), "bfnolk config: okänt visa; ange show eller reset [--yes]\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(Run({"reset", "--ja"}), 2);
  EXPECT_EQ(err.str(), "bfnolk config: oväntat argument --ja\n");
  EXPECT_EQ(Run({"show", "mer"}), 2);
  EXPECT_EQ(err.str(), "bfnolk config: oväntat argument mer\n");
  EXPECT_EQ(boxes.boxes.size(), 1u);  // no usage error asked anything
}

}  // namespace
