// What the template fuzzer feeds to the verification entry, shared by the libFuzzer program
// (fuzz/) and the bookkeeping tests, which run every seed and every input the fuzzer once
// found through the same code. Any bytes as a ".ver" file: read line by line through the
// exchange file, each line sorted and parsed, then played into an entry on a small
// bookkeeping as a user would play it (typing what a row asks for, putting right what it
// refuses) and cancelled. Nothing may crash, every line read stays within 255 characters,
// and after the cancel the accounts are exactly as before.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFMisc_entry.h"
#include "bookkeeping/bfverform_entry.h"
#include "exchange/EfileDlg.h"
#include "exchange/Eixport.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "storage/Filer.h"

namespace fuzz {

// A bookkeeping of three accounts in a folder of its own, with the storage engine started,
// for as long as it lives.
class TemplateBooks {
 public:
  TemplateBooks() {
    dir_ = (std::filesystem::path(std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp") /
            ("bfnolk-template-fuzz-" + std::to_string(::getpid())))
               .string();
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    eerror::InstallMessageBoxes(&boxes_);
    isam::InitIsam(0, isam::kDefaultBuffers);
    ekonfig::Konfig.SetCurBase(0);
    db_ = std::make_unique<bf::BfDatabase>(dir_);
    if (!db_->CreateBookkeepingList() || !db_->BeginNewBookkeeping() || !db_->FinishNewBookkeeping()) std::abort();
    for (const char* number : {"1930", "2440", "3010"}) {
      bf::KontoRecord k;
      k.number = number;
      k.name = "konto";
      k.sign = number[0] == '1' ? '+' : '-';
      int32_t recNo = 0;
      if (!bf::SaveAccount(db_->shared(), true, recNo, k)) std::abort();
    }
    accounts_ = Accounts();
  }
  ~TemplateBooks() {
    db_.reset();
    isam::ExitIsam();
    eerror::InstallMessageBoxes(nullptr);
    std::filesystem::remove_all(dir_);
  }

  bf::BfShared& s() { return db_->shared(); }
  const std::string& dir() const { return dir_; }
  std::vector<bf::KontoRecord> Accounts() {
    std::vector<bf::KontoRecord> all;
    bf::ForEachAccount(s(), [&](const bf::KontoRecord& k, int32_t) {
      all.push_back(k);
      return true;
    });
    return all;
  }
  const std::vector<bf::KontoRecord>& before() const { return accounts_; }

 private:
  std::string dir_;
  eerror::RecordingMessageBoxes boxes_;
  std::unique_ptr<bf::BfDatabase> db_;
  std::vector<bf::KontoRecord> accounts_;
};

inline void RunTemplateTarget(TemplateBooks& books, const uint8_t* data, size_t size) {
  const std::string file = books.dir() + "/mall.ver";
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                 static_cast<std::streamsize>(size));
  // A file refused for its text (it starts as UTF-8 and is not) is refused by every reader
  // below, and nothing is posted.
  bool readable = false;
  {
    eixport::IxportFile f;
    readable = f.OpenByName(0, eixport::Mode::kOpen, file, 0);
    std::string line;
    while (readable && f.ReadLine(line)) {
      if (line.size() > eixport::kMaxLine) std::abort();
      bf::ClassifyTemplateLine(line);
      bf::TemplateName(line, 3);
      const bf::TemplateRow row = bf::ParseTemplateRow(line);
      if (row.side.size() > 1 || (!row.asksAmount && row.amount.find('.') == std::string::npos)) std::abort();
    }
    f.Close();
  }
  std::vector<int> asking;
  if (bf::TemplateRowsAskingAmount(file, asking) != readable) std::abort();

  eixport::GivenFileDialogs dialog(file);
  const eixport::ScopedFileDialogs installed(dialog);
  {
    bf::VerificationEntry entry(books.s());
    if (entry.StartTemplate(0, books.dir()) != readable) std::abort();
    // Every row played is accepted, what it refuses put right the way a user would.
    for (int tries = 0; entry.Playing() && tries < 4 * bf::kMaxRows; ++tries) {
      if (entry.AcceptRow()) continue;
      switch (entry.focus()) {
        case bf::EntryField::kAccount: entry.AccountTyped("1930"); break;
        case bf::EntryField::kSide: entry.SideTyped("+"); break;
        case bf::EntryField::kAmount: entry.AmountTyped("1"); break;
        default: entry.StopTemplate(); break;
      }
    }
    if (!entry.Cancel()) std::abort();
  }
  if (books.Accounts() != books.before()) std::abort();
}

}  // namespace fuzz
