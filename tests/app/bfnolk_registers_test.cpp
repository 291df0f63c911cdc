// bfnolk label and giro: the registers kept through the same rules as their windows, and
// printed on the text device.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "BfnolkFolder.h"

namespace {

using BfnolkRegisters = BfnolkFolder;

TEST_F(BfnolkRegisters, KeepsAndPrintsLabels) {
  Ok("init --yes");
  Ok("label add --line 'Arbetsutskottet' --line 'Storgatan 1'");
  Ok("label add --line ''");
  EXPECT_EQ(Run("label list").out, "Arbetsutskottet\nXXX\n");
  const ProgramRun tooLong = Run("label add --line " + std::string(241, 'a'));
  EXPECT_EQ(tooLong.status, 1);
  EXPECT_NE(tooLong.out.find("högst 240 tecken"), std::string::npos);
  Ok("label add --line " + std::string(240, 'a'));
  const ProgramRun missing = Run("label add --picture /finns/inte.png");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("kan ej ladda filen \"/finns/inte.png\""), std::string::npos);
  const ProgramRun notPicture = Run("label add --picture " BFN_BIN_DIR "/bfnolk");
  EXPECT_EQ(notPicture.status, 1);

  const ProgramRun printed = Run("label print 'Arbetsutskottet' --copies 3 --to -");
  ASSERT_EQ(printed.status, 0) << printed.out;
  size_t count = 0;
  for (size_t at = printed.out.find("Storgatan 1"); at != std::string::npos; at = printed.out.find("Storgatan 1", at + 1))
    ++count;
  EXPECT_EQ(count, 3u);

  const ProgramRun deleted = Run("label delete XXX");
  EXPECT_EQ(deleted.status, 0);
  EXPECT_NE(deleted.out.find("Etikett \"XXX\", raderad..."), std::string::npos);
  EXPECT_EQ(Run("label delete XXX").status, 1);
}

TEST_F(BfnolkRegisters, KeepsGiroFormsUniqueAndChecked) {
  Ok("init --yes");
  Ok("giro plus add --payee Elverket --account1 18 --amount 250");
  Ok("giro plus add --payee Elverket --littera B --account1 1-8");
  const ProgramRun twice = Run("giro plus add --payee Elverket --littera B");
  EXPECT_EQ(twice.status, 1);
  EXPECT_NE(twice.out.find("Mottagare och littera finns redan registrerad. \"Elverket_B\" Måste vara unik."),
            std::string::npos);
  const ProgramRun wrong = Run("giro plus add --payee Vatten --account1 19");
  EXPECT_EQ(wrong.status, 1);
  EXPECT_NE(wrong.out.find("fel på gironummer"), std::string::npos);
  EXPECT_EQ(Run("giro plus add --payee " + std::string(31, 'p')).status, 1);
  EXPECT_EQ(Run("giro plus add --payee X --amount 10000").status, 2);
  Ok("giro plus change Elverket_B --amount 300");
  // The list is sorted by its lines, as the window shows it.
  EXPECT_EQ(Run("giro plus list").out, "1-8............. Elverket_B\n18.............. Elverket\n");
  // Bankgiro forms are kept in a file of their own.
  EXPECT_EQ(Run("giro bank list").out, "");

  const ProgramRun printed = Run("giro plus print Elverket --setting 10 --copies 3 --to -");
  ASSERT_EQ(printed.status, 0) << printed.out;
  EXPECT_NE(printed.out.find("Elverket"), std::string::npos);
  EXPECT_EQ(Run("giro plus delete Elverket").status, 0);
  EXPECT_EQ(Run("giro plus list").out, "1-8............. Elverket_B\n");
}

TEST_F(BfnolkRegisters, VerifyChecksTheRegisterFilesThatExist) {
  Ok("init --yes");
  Ok("new --name Prov --from 2026-01-01 --to 2026-12-31");
  Verified("before any register is used");
  Ok("label add --line Arbetsutskottet");
  Ok("giro bank add --payee Elverket");
  Verified("with a label and a bankgiro form");
  // The bankgiro data file loses its last byte: no longer whole records.
  for (const auto& entry : std::filesystem::directory_iterator(root_ + "/data"))
    if (entry.path().filename().string().rfind("giroB.", 0) == 0 && entry.path().extension() != ".ix" &&
        entry.path().extension() != ".IX")
      std::filesystem::resize_file(entry.path(), entry.file_size() - 1);
  const ProgramRun damaged = Run("verify");
  EXPECT_EQ(damaged.status, 1);
  EXPECT_NE(damaged.out.find(root_ + "/data/giroB: data file of "), std::string::npos) << damaged.out;
  EXPECT_EQ(damaged.out.find("stämmer"), std::string::npos) << damaged.out;
}

// Both registers take their words by the same rules: the usage refused with status 2 before
// anything is opened, a key that names nothing refused with 1 and nothing done.
TEST_F(BfnolkRegisters, RefusesWrongWordsAndMissingKeysOfEitherRegister) {
  Ok("init --yes");
  const auto refused = [&](const std::string& args, int status, const std::string& said) {
    const ProgramRun run = Run(args);
    EXPECT_EQ(run.status, status) << args;
    EXPECT_EQ(run.out, said + "\n") << args;
  };
  const std::string giroUsage =
      "bfnolk giro: ange plus, post eller bank (0..4) och add, change, delete, list eller print";
  refused("label", 2, "bfnolk label: ange add, change, delete, list eller print");
  refused("giro plus", 2, giroUsage);
  refused("giro 2x list", 2, giroUsage);
  refused("label move", 2, "bfnolk label: okänt move");
  refused("giro bank move", 2, "bfnolk giro: okänt move");
  refused("label delete A B", 2, "bfnolk label delete: ange etikettens nyckel (första raden)");
  refused("giro plus print", 2, "bfnolk giro print: ange blankettens nyckel (mottagare_littera)");
  refused("label list --copies 0", 2, "bfnolk: --copies: antal kopior 1..99");

  Ok("label add --line Styrelsen --line 'Torget 2'");
  Ok("giro plus add --payee Elverket --account1 18 --message 'rad 1\\nrad 2'");
  refused("label print Styrelsen Kansliet --to -", 1, "bfnolk label: ingen etikett Kansliet");
  refused("label change Kansliet --line X", 1, "bfnolk label: ingen etikett Kansliet");
  refused("giro plus delete Vatten", 1, "bfnolk giro: ingen blankett Vatten");
  refused("label print --setting 11 --to -", 2, "bfnolk: --setting: etikettinställning 1..10");

  EXPECT_EQ(Run("label list --json").out, "[{\"key\":\"Styrelsen\",\"text\":\"Styrelsen\\r\\nTorget 2\"}]\n");
  const std::string form = Run("giro plus list --json").out;
  EXPECT_NE(form.find("\"key\":\"Elverket\",\"payee\":\"Elverket\""), std::string::npos) << form;
  EXPECT_NE(form.find("\"message\":\"rad 1\\r\\nrad 2\""), std::string::npos) << form;
}

}  // namespace
