// SIE 4E written from a real bookkeeping, compared line for line with a file written by hand,
// in code page 437.
#include "exchange/BFSie.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "../bookkeeping/BookkeepingFolder.h"
#include "FaultLoop.h"
#include "bookkeeping/BFMisc_amount.h"
#include "bookkeeping/BFVerify.h"
#include "common/Ansi.h"
#include "shell/ESmall.h"
#include "shell/ETider.h"

namespace bfsie {
namespace {

class Sie : public bf::BookkeepingFolder {
 protected:
  void SetUp() override {
    bf::BookkeepingFolder::SetUp();
    clock_.emplace(set_);
  }
  void TearDown() override {
    clock_.reset();
    bf::BookkeepingFolder::TearDown();
  }
  void Post(const std::string& text, std::initializer_list<std::tuple<int, char, double>> rows) {
    bf::PrepareFreshVerification(s());
    for (const auto& [account, side, amount] : rows)
      ASSERT_EQ(bf::AddVerificationRow(s(), account, side, amount), bf::RowResult::kPosted);
    ASSERT_EQ(bf::SaveVerification(s(), text, "2026-03-01"), bf::SaveResult::kSaved);
  }
  void Add(const std::string& number, const std::string& name, char sign, double opening) {
    bf::KontoRecord k;
    k.number = number;
    k.name = A(name.c_str());
    k.sign = sign;
    k.opening = *bf::Real6::FromDouble(opening);
    int32_t recNo = 0;
    ASSERT_TRUE(bf::SaveAccount(s(), true, recNo, k));
  }

