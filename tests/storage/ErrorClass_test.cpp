#include "storage/Filer_error.h"

#include <gtest/gtest.h>

TEST(ErrorClass, TableOfClasses) {
  using isam::ErrorClassOf;
  EXPECT_EQ(ErrorClassOf(0), 0);
  for (int e : {9903, 10200, 10250, 10299, 10410}) EXPECT_EQ(ErrorClassOf(e), 1) << e;
  for (int e : {9900, 10065, 10110, 10306, 10330, 10332, 10335, 10355, 10360, 10390, 10397, 10399})
    EXPECT_EQ(ErrorClassOf(e), 2) << e;
  for (int e : {10001, 10004, 10009}) EXPECT_EQ(ErrorClassOf(e), 3) << e;
  for (int e : {9901, 9904, 10000, 10010, 10140, 10180, 10300, 10411, 10455}) EXPECT_EQ(ErrorClassOf(e), 4) << e;
}

TEST(ErrorClass, FirstSystemErrorIsKept) {
  isam::ClearError();
  isam::SetOsError(isam::kErrSystemFailure, 5);
  isam::SetOsError(isam::kErrShortWrite, 28);
  EXPECT_FALSE(isam::IsamSuccess);
  EXPECT_EQ(isam::IsamError, isam::kErrShortWrite);
  EXPECT_EQ(isam::IsamDosError, 5);
  isam::ClearError();
  EXPECT_TRUE(isam::IsamSuccess);
  EXPECT_EQ(isam::IsamDosError, 0);
}
