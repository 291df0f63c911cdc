// bfnolk's ver add and ver play: a verification entered through the same entry rules as the
// window's dialog (bf::VerificationEntry), with the same messages and the same rounding.
#pragma once

#include "app/bfnolk_arguments.h"
#include "app/bfnolk_session.h"

namespace bfnolk {

// ver add --text T [--date D] KONTO:SIDA:BELOPP ...: the rows in order; saved only when the
// verification balances, else every row is taken back.
int VerAdd(Session& session, const Arguments& a);

// ver play FILE.ver [--text T] [--amount ROW=AMOUNT]...: the template played as the dialog
// plays it. The rows whose amount the user types need --amount, else nothing is posted and
// the command names them; saved only when the verification balances.
int VerPlay(Session& session, const Arguments& a);

}  // namespace bfnolk