  etider::SetClock set_{2026, 3, 15, 12, 0, 0};
  std::optional<etider::ScopedClock> clock_;
};

TEST_F(Sie, TheBooksAreWrittenAsSie4EInCodePage437) {
  s().dataBas.name = A("Förening \"Gläntan\"");
  Add("1930", "Bank", '+', 1000);
  Add("2440", "Skulder", '-', -1250.5);
  Add("3010", "Avgift", '-', 0);
  Add("5010", "Hyra", '+', 0);
  Add("8310", "Ränta", '-', 0);
  Post(A("Hyra mars"), {{5010, '+', 400}, {1930, '-', 400}});
  Post(A("Medlemsavgifter åäö"), {{1930, 'D', 150.25}, {3010, 'K', 150.25}});
  eixport::IxportFile f(eixport::Content::kDocument);
  ASSERT_TRUE(f.OpenByName(0, eixport::Mode::kCreate, folder_ / "bok.se", 0));
  ASSERT_TRUE(ExportSie(*db_, f, false));
  const std::string expected =
      "#FLAGGA 0\r\n"
      "#PROGRAM \"bfnolk 1.0\"\r\n"
      "#FORMAT PC8\r\n"
      "#GEN 20260315\r\n"
      "#SIETYP 4\r\n"
      "#FNAMN \"Förening \\\"Gläntan\\\"\"\r\n"
      "#RAR 0 20260101 20261231\r\n"
      "#KONTO 1930 Bank\r\n"
      "#KONTO 2440 Skulder\r\n"
      "#KONTO 3010 Avgift\r\n"
      "#KONTO 5010 Hyra\r\n"
      "#KONTO 8310 Ränta\r\n"
      "#KTYP 1930 T\r\n"
      "#KTYP 2440 S\r\n"
      "#KTYP 3010 I\r\n"
      "#KTYP 5010 K\r\n"
      "#KTYP 8310 I\r\n"
      "#IB 0 1930 1000.00\r\n"
      "#IB 0 2440 -1250.50\r\n"
      "#UB 0 1930 750.25\r\n"
      "#UB 0 2440 -1250.50\r\n"
      "#RES 0 3010 -150.25\r\n"
      "#RES 0 5010 400.00\r\n"
      "#RES 0 8310 0.00\r\n"
      "#VER \"\" 1 20260301 \"Hyra mars\"\r\n"
      "{\r\n"
      "#TRANS 5010 {} 400.00\r\n"
      "#TRANS 1930 {} -400.00\r\n"
      "}\r\n"
      "#VER \"\" 2 20260301 \"Medlemsavgifter åäö\"\r\n"
      "{\r\n"
      "#TRANS 1930 {} 150.25\r\n"
      "#TRANS 3010 {} -150.25\r\n"
      "}\r\n";
  EXPECT_EQ(folder_.Read("bok.se"), esmall::ConvertCodePage(expected, "UTF-8", "CP437"));
}

// Everything the bookkeeping holds in the files, for comparing two bookkeepings.
std::string Books(bf::BfShared& s) {
  std::string all = s.dataBas.name + "|" + s.dataBas.fromDate + "|" + s.dataBas.toDate + "\n";
  bf::ForEachAccount(s, [&](const bf::KontoRecord& k, int32_t) {
    all += k.number + "|" + k.name + "|" + bf::AmountText(k.opening.Value(), 0) + "|" + bf::AmountText(k.debit.Value(), 0) +
           "|" + bf::AmountText(k.credit.Value(), 0) + "|" + bf::AmountText(k.closing.Value(), 0) + "\n";
    return true;
  });
  bf::ForEachVerification(s, [&](const bf::VerRecord& v, int32_t) {
    all += std::to_string(v.number) + "|" + v.date + "|" + v.name;
    for (int r = 1; r <= v.RowCount(); ++r)
      all += "|" + std::to_string(v.accounts[r]) + v.sides[r] + bf::AmountText(v.amounts[r].Value(), 0);
    all += "\n";
    return true;
  });
  return all + bf::AmountText(s.dataBas.grandTotal, 0);
}

class SieImportTest : public Sie {
 protected:
  SieImport Import(const std::string& bytes, bool newBookkeeping) {
    folder_.Write("in.se", bytes);
    eixport::IxportFile f(eixport::Content::kDocument);
    f.OpenByName(0, eixport::Mode::kOpen, folder_ / "in.se", 0);
    return ImportSie(*db_, f, newBookkeeping);
  }
  void Verified() { EXPECT_EQ(bf::VerifyBookkeeping(s(), db_->dataDir()), std::vector<std::string>{}); }
  std::string LastBox() { return boxes_.boxes.empty() ? "" : boxes_.boxes.back().text; }
};

TEST_F(SieImportTest, TheBooksComeBackWholeWithSwedishLettersInEveryText) {
  s().dataBas.name = A("Åsa Öberg & Ängsö \"AB\"");
  Add("1930", "Bankgiro", '+', 1000);
  Add("2440", "Skuld åö", '-', -1250.5);
  Add("3010", "Avgift", '-', 0);
  Add("5010", "Hyra ÄÖ", '+', 0);
  Add("7010", "Lön", '+', 12.5);
  Post(A("Hyra för mars"), {{5010, '+', 400}, {1930, '-', 400}});
  Post(A("Medlemsavgifter åäö"), {{1930, '+', 150.25}, {3010, '-', 150.25}, {7010, '+', 0}});
  const std::string before = Books(s());
  eixport::IxportFile out(eixport::Content::kDocument);
  ASSERT_TRUE(out.OpenByName(0, eixport::Mode::kCreate, folder_ / "bok.se", 0));
  ASSERT_TRUE(ExportSie(*db_, out, true));
  const std::string written = folder_.Read("bok.se");
  EXPECT_EQ(written.substr(0, 20), "#FLAGGA 0\r\n#KSUMMA\r\n");
  EXPECT_NE(written.rfind("}\r\n#KSUMMA "), std::string::npos);
  ASSERT_EQ(Import(written, true), SieImport::kImported) << LastBox();
  EXPECT_EQ(db_->current(), 2);
  EXPECT_EQ(Books(s()), before);
  Verified();
}

TEST_F(SieImportTest, AHandWrittenFileWithQuotesTabsBothLineEndsAndAnUndeclaredAccount) {
  const std::string file =
      "#FLAGGA 0\r\n#PROGRAM \"Annat program\" 2.1\r\n#FORMAT PC8\n#SIETYP 4\r\n"
      "#FNAMN \"F\x94retaget \\\"Sm\x86\\\"\"\r\n#RAR 0 20260101 20261231\r\n#RAR -1 20250101 20251231\r\n"
      "#KONTO\t1930\t\"F\x94retagskonto\"\r\n#KONTO 3010 Avgifter\n#KTYP 3010 I\r\n#OKAND 1 2 3\r\n"
      "#IB 0 1930 500.5\r\n#IB -1 1930 99\r\n#UB 0 1930 600.50\r\n"
      "#VER A 7 20260105 \"Inbetalning \\\"x\\\"\" 20260106\r\n{\r\n"
      "\t#TRANS 1930 {} 100.00\r\n#RTRANS 1930 {} 100.00\r\n#BTRANS 1930 {} 5.00\r\n"
      "\t#TRANS 3010 {1 \"100\"} -60.00 20260105 \"text\"\r\n\t#TRANS 6570 {} -40\r\n}\r\n";
  ASSERT_EQ(Import(file, false), SieImport::kImported) << LastBox();
  const bf::KontoRecord bank = Account("1930");
  EXPECT_EQ(bank.name, A("Företags"));  // cut to what the account holds
  EXPECT_EQ(bank.reference, A("Företagskonto"));
  EXPECT_DOUBLE_EQ(bank.opening.Value(), 500.5);
  EXPECT_DOUBLE_EQ(bank.closing.Value(), 600.5);
  EXPECT_EQ(Account("3010").sign, '-');
  EXPECT_DOUBLE_EQ(Account("6570").credit.Value(), 40);  // used, not declared: made
  bf::VerRecord v;
  ASSERT_EQ(bf::ReadVerification(s(), 1, v), bf::Lookup::kFound);
  EXPECT_EQ(v.number, 1);
  EXPECT_EQ(v.name, "Inbetalning \"x\"");
  EXPECT_EQ(v.date, "2026-01-05");
  EXPECT_EQ(v.RowCount(), 3);
  Verified();
}

TEST_F(SieImportTest, WindowsLettersAreReadAsTheyAre) {
  ASSERT_EQ(Import(A("#FNAMN \"Åsa\"\n#RAR 0 20260101 20261231\n#KONTO 1930 Kassaväg\n#IB 0 1930 1\n"), true),
            SieImport::kImported);
  EXPECT_EQ(s().dataBas.name, A("Åsa"));
  EXPECT_EQ(Account("1930").name, A("Kassaväg"));
}

TEST_F(SieImportTest, AFaultyFileChangesNothingAndNamesItsLines) {
  Add("1930", "Bank", '+', 10);
  const std::string accounts = folder_.Read("Konto01.DAT"), list = folder_.Read("BfNolk.DAT");
  EXPECT_EQ(Import("#KONTO 1930 Bank\n#VER \"\" 1 20260105 Obalans\n{\n#TRANS 1930 {} 100.00\n"
                   "#TRANS 3010 {} -99.00\n}\n#IB 0 193 1\n#VER \"\" 2 20260231 X\n{\n#TRANS 1930 {} tio\n}\n",
                   false),
            SieImport::kRefused);
  EXPECT_EQ(LastBox(), A("SIE-filen har fel, inget importerat: rad 2 (balanserar inte: 1.00), rad 7 (kontonummer "
                         "193), rad 8 (datum), rad 10 (belopp tio)"));
  EXPECT_EQ(folder_.Read("Konto01.DAT"), accounts);
  EXPECT_EQ(folder_.Read("BfNolk.DAT"), list);
  std::string rows = "#VER \"\" 1 20260105 Lang\n{\n";
  for (int r = 0; r < 101; ++r) rows += "#TRANS 1930 {} 0.00\n";
  EXPECT_EQ(Import(rows + "}\n", false), SieImport::kRefused);
  EXPECT_EQ(LastBox(), A("SIE-filen har fel, inget importerat: rad 1 (mer än 100 rader)"));
  std::string many;
  for (int a = 0; a < 255; ++a) many += "#KONTO " + std::to_string(2000 + a) + " K\n";
  EXPECT_EQ(Import(many, false), SieImport::kRefused);
  EXPECT_EQ(LastBox(), A("SIE-filen har fel, inget importerat: fler än 254 konton: 256"));
  EXPECT_EQ(folder_.Read("Konto01.DAT"), accounts);
}

TEST_F(SieImportTest, BooksWithVerificationsTakeTheFileOnlyIntoANewBookkeeping) {
  Add("1930", "Bank", '+', 10);
  Post("X", {{1930, '+', 0}});
  EXPECT_EQ(Import("#KONTO 1930 Bank\n", false), SieImport::kRefused);
  EXPECT_EQ(Import("#KONTO 1930 Bank\n", true), SieImport::kRefused);  // no period
  EXPECT_NE(LastBox().find("#RAR 0"), std::string::npos);
}

// CRC-32 as zlib computes it, written here apart from the program's.
uint32_t Crc32(const std::string& bytes) {
  uint32_t table[256];
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

TEST(SieChecksumTest, IsTheCrc32OfTheRecordsWithoutSeparatorsQuotesAndLineEnds) {
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);  // the check value of CRC-32
  SieChecksum digits;
  digits.Record("\"1234\" 56\t789\r\n");
  EXPECT_EQ(digits.Value(), 0xCBF43926u);
}

// A file framed by #KSUMMA, in code page 437, its sum worked out from the bytes the records
// count: labels and fields without the blanks, tabs and quotes that part them, braces and
// the bytes inside quotes (an escaped quote too) kept.
TEST_F(SieImportTest, AChecksumIsCheckedAndAWrongOneChangesNothing) {
  const std::string records =
      "#FNAMN \"F\x94reningen \\\"Ek\\\"\"\r\n#RAR 0 20260101 20261231\r\n#KONTO 1930 \"Bank konto\"\r\n"
      "#KONTO\t3010 Avgifter\r\n#IB 0 1930 100.00\r\n#VER \"\" 1 20260105 \"Avgift jan\"\r\n{\r\n"
      "\t#TRANS 1930 {} 50.00\r\n\t#TRANS 3010 {} -50.00\r\n}\r\n";
  const uint32_t crc = Crc32(
      "#FNAMNF\x94reningen \\\"Ek\\\"#RAR02026010120261231#KONTO1930Bank konto#KONTO3010Avgifter#IB01930100.00"
      "#VER120260105Avgift jan{#TRANS1930{}50.00#TRANS3010{}-50.00}");
  const auto file = [&](const std::string& body, uint32_t sum) {
    return "#FLAGGA 0\r\n#KSUMMA\r\n" + body + "#KSUMMA " + std::to_string(sum) + "\r\n";
  };
  std::string changed = records;
  changed.replace(changed.find("100.00"), 6, "900.00");
  const std::string accounts = folder_.Read("Konto01.DAT"), list = folder_.Read("BfNolk.DAT");
  EXPECT_EQ(Import(file(changed, crc), false), SieImport::kRefused);
  EXPECT_EQ(LastBox(), A("SIE-filen har fel, inget importerat: rad 13 (fel kontrollsumma: #KSUMMA ") +
                           std::to_string(crc) + A(", men filens poster ger ") + std::to_string(Crc32(
      "#FNAMNF\x94reningen \\\"Ek\\\"#RAR02026010120261231#KONTO1930Bank konto#KONTO3010Avgifter#IB01930900.00"
      "#VER120260105Avgift jan{#TRANS1930{}50.00#TRANS3010{}-50.00}")) + ")");
  EXPECT_EQ(Import("#FLAGGA 0\r\n" + records + "#KSUMMA " + std::to_string(crc) + "\r\n", false), SieImport::kRefused);
  EXPECT_EQ(LastBox(), A("SIE-filen har fel, inget importerat: rad 12 (#KSUMMA utan inledande #KSUMMA)"));
  EXPECT_EQ(folder_.Read("Konto01.DAT"), accounts);
  EXPECT_EQ(folder_.Read("BfNolk.DAT"), list);
  ASSERT_EQ(Import(file(records, crc), false), SieImport::kImported) << LastBox();
  EXPECT_DOUBLE_EQ(Account("1930").closing.Value(), 150);
  Verified();
}

// Cancel in the progress window half-way through the verifications: nothing imported.
TEST_F(SieImportTest, CancelHalfWayImportsNothing) {
  std::string file = "#FNAMN Ny\n#RAR 0 20260101 20261231\n";
  for (int v = 1; v <= 6; ++v) file += "#VER \"\" 1 20260105 X\n{\n#TRANS 1930 {} 1\n#TRANS 3010 {} -1\n}\n";
  folder_.Write("in.se", file);
  eixport::IxportFile f(eixport::Content::kDocument);
  f.OpenByName(0, eixport::Mode::kOpen, folder_ / "in.se", 4);
  progress_.cancelAfterLines = 6;
  EXPECT_EQ(ImportSie(*db_, f, true), SieImport::kFailed);
  EXPECT_EQ(LastBox(), A("SIE-importen avbröts, inget importerat"));
  EXPECT_EQ(s().listInUse, 1);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "sie.tmp"));
  ecountform::Open(0, false, 4, "");  // the cancel is over for the tests after this one
  ecountform::Close();
}

