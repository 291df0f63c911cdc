// The character-set hooks every bookkeeping text passes on its way to and from the files.
//
// Writing: when the program-wide OEM switch is on, text is converted from Windows-1252 to
// the OEM code page 850; it is off by default and the text is then stored as it is.
// Reading: a text holding any of the twelve code page 850 bytes of Å Ä Ö å ä ö É é Ü ü Æ æ
// is converted from code page 850 as a whole, so files written with the switch on (and
// the default group name, stored in 850 form) read back in Windows-1252 either way.
#pragma once

#include <string>
#include <string_view>

#include "bookkeeping/BFdefs.h"

namespace bf {

// The program-wide OEM switch of the write hook.
extern bool OemOnWrite;

std::string WriteHook(std::string_view text);
std::string ReadHook(std::string_view text);

// The hooked fields of each record: the list record's name and its nine group texts, the
// account's number, name and reference, the verification's name. Sums records have none.
void ApplyWriteHook(BfDataBasRecord& record);
void ApplyWriteHook(KontoRecord& record);
void ApplyWriteHook(VerRecord& record);
void ApplyReadHook(BfDataBasRecord& record);
void ApplyReadHook(KontoRecord& record);
void ApplyReadHook(VerRecord& record);

}  // namespace bf
