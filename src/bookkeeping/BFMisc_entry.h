// Entering verifications and keeping accounts: the operations the entry dialog, the account
// register and bfnolk all call, so that every face books the same way.
//
// A verification is built row by row in the shared verification buffer; each row is posted
// on its account at once (and the account rewritten), so the accounts and totals always
// hold every row entered. Saving needs rows and a displayed balance of 0.00; cancelling
// posts every row back. An operation that is refused changes nothing: no row, no total, no
// account.
#pragma once

#include <string>

#include "bookkeeping/BFFiler.h"

namespace bf {

// A fresh verification in the buffer: numbered one above the list's last number, dated
// today, every side the account buffer's sign.
void PrepareFreshVerification(BfShared& s);

// Whether a verification can still be numbered: false, with the status line saying so, when
// the last number is already the largest a verification holds (32767).
bool VerificationNumberLeft(const BfShared& s);

// The balance rule: the balance shown with two decimals is 0.00 (or -0.00).
bool IsBalanced(const VerRecord& v);

enum class RowResult { kPosted, kFull, kNoAccount, kNotPosted };

// Adds a row for account (four digits) with side and amount to the verification buffer and
// posts it. kFull when the verification already has 100 rows, kNoAccount when no such
// account exists, kNotPosted when the side is neither debit nor credit, a sum would not fit
// or the account could not be rewritten (the engine's error state then says why).
RowResult AddVerificationRow(BfShared& s, int account, char side, double amount);

enum class SaveResult { kSaved, kNoRows, kUnbalanced, kFailed };

// Saves the buffer as the next verification with name and date, and writes the list record
// with its new last number and totals: with no rows nothing happens; unbalanced, the status
// line says "verifikationen ej balanserad" with a beep. kFailed when the engine refused or
// the last number is already the largest a verification can hold (32767).
SaveResult SaveVerification(BfShared& s, const std::string& name, const std::string& date);

// Undoes every row of the buffer on its account and the totals, and prepares a fresh
// verification. False when an account could not be rewritten (the rows not yet undone stay
// in the buffer, so a retry finishes the work).
bool CancelVerification(BfShared& s);

// Whether anything is posted on the account: a debit or credit, or a row of a saved
// verification (a row of 0.00 too). A file that cannot be read counts as holding rows, so
// that no account is renumbered on a guess.
bool HasPostings(BfShared& s, const KontoRecord& k);

// The account in the buffer stored after it was edited: added when isNew (recNo receives
// its number; debit and credit start at 0), else rewritten at recNo; its closing balance
// follows, key 1 is added and its opening balance enters the totals. The other half of
// taking an account out for editing (DeleteKonto without deleteRecord, then TakeOpeningOut).
// False, with the buffer and the totals as before, when the closing balance would not fit
// or the engine refused.
bool PutAccountBack(BfShared& s, bool isNew, int32_t& recNo);

// Adds (isNew) or changes the account at recNo to `edited`: the opening balance leaves and
// re-enters the totals, a changed account keeps its debit and credit, a new one starts at
// 0, the closing balance follows, and the key follows the number. False, with nothing
// changed, when the engine refused, (for a new account or a new number) the number is
// already in use (DuplicateAccountText), or a new number is given to an account with
// postings (PostedAccountText), which the verifications name by its old number. The status
// line says why for the last two.
bool SaveAccount(BfShared& s, bool isNew, int32_t& recNo, const KontoRecord& edited);

// Why an account number is refused: another account has it; the account has postings.
std::string DuplicateAccountText(const std::string& number);
std::string PostedAccountText(const std::string& number);

// The account file's delete operation: kFindKey finds key first (recNo 0 when absent),
// kAtRecord takes recNo; then the account at recNo loses its key. Without deleteRecord that is all (the caller
// adds the key again when it writes the account back). With it, an account whose |debit| +
// |credit| + |closing balance|, rounded to a whole number (ties to even), is not 0 gets its key
// back and the status line says why; otherwise the record goes, its opening balance and
// postings leave the totals (the postings as an opposite posting), and the status line
// says so. True when the account was deleted (or, without deleteRecord, its key).
bool DeleteKonto(BfShared& s, BfOperation operation, const std::string& key, int32_t recNo, bool deleteRecord);

}  // namespace bf
