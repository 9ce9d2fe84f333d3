#pragma once
// A private lock folder for the embedded Firebird engine. The engine keeps
// its lock files in one folder per machine unless told otherwise, so each
// test process points FIREBIRD_LOCK at its own temporary folder before the
// first call into the client library.

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

class FirebirdLockEnvironment : public ::testing::Environment
{
  public:
    void SetUp() override
    {
        folder_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(folder_->isValid());
        qputenv("FIREBIRD_LOCK", QFile::encodeName(folder_->path()));
    }

  private:
    std::unique_ptr<QTemporaryDir> folder_;
};

// One registration per test program, however many files include this.
[[maybe_unused]] inline auto* const firebirdLockEnvironment =
    ::testing::AddGlobalTestEnvironment(new FirebirdLockEnvironment);
