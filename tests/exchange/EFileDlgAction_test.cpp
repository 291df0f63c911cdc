// What the file dialog is asked: the filter built from a caller's pattern, where the dialog
// starts for a remembered folder or a suggested file, and the filters as a dialog lists them.
#include "exchange/EFileDlgAction.h"

#include <gtest/gtest.h>

#include "../storage/TempFolder.h"
#include "common/Ansi.h"

namespace eixport {
namespace {

const std::string kDefault = "import/export|*.txt;*.exp;*.ixp;*.imp;*.vpx;*.txx;*.exx";

TEST(DialogFilter, APatternWithASemicolonAddsToTheDefaultListAnyOtherStandsAlone) {
  EXPECT_EQ(DialogFilter(""), kDefault);
  EXPECT_EQ(DialogFilter(";*.bfr"), kDefault + ";*.bfr");
  EXPECT_EQ(DialogFilter("*.ver"), "import/export (*.ver) |*.ver");
  EXPECT_EQ(DialogFilter("*.htm;*.html"), "import/export (*.htm;*.html) |*.htm;*.html");
  const std::string longPattern = ";" + std::string(200, 'x');
  EXPECT_EQ(DialogFilter(longPattern).size(), kMaxFilter);
}

TEST(DialogRequest, ASuggestedFileStartsInItsFolderAndAddsItsExtensionToTheFilter) {
  const FileDialogRequest r = DialogRequest(7, true, ";*.bfr", "bfrx", "/nowhere/at/all/plan.bfr");
  EXPECT_EQ(r.owner, 7u);
  EXPECT_TRUE(r.save);
  EXPECT_EQ(r.title, "Spara fil som...");
  EXPECT_EQ(r.filter, kDefault + ";*.bfr;*.bfr");
  EXPECT_EQ(r.defaultExt, "bfr");
  EXPECT_EQ(r.startDir, "/nowhere/at/all");
  EXPECT_EQ(r.startName, "plan.bfr");

  const FileDialogRequest open = DialogRequest(0, false, "*.ver", "ver", "C:\\data\\lon");
  EXPECT_EQ(open.title, A("Välj filnamn"));
  EXPECT_EQ(open.filter, "import/export (*.ver) |*.ver");
  EXPECT_EQ(open.startDir, "C:\\data");
  EXPECT_EQ(open.startName, "lon");
}

TEST(DialogRequest, ARememberedFolderOpensAsItself) {
  const TempFolder folder;
  folder.MakeFolder("Export");
  const FileDialogRequest r = DialogRequest(0, true, ";*.bfr", "bfr", folder / "export");  // any letter case
  EXPECT_EQ(r.startDir, folder / "export");
  EXPECT_EQ(r.startName, "");
  EXPECT_EQ(r.filter, kDefault + ";*.bfr");
}

TEST(FolderOf, TheFolderWithoutItsTrailingSeparator) {
  EXPECT_EQ(FolderOf("/home/anna/export/plan.bfr"), "/home/anna/export");
  EXPECT_EQ(FolderOf("C:\\export\\plan.bfr"), "C:\\export");
  EXPECT_EQ(FolderOf("/plan.bfr"), "/");
  EXPECT_EQ(FolderOf("plan.bfr"), "");
  EXPECT_EQ(ExtensionOf("/a.b/plan"), "");
  EXPECT_EQ(ExtensionOf("/a/plan.BFR"), ".BFR");
  EXPECT_EQ(ExtensionOf("plan."), "");
}

TEST(NameFilters, EachDescriptionWithItsPatternsAsADialogListsThem) {
  EXPECT_EQ(NameFilters(kDefault + ";*.bfr"),
            std::vector<std::string>{"import/export (*.txt *.exp *.ixp *.imp *.vpx *.txx *.exx *.bfr)"});
  EXPECT_EQ(NameFilters("import/export (*.ver) |*.ver;*.VER;*.ver"),
            std::vector<std::string>{"import/export (*.ver *.VER)"});
  EXPECT_EQ(NameFilters("text|*.txt|alla|"), (std::vector<std::string>{"text (*.txt)", "alla (*)"}));
  EXPECT_TRUE(NameFilters("").empty());
}

}  // namespace
}  // namespace eixport
