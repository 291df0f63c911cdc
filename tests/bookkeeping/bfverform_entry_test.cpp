// The verification entry's rules over real files, as the dialog and bfnolk drive them: the
// account lookup and its sign, the side field's balancing, the amount as shown, the row's
// refusals, save and cancel, the key table, and templates played line by line.
#include "bookkeeping/bfverform_entry.h"

#include <gtest/gtest.h>

#include <fstream>

#include "BookkeepingFolder.h"
#include "bookkeeping/BFMisc.h"
#include "bookkeeping/BFVerify.h"
#include "common/Ansi.h"
#include "exchange/EfileDlg.h"
#include "shell/ETider.h"

namespace bf {
namespace {

class EntryRules : public BookkeepingFolder {
 protected:
  void SetUp() override {
    BookkeepingFolder::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    AddAccount("1930", "Bank", '+', 1000);
    AddAccount("2440", "Skuld", '-', 0);
    AddAccount("3010", "Intakt", '-', 0);
    AddAccount("7010", "Lon", ' ', 0);
  }

  void AddAccount(const std::string& number, const std::string& name, char sign, double opening) {
    KontoRecord k;
    k.number = number;
    k.name = name;
    k.sign = sign;
    k.opening = *Real6::FromDouble(opening);
    int32_t recNo = 0;
    ASSERT_TRUE(SaveAccount(s(), true, recNo, k)) << number;
  }

  // One row typed as a user types it; false when the entry refused it.
  static bool Row(VerificationEntry& e, const std::string& account, const std::string& side, const std::string& amount) {
    e.AccountTyped(account);
    e.SideTyped(side);
    e.AmountTyped(amount);
    return e.AcceptRow();
  }

  std::string Template(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
    return folder_ / name;
  }

