// From a fileblock's name to its three files on Linux.
#include <filesystem>

#include "EngineFixture.h"
#include "common/Ansi.h"
#include "storage/BTFileIO.h"

using namespace isam;

TEST(FileNames, ExtensionRule) {
  EXPECT_EQ(FileBlockFileName("C:\\data\\Konto", FileKind::Data), "C:\\data\\Konto.DAT");
  EXPECT_EQ(FileBlockFileName("C:\\data\\Konto.Dat", FileKind::Index), "C:\\data\\Konto.IX");
  EXPECT_EQ(FileBlockFileName("C:\\a.b\\Konto", FileKind::Journal), "C:\\a.b\\Konto.DIA");
  EXPECT_EQ(FileBlockFileName("/srv/a.b/Konto", FileKind::Saved), "/srv/a.b/Konto.SAV");
  EXPECT_EQ(FileBlockFileName("x.y.z", FileKind::DumpLog), "x.y.MSG");
}

TEST(FileNames, SemicolonPartsNameDataAndIndex) {
  EXPECT_EQ(FileBlockFileName("d/data;i/index;ignored", FileKind::Data), "d/data.DAT");
  EXPECT_EQ(FileBlockFileName("d/data;i/index;ignored", FileKind::Index), "i/index.IX");
  EXPECT_EQ(FileBlockFileName("d/data;i/index", FileKind::Journal), "d/data.DIA");
}

TEST(FileNames, CutAt192Characters) {
  const std::string longName(200, 'a');
  EXPECT_EQ(FileBlockFileName(longName, FileKind::Data), std::string(192, 'a') + ".DAT");
}

class Names : public EngineTest {};

TEST_F(Names, ExistingFilesAreFoundWhateverTheirLetterCase) {
  dir.MakeFolder(ansi::ToUtf8(A("Bokföring.2026")));
  const std::string stem = (dir / ansi::ToUtf8(A("Bokföring.2026"))) + "/Konto";
  CreateFileBlock(A(stem), 24, 1, std::vector<IndexDescription>{{4, false}});
  ASSERT_TRUE(IsamSuccess) << IsamError;
  EXPECT_TRUE(std::filesystem::exists(stem + ".DAT"));
  EXPECT_TRUE(std::filesystem::exists(stem + ".IX"));

  std::string other = A((dir / "BOKFÖRING.2026") + "\\KONTO.dat");
  FileBlock* fb = nullptr;
  OpenFileBlock(fb, other, true);
  ASSERT_TRUE(IsamSuccess) << IsamError;
  CloseFileBlock(fb);
  // The journal the first open made carries the name as composed, and is found again.
  OpenFileBlock(fb, A(stem), true);
  EXPECT_TRUE(IsamSuccess) << IsamError;
  CloseFileBlock(fb);
  int journals = 0;
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(stem).parent_path()))
    journals += e.path().extension() == ".DIA" || e.path().extension() == ".dia";
  EXPECT_EQ(journals, 1);
}

TEST_F(Names, MissingFileAndMissingFolderAreTold) {
  FileBlock* fb = nullptr;
  OpenFileBlock(fb, Name("nothing"), false);
  EXPECT_EQ(IsamError, kErrFileNotFound);
  OpenFileBlock(fb, Name("no/such/folder/x"), true);
  EXPECT_EQ(IsamError, kErrPathNotFound);
  EXPECT_EQ(IsamErrorClass(), 2);
  CreateFileBlock(Name("no/such/folder/x"), 24, 0, {});
  EXPECT_EQ(IsamError, kErrPathNotFound);
  EXPECT_EQ(fb, nullptr);
}

TEST_F(Names, CreateChecksComeBeforeAnythingIsDeleted) {
  CreateFileBlock(Name("keep"), 24, 0, {});
  const std::string before = dir.Read("keep.DAT");
  CreateFileBlock(Name("keep"), 20, 101, {});
  EXPECT_EQ(IsamError, kErrTooManyIndexes);  // the later of the two failing checks
  CreateFileBlock(Name("keep"), 24, 1, std::vector<IndexDescription>{{31, false}});
  EXPECT_EQ(IsamError, kErrBadKeyLength);
  EXPECT_EQ(dir.Read("keep.DAT"), before);
  EXPECT_FALSE(std::filesystem::exists(dir / "keep.IX"));
}
