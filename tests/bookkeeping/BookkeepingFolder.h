// One bookkeeping, made fresh in a folder of its own for one test and removed afterwards:
// the list with a single bookkeeping open, message boxes and progress windows recorded.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../storage/TempFolder.h"
#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFMisc_entry.h"
#include "shell/ECountForm.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"

namespace bf {

class BookkeepingFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(isam::InitIsam(0, 200), 0);
    ekonfig::Konfig.SetCurBase(0);
    previousProgress_ = ecountform::InstallProgressWindows(&progress_);
    db_ = std::make_unique<BfDatabase>(folder_.path());
    ASSERT_TRUE(db_->CreateBookkeepingList());
    ASSERT_TRUE(db_->BeginNewBookkeeping());
    db_->shared().dataBas.name = "prov";
    db_->shared().dataBas.fromDate = "2026-01-01";
    db_->shared().dataBas.toDate = "2026-12-31";
    ASSERT_TRUE(db_->FinishNewBookkeeping());
  }
  void TearDown() override {
    db_.reset();
    ecountform::InstallProgressWindows(previousProgress_);
    isam::ExitIsam();
  }

  BfShared& s() { return db_->shared(); }

  // A new account through the account register's save; its record number.
  int32_t NewAccount(const std::string& number, double opening) {
    KontoRecord k;
    k.number = number;
    k.name = "konto";
    k.opening = *Real6::FromDouble(opening);
    int32_t recNo = 0;
    EXPECT_TRUE(SaveAccount(s(), true, recNo, k)) << number;
    return recNo;
  }

  // The account as stored, found by its key.
  KontoRecord Account(const std::string& number) {
    int32_t at = 0;
    bool found = false, atEnd = false;
    BfAccess(s(), kKontoFile, kFindKey, number, at, found, atEnd);
    EXPECT_TRUE(found) << number;
    return s().konto;
  }

  TempFolder folder_;
  std::unique_ptr<BfDatabase> db_;
  eerror::RecordingMessageBoxes boxes_;
  eerror::ScopedMessageBoxes installed_{boxes_};
  ecountform::RecordingProgressWindows progress_;
  ecountform::ProgressWindows* previousProgress_ = nullptr;
};

}  // namespace bf