  etider::SetClock march_{2026, 3, 14, 9, 0, 0};
  etider::ScopedClock clock_{march_};
};

TEST_F(EntryRules, ADebitAccountFillsInItsSideAndMovesTheFocusThere) {
  VerificationEntry e(s());
  EXPECT_EQ(e.number(), "0001");
  EXPECT_EQ(e.date(), "2026-03-14");
  EXPECT_EQ(e.focus(), EntryField::kName);
  EXPECT_EQ(e.balance(), "0.00");
  e.AccountTyped("19");
  EXPECT_EQ(e.focus(), EntryField::kAccount);
  e.AccountTyped("1930");
  EXPECT_EQ(e.focus(), EntryField::kSide);
  EXPECT_TRUE(e.selectFocused());
  EXPECT_EQ(e.side(), "+");
  EXPECT_EQ(e.accountName(), "Bank");
  EXPECT_EQ(e.accountBalance(), "1000.00");
  e.AccountTyped("2440");
  EXPECT_EQ(e.side(), "-");
  e.AccountTyped("7010");  // an account without a sign leaves the side as it was
  EXPECT_EQ(e.side(), "-");
}

TEST_F(EntryRules, RowsArePostedAsShownAndTheEqualsSignBalances) {
  VerificationEntry e(s());
  ASSERT_TRUE(Row(e, "1930", "+", "12,5"));
  ASSERT_EQ(e.rows().size(), 1u);
  EXPECT_EQ(e.rows()[0].row, "01");
  EXPECT_EQ(e.rows()[0].amount, "12.50");
  EXPECT_EQ(e.rows()[0].balance, "1012.50");
  EXPECT_EQ(e.balance(), "12.50");
  // Ready for the next row: the amount back to 0.00, the account field focused and selected.
  EXPECT_EQ(e.amount(), "0.00");
  EXPECT_EQ(e.focus(), EntryField::kAccount);
  EXPECT_EQ(e.accountBalance(), "1012.50");
  ASSERT_TRUE(Row(e, "1930", "+", "87.504"));  // shown, and so posted, as 87.50
  EXPECT_EQ(e.balance(), "100.00");
  ASSERT_TRUE(Row(e, "3010", "-", "60.00"));
  e.AccountTyped("2440");
  e.SideTyped("=");
  EXPECT_EQ(e.amount(), "40.00");
  EXPECT_EQ(e.side(), "-");
  EXPECT_EQ(e.focus(), EntryField::kRowOk);
  ASSERT_TRUE(e.AcceptRow());
  EXPECT_EQ(e.balance(), "0.00");
  e.SetName(A("Lön"));
  EXPECT_EQ(e.Save(), SaveResult::kSaved);
  EXPECT_TRUE(VerifyBookkeeping(s(), folder_.path()).empty());
  EXPECT_DOUBLE_EQ(s().dataBas.grandTotal, 1000.0);
}

TEST_F(EntryRules, WhatARowCannotTakeIsRefusedWithTheFieldToPutRight) {
  VerificationEntry e(s());
  e.AccountTyped("9999");
  EXPECT_FALSE(e.AcceptRow());
  EXPECT_EQ(e.status(), A("kontot finns inte i databasen, dubbelklicka för att välja!"));
  EXPECT_EQ(e.focus(), EntryField::kAccount);
  e.AccountTyped("1930");
  e.SideTyped("x");
  EXPECT_EQ(e.status(), A("tillåtna tecken endast (\"+\",\"-\",\"=\")"));
  EXPECT_EQ(e.focus(), EntryField::kSide);
  EXPECT_FALSE(e.AcceptRow());
  e.SideTyped(" ");  // taken in the field, but a row is debit or credit
  EXPECT_FALSE(e.AcceptRow());
  EXPECT_EQ(e.focus(), EntryField::kSide);
  e.SideTyped("+");
  for (const char* amount : {"", "tolv", "12.5.0", "1e999", "nan"}) {
    e.AmountTyped(amount);
    EXPECT_FALSE(e.AcceptRow()) << amount;
    EXPECT_EQ(e.status(), "ange en giltig summa med numerer (0.00)") << amount;
    EXPECT_EQ(e.focus(), EntryField::kAmount);
  }
  // Negative and oversized amounts would break closing = opening + |debit| - |credit|.
  for (const char* amount : {"-5", "10000000"}) {
    e.AmountTyped(amount);
    EXPECT_FALSE(e.AcceptRow()) << amount;
    EXPECT_EQ(e.status(), A("belopp: endast numeriskt värde tillåtet mellan 0.00..9999999.99!"));
  }
  EXPECT_TRUE(e.rows().empty());
  EXPECT_EQ(boxes_.beeps, 11);
  EXPECT_EQ(Account("1930").debit.Value(), 0);
}

TEST_F(EntryRules, SaveNeedsBalanceAndAFittingNameAndCancelTakesEveryRowBack) {
  const KontoRecord bank = Account("1930");
  {
    VerificationEntry e(s());
    ASSERT_TRUE(Row(e, "1930", "+", "100.01"));
    ASSERT_TRUE(Row(e, "3010", "-", "100.00"));
    EXPECT_EQ(e.Save(), SaveResult::kUnbalanced);
    EXPECT_EQ(e.status(), "verifikationen ej balanserad");
    ASSERT_TRUE(Row(e, "3010", "-", "0.01"));
    e.SetName(std::string(26, 'n'));
    EXPECT_EQ(e.Save(), SaveResult::kFailed);
    EXPECT_EQ(e.status(), A("verifikatnamn rymmer högst 25 tecken, texten har 26"));
    EXPECT_EQ(e.focus(), EntryField::kName);
    EXPECT_TRUE(e.Cancel());
    EXPECT_EQ(Account("1930"), bank);
  }
  {
    VerificationEntry e(s());  // ends with its rows neither saved nor cancelled
    ASSERT_TRUE(Row(e, "1930", "+", "5.00"));
  }
  EXPECT_EQ(Account("1930"), bank);
  EXPECT_EQ(s().dataBas.lastVerNr, 0);
  EXPECT_TRUE(VerifyBookkeeping(s(), folder_.path()).empty());
}

TEST_F(EntryRules, TheHundredAndFirstRowIsRefused) {
  VerificationEntry e(s());
  for (int r = 1; r <= kMaxRows; ++r) ASSERT_TRUE(Row(e, "1930", "+", "1")) << r;
  EXPECT_EQ(e.rows().back().row, "100");
  EXPECT_FALSE(Row(e, "1930", "+", "1"));
  EXPECT_EQ(e.status(), A("verifikationen är full, den rymmer högst 100 rader"));
  EXPECT_EQ(e.rows().size(), 100u);
  EXPECT_DOUBLE_EQ(Account("1930").debit.Value(), 100.0);
}

TEST_F(EntryRules, NoVerificationStartsWhenTheNumbersAreUsedUp) {
  s().dataBas.lastVerNr = 32766;
  EXPECT_TRUE(VerificationNumberLeft(s()));
  s().dataBas.lastVerNr = 32767;
  EXPECT_FALSE(VerificationNumberLeft(s()));
  EXPECT_EQ(eerror::StatusMsg, A("verifikationsnumren är slut (högst 32767)"));
}

TEST(EntryKeys, TheKeyTableMovesTheFocusBetweenTheFields) {
  using F = EntryField;
  using K = EntryKey;
  EXPECT_EQ(FocusAfterKey(F::kName, K::kEnter, false, false), F::kAccount);
  EXPECT_EQ(FocusAfterKey(F::kName, K::kDown, false, false), F::kAccount);
  EXPECT_EQ(FocusAfterKey(F::kName, K::kUp, false, false), std::nullopt);
  EXPECT_EQ(FocusAfterKey(F::kName, K::kLeft, true, false), F::kAccount);
  EXPECT_EQ(FocusAfterKey(F::kAccount, K::kEnter, false, false), F::kSide);
  EXPECT_EQ(FocusAfterKey(F::kAccount, K::kRight, false, true), F::kSide);
  EXPECT_EQ(FocusAfterKey(F::kAccount, K::kRight, false, false), std::nullopt);
  EXPECT_EQ(FocusAfterKey(F::kAccount, K::kLeft, true, false), F::kName);
  EXPECT_EQ(FocusAfterKey(F::kAccount, K::kLeft, false, true), std::nullopt);
  EXPECT_EQ(FocusAfterKey(F::kAccount, K::kDown, false, false), std::nullopt);
  EXPECT_EQ(FocusAfterKey(F::kSide, K::kPadPlus, false, false), F::kAmount);
  EXPECT_EQ(FocusAfterKey(F::kSide, K::kPadMinus, false, false), F::kAmount);
  EXPECT_EQ(FocusAfterKey(F::kSide, K::kUp, false, false), F::kName);
  EXPECT_EQ(FocusAfterKey(F::kAccount, K::kPadPlus, false, false), std::nullopt);
  EXPECT_EQ(FocusAfterKey(F::kAmount, K::kEnter, false, false), F::kRowOk);
  EXPECT_EQ(FocusAfterKey(F::kAmount, K::kLeft, true, true), F::kSide);
  EXPECT_EQ(FocusAfterKey(F::kRowOk, K::kEnter, false, false), std::nullopt);
}

TEST(TemplateLines, NameRowsAndCommentsAreReadAsTheEntryPlaysThem) {
  EXPECT_EQ(ClassifyTemplateLine("").kind, TemplateLine::kEmpty);
  EXPECT_EQ(ClassifyTemplateLine("  \t ").kind, TemplateLine::kEmpty);
  EXPECT_EQ(ClassifyTemplateLine(A("; fyll i lönen")).comment, A("fyll i lönen"));
  EXPECT_EQ(ClassifyTemplateLine("1930,100,+").kind, TemplateLine::kData);
  EXPECT_EQ(TemplateName(A("Lön #month"), 3), A("Lön Mars"));
  EXPECT_EQ(TemplateName(A("Hyra #MONTH och mer,x"), 12), "Hyra December");
  EXPECT_EQ(TemplateName("Hyra #Mont", 1), "Hyra #Mont");
  const TemplateRow r = ParseTemplateRow("930, 100.5 ,+");
  EXPECT_EQ(r.account, "0930");
  EXPECT_EQ(r.side, "+");
  EXPECT_EQ(r.amount, "100.50");
  EXPECT_FALSE(r.asksAmount);
  EXPECT_TRUE(ParseTemplateRow("1930,0.001,-").asksAmount);
  EXPECT_TRUE(ParseTemplateRow("1930,,-").asksAmount);
  EXPECT_EQ(ParseTemplateRow(A("1930,lön,-")).amount, A("lön"));
  EXPECT_TRUE(ParseTemplateRow("1930,55,=").balances);
  EXPECT_EQ(ParseTemplateRow("19300,1,+").account, "19300");  // no account, never 1930
}

TEST_F(EntryRules, ATemplatePlaysARowAtATimeAndClosesAtItsEnd) {
  eixport::GivenFileDialogs dialog(Template("lon.ver", A("; månadslön\r\nLön #month\r\n\r\n7010,25000,+\r\n"
                                                        "2440,0,-\r\n;skatten\r\n1930,123,=\r\n")));
  const eixport::ScopedFileDialogs installed(dialog);
  VerificationEntry e(s());
  ASSERT_TRUE(e.StartTemplate(0, folder_.path()));
  ASSERT_EQ(dialog.requests.size(), 1u);
  EXPECT_EQ(dialog.requests[0].filter, "import/export (*.ver) |*.ver");
  EXPECT_EQ(dialog.requests[0].startDir, folder_.path());
  EXPECT_EQ(dialog.requests[0].defaultExt, "ver");
  EXPECT_EQ(e.name(), A("Lön Mars"));
  EXPECT_EQ(e.status(), A("månadslön"));
  // The first row at once: an amount to confirm, the side as given (no sign filled in).
  EXPECT_EQ(e.account(), "7010");
  EXPECT_EQ(e.side(), "+");
  EXPECT_EQ(e.amount(), "25000.00");
  EXPECT_EQ(e.focus(), EntryField::kRowOk);
  ASSERT_TRUE(e.AcceptRow());
  // An amount of 0: the user types it.
  EXPECT_EQ(e.account(), "2440");
  EXPECT_EQ(e.focus(), EntryField::kAmount);
  EXPECT_TRUE(e.selectFocused());
  e.AmountTyped("7000");
  ASSERT_TRUE(e.AcceptRow());
  // "=" ignores the amount and balances.
  EXPECT_EQ(e.status(), "skatten");
  EXPECT_EQ(e.amount(), "18000.00");
  EXPECT_EQ(e.side(), "-");
  EXPECT_EQ(e.focus(), EntryField::kRowOk);
  EXPECT_TRUE(e.Playing());
  ASSERT_TRUE(e.AcceptRow());
  EXPECT_FALSE(e.Playing());
  EXPECT_EQ(eerror::StatusMsg, "Import/export av    7 rader    0");
  EXPECT_EQ(e.balance(), "0.00");
  EXPECT_EQ(e.Save(), SaveResult::kSaved);
}

TEST_F(EntryRules, ATemplateRowWithoutItsAccountWaitsInTheAccountField) {
  eixport::GivenFileDialogs dialog(Template("fel.ver", "Fel\n4444,10,+\n1930,10,x\n"));
  const eixport::ScopedFileDialogs installed(dialog);
  VerificationEntry e(s());
  ASSERT_TRUE(e.StartTemplate(0, folder_.path()));
  EXPECT_EQ(e.focus(), EntryField::kAccount);
  EXPECT_FALSE(e.AcceptRow());
  EXPECT_EQ(e.status(), A("kontot finns inte i databasen, dubbelklicka för att välja!"));
  e.AccountTyped("1930");
  ASSERT_TRUE(e.AcceptRow());
  EXPECT_EQ(e.focus(), EntryField::kSide);  // the side "x" is refused
  EXPECT_EQ(e.status(), A("tillåtna tecken endast (\"+\",\"-\",\"=\")"));
  EXPECT_TRUE(e.Playing());
  e.StopTemplate();
  EXPECT_FALSE(e.Playing());
  EXPECT_TRUE(e.Cancel());
}

TEST_F(EntryRules, ATemplateSavedAsUtf8KeepsItsLettersAndOneWithoutWindowsFormIsRefused) {
  {
    eixport::GivenFileDialogs dialog(Template("lon8.ver", "; månadslön\nLön för #MONTH\n7010,100,+\n"));
    const eixport::ScopedFileDialogs installed(dialog);
    VerificationEntry e(s());
    ASSERT_TRUE(e.StartTemplate(0, folder_.path()));
    EXPECT_EQ(e.name(), A("Lön för Mars"));
    EXPECT_EQ(e.status(), A("månadslön"));
    EXPECT_TRUE(e.Cancel());
  }
  eixport::GivenFileDialogs dialog(Template("pil.ver", "Hyra\n1930,100,+\n; → nästa\n"));
  const eixport::ScopedFileDialogs installed(dialog);
  VerificationEntry e(s());
  EXPECT_FALSE(e.StartTemplate(0, folder_.path()));
  EXPECT_FALSE(e.Playing());
  EXPECT_EQ(e.name(), "");
  EXPECT_EQ(e.status(), A("Kan ej läsa ixportfilen \"") + folder_.path() +
                            A("/pil.ver\": rad 3 har tecknet U+2192, som inte finns i Windows-1252"));
}

TEST_F(EntryRules, NoTemplateChosenNothingPlays) {
  VerificationEntry e(s());
  EXPECT_FALSE(e.StartTemplate(0, folder_.path()));  // no dialog can answer: cancelled
  EXPECT_FALSE(e.Playing());
}

}  // namespace
}  // namespace bf
