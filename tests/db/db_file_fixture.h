// A fresh engine database in a private folder, opened through the session object as the windows
// open theirs (SYSTEM); removed after each test.
#pragma once

#include "db/session_factory.h"

#include "localdb/localdb.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

class DbFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kestrim-db-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        path_ = (folder_ / "test.kdb").string();
        localdb::Session::createDatabase(path_, "MANAGER");
        session_ = db::CreateSessionObject(db::kSessionProgId);
        database_ = session_->OpenDatabase(path_, "system/manager", 0);
    }
    void TearDown() override
    {
        database_.reset();
        session_.reset();
        std::filesystem::remove_all(folder_);
    }

    std::filesystem::path folder_;
    std::string path_;
    std::shared_ptr<db::OraSession> session_;
    std::shared_ptr<db::OraDatabase> database_;
};
