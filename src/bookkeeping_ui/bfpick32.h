// The bookkeeping's pick lists on the pick-list frame: accounts (TKontoPick), sum groups
// (TGruppPick) and verifications (TVerPick), and the two ways the program uses the account
// list: one account chosen (PickKonto) and the accounts of a sum group chosen
// (PickGroupAccounts). No windows here: each takes the PickWindows that shows its window.
//
// The account and verification lists read through the shared buffers, as every read of the
// books does: after a pick, GetPickData leaves the picked record in its buffer (s.konto,
// s.ver).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bookkeeping/BFFiler.h"
#include "registers/epickForm32.h"

namespace bf {

// The read operation of BfAccess that a frame's FixtSelect operation is on the account and
// verification files.
BfOperation AccessOf(ereg::FixtOp op);

// The account as the account register and the account pick list list it: the number, a
// blank and a double quote, the name filled up with dots to 8 characters, a double quote
// and a blank, and the closing balance with two decimals right-aligned in 11 characters.
std::string AccountLine(const KontoRecord& account);

class TKontoPick : public ereg::TEPick {
 public:
  // Every account in key order. group 1..8: the accounts that groups puts in that sum group
  // start selected; 0: none does.
  TKontoPick(ereg::PickWindows& owner, BfShared& s, std::string caption, bool multi, int group = 0,
             const BfDataBasRecord* groups = nullptr);

 protected:
  void FormPickStr(std::string& line, int32_t& recNo) override;
  void FixtSelect(ereg::FixtOp op, const std::string& key, int32_t& recNo, bool& found, bool& atEnd) override;

 private:
  BfShared& s_;
  int group_;
  const BfDataBasRecord* groups_;
};

// The nine sum groups of the open bookkeeping: entry g is group g's definition (its first
// 16 characters filled with dots), its opening total and its total; picked by g.
class TGruppPick : public ereg::TEPick {
 public:
  TGruppPick(ereg::PickWindows& owner, BfShared& s, std::string caption, bool multi);

 protected:
  void InitTheListData() override;
  // The groups are made whole by InitTheListData; a line is never asked for.
  void FormPickStr(std::string& line, int32_t& recNo) override;
  void FixtSelect(ereg::FixtOp op, const std::string& key, int32_t& recNo, bool& found, bool& atEnd) override;

 private:
  BfShared& s_;
};

// The verifications in file order: number (four digits), a blank, the name in double
// quotes and a blank.
class TVerPick : public ereg::TEPick {
 public:
  TVerPick(ereg::PickWindows& owner, BfShared& s, std::string caption, bool multi);

 protected:
  void FormPickStr(std::string& line, int32_t& recNo) override;
  void FixtSelect(ereg::FixtOp op, const std::string& key, int32_t& recNo, bool& found, bool& atEnd) override;

 private:
  BfShared& s_;
};

// One account chosen in a single-choice account list with caption ("visar konton"). True
// when the user confirmed a line; recNo is the account's record number (-1 when none) and
// s.konto holds it.
bool PickKonto(ereg::PickWindows& owner, BfShared& s, const std::string& caption, int32_t& recNo);

// How many accounts a sum group chosen by list keeps: the definition stays below 65
// characters, four digits and a comma each.
constexpr int kMaxGroupAccounts = 13;

// The definition of a sum group chosen by list: the numbers in order, separated by ",",
// as long as the definition stays below 65 characters (kMaxGroupAccounts); dropped tells how
// many did not fit.
std::string GroupDefinition(const std::vector<std::string>& numbers, int& dropped);

// The accounts of sum group g (1..8) chosen in a multiple-choice account list ("välj
// konto(n)") that starts with the accounts record puts in g selected. On confirm record's
// entry g becomes their definition (GroupDefinition; none selected gives an empty one, the
// status line says when accounts were dropped) and true is returned; a cancel, or a
// bookkeeping without accounts (no window), changes nothing.
bool PickGroupAccounts(ereg::PickWindows& owner, BfShared& s, BfDataBasRecord& record, int g);

}  // namespace bf