// A disk that fails anywhere in an import leaves the bookkeepings as they were, or the whole
// import done; the books add up either way and nothing built aside is left behind.
class SieImportFaults : public SieImportTest {
 protected:
  void SetUp() override {
    SieImportTest::SetUp();
    Add("1930", "Bank", '+', 10);
    // The runs flush a great deal: their books lie in memory.
    db_.reset();
    for (const auto& file : std::filesystem::directory_iterator(folder_.path()))
      std::filesystem::copy(file.path(), work_ / file.path().filename().string());
    db_ = std::make_unique<bf::BfDatabase>(work_.path());
    work_.Write("in.se",
                  "#FNAMN Ny\n#RAR 0 20260101 20261231\n#KONTO 1930 Bank\n#KONTO 3010 Avgift\n#IB 0 1930 20\n"
                  "#VER \"\" 1 20260105 Ett\n{\n#TRANS 1930 {} 5\n#TRANS 3010 {} -5\n}\n"
                  "#VER \"\" 2 20260106 Tv\x86\n{\n#TRANS 1930 {} 1\n#TRANS 3010 {} -1\n}\n");
    for (const auto& file : std::filesystem::directory_iterator(work_.path()))
      std::filesystem::copy(file.path(), pristine_ / file.path().filename().string());
    db_->OpenBookkeepingList();
    ASSERT_TRUE(db_->SelectBookkeeping(1));
    before_ = Books(s());
  }
  void Restart() {
    db_->CloseBookkeeping();
    db_->CloseBookkeepingList();
    for (const auto& file : std::filesystem::directory_iterator(work_.path())) std::filesystem::remove_all(file);
    for (const auto& file : std::filesystem::directory_iterator(pristine_.path()))
      std::filesystem::copy(file.path(), work_ / file.path().filename().string());
    db_->OpenBookkeepingList();
    ASSERT_TRUE(db_->SelectBookkeeping(1));
  }
  SieImport ImportIn(bool newBookkeeping) {
    eixport::IxportFile f(eixport::Content::kDocument);
    f.OpenByName(0, eixport::Mode::kOpen, work_ / "in.se", 0);
    return ImportSie(*db_, f, newBookkeeping);
  }
  // The books as the next run finds them: before, or after in whole; nothing left aside.
  void Judge(SieImport result, const faultloop::Injection& injection, int slot) {
    db_->CloseBookkeeping();
    db_->CloseBookkeepingList();
    db_->OpenBookkeepingList();
    EXPECT_FALSE(std::filesystem::exists(work_ / "sie.tmp")) << injection.what;
    EXPECT_FALSE(std::filesystem::exists(work_ / "replace01.tmp")) << injection.what;
    const bool imported = slot == 2 ? s().listInUse == 2 : (db_->SelectBookkeeping(1), s().dataBas.lastVerNr == 2);
    if (injection.none()) {
      ASSERT_EQ(result, SieImport::kImported);
      ASSERT_TRUE(imported);
    }
    if (result == SieImport::kImported) {
      EXPECT_TRUE(imported) << injection.what;
    }
    ASSERT_TRUE(db_->SelectBookkeeping(imported ? slot : 1)) << injection.what;
    if (injection.none()) after_ = Books(s());
    EXPECT_EQ(Books(s()), imported ? after_ : before_) << injection.what;
    Verified();
  }

  TempFolder work_{FastTempParent()}, pristine_{FastTempParent()};
  std::string before_, after_;
};

TEST_F(SieImportFaults, IntoANewBookkeeping) {
  faultloop::EveryFault([&] { Restart(); }, [&] { return ImportIn(true); },
                        [&](SieImport result, const faultloop::Injection& injection) { Judge(result, injection, 2); });
}

TEST_F(SieImportFaults, IntoTheOpenEmptyBookkeeping) {
  faultloop::EveryFault([&] { Restart(); }, [&] { return ImportIn(false); },
                        [&](SieImport result, const faultloop::Injection& injection) { Judge(result, injection, 1); });
}

}  // namespace
}  // namespace bfsie
