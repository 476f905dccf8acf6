// A fresh database in a private temporary folder for each test.
#pragma once

#include "localdb/localdb.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kestrim-engine-XXXXXX";
        folder_ = mkdtemp(pattern);
        path_ = (folder_ / "test.kdb").string();
        localdb::Session::createDatabase(path_, "MANAGER");
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::unique_ptr<localdb::Session> connect(const std::string &user = "SYSTEM", const std::string &password = "MANAGER") {
        return localdb::Session::open(path_, user, password);
    }

    // The first column of the first row as text ("" for no row, "NULL" for null).
    static std::string scalar(localdb::Session &s, const std::string &sql) {
        auto c = s.query(sql);
        if (!c->next())
            return "";
        const localdb::Value &v = c->value(0);
        if (localdb::isNull(v))
            return "NULL";
        if (auto *i = std::get_if<std::int64_t>(&v))
            return std::to_string(*i);
        if (auto *t = std::get_if<std::string>(&v))
            return *t;
        if (auto *d = std::get_if<double>(&v))
            return std::to_string(*d);
        return "?";
    }

    std::filesystem::path folder_;
    std::string path_;
};
