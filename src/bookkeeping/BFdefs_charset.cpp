#include "bookkeeping/BFdefs_charset.h"

#include "shell/ESmall.h"

namespace bf {

bool OemOnWrite = false;

namespace {

bool HasOemLetter(std::string_view text) {
  constexpr std::string_view kOemLetters = "\x8F\x8E\x99\x86\x84\x94\x90\x82\x9A\x81\x92\x91";
  return text.find_first_of(kOemLetters) != std::string_view::npos;
}

using Hook = std::string (*)(std::string_view);

void Hooked(BfDataBasRecord& r, Hook hook) {
  r.name = hook(r.name);
  for (auto& group : r.sumGroups) group = hook(group);
}

void Hooked(KontoRecord& r, Hook hook) {
  r.number = hook(r.number);
  r.name = hook(r.name);
  r.reference = hook(r.reference);
}

void Hooked(VerRecord& r, Hook hook) { r.name = hook(r.name); }

}  // namespace

std::string WriteHook(std::string_view text) {
  return OemOnWrite ? esmall::AnsiToOem(text) : std::string(text);
}

std::string ReadHook(std::string_view text) {
  return HasOemLetter(text) ? esmall::OemToAnsi(text) : std::string(text);
}

void ApplyWriteHook(BfDataBasRecord& record) { Hooked(record, WriteHook); }
void ApplyWriteHook(KontoRecord& record) { Hooked(record, WriteHook); }
void ApplyWriteHook(VerRecord& record) { Hooked(record, WriteHook); }
void ApplyReadHook(BfDataBasRecord& record) { Hooked(record, ReadHook); }
void ApplyReadHook(KontoRecord& record) { Hooked(record, ReadHook); }
void ApplyReadHook(VerRecord& record) { Hooked(record, ReadHook); }

}  // namespace bf
