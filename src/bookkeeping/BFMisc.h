// Posting: how every amount enters the bookkeeping's totals.
//
// PostRow books one verification row on the account buffer and on the verification's
// balance; PostTotal adds a signed amount to the running totals of the list record and to
// the pending month sums. Invariants kept by every operation here: an account's closing
// balance = opening + |debit| - |credit|; the grand total = the opening balances (after the
// carry-forward rule) plus every posting; a group total per GroupOfAccount; a reversal is
// an opposite posting, so pending month sums hold +x in the debit and -x in the credit sums
// of a cancelled debit row. Every sum is stored in whole öre (Real6::FromMoney, WholeOre),
// so no number of postings makes it drift. An operation that cannot be carried out whole
// changes nothing.
#pragma once

#include "bookkeeping/BFFiler.h"

namespace bf {

// The kinds of PostTotal: tens digit 2 an opening balance, otherwise a posting; units digit
// 0 the year-end carry-forward, which drops the balances of accounts from 29xx on.
constexpr int kPostRow = 11;
constexpr int kPostCarryForward = 20;
constexpr int kPostOpening = 21;

// "+", "D", "d" and a blank are debit; "-", "K" and "k" credit.
bool IsDebitSide(char side);
bool IsCreditSide(char side);

// Books row (1..100) of the verification buffer on the account buffer, which holds the
// row's account; the caller rewrites the account. False, with nothing changed, for a row
// outside the arrays, a side that is neither debit nor credit, or a sum beyond what a Real6
// holds to the öre (Real6::kMaxMoney).
bool PostRow(BfShared& s, char side, int factor, int row);

// Adds amount to the totals by kind for the account in the buffer; a carry-forward of an
// account from 29xx on sets amount to 0 first. False, with nothing changed, when a pending
// month sum would go beyond Real6::kMaxMoney.
bool PostTotal(BfShared& s, Real6& amount, int kind);

// An account's closing balance from its opening balance, debit and credit; false (and the
// record unchanged) when it is beyond Real6::kMaxMoney.
bool UpdateClosing(KontoRecord& konto);

// The pending month sums start empty when a bookkeeping is opened.
void ClearPendingSums(BfShared& s);

// Adds the pending month sums into the record of today's month (yyyy-mm, through the clock
// interface) in the sums file, made with zero sums when the month has none yet, and sets
// each group's balance from the list record's totals. The pending sums are cleared only
// when the month record was written; false (an engine error, or a month sum beyond
// Real6::kMaxMoney) leaves them pending.
bool FlushMonthSums(BfShared& s);

// Account maintenance: before an existing account is changed its opening balance leaves
// the totals (grand total, its group's opening total, total 1020 for 1020); afterwards the
// opening balance then in the buffer comes back, in the group of the number then in it.
void TakeOpeningOut(BfShared& s);
void PutOpeningBack(BfShared& s);

// The totals of record (grand total, total 1020, and per group of record's own definitions
// the posted and the opening totals) set to what the accounts hold, as a rebuild computes
// them; the last verification number is left alone. False, with record unchanged, when an
// account could not be read.
bool TotalsFromAccounts(BfShared& s, BfDataBasRecord& record);

// The year-end carry-forward of the account buffer: the closing balance becomes the
// opening balance (0 from 29xx on), debit and credit 0; its totals go to the opening
// totals. The caller rewrites the account.
void CarryForward(BfShared& s);

}  // namespace bf
