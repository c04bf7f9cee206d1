#pragma once
// The one place a unit test keeps files: a directory of the running test's own
// under $TMPDIR, made when the test first asks for it and removed with all it
// holds when the test ends, pass or fail.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "tests/support/TemporaryDirectory.h"

class CTestDirectory : public ::testing::EmptyTestEventListener {
public:
    // The running test's directory, ending in '/'. The first call in a
    // process also has the test framework call OnTestEnd on this listener.
    static const std::string& Path()
    {
        static CTestDirectory* const listener = Register();
        if (listener->path.empty()) {
            const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
            std::string prefix = info ? std::string(info->test_suite_name()) + "." + info->name() + "." : "test.";
            for (char& c : prefix)
                if (c == '/') c = '_';
            listener->path = MakeTemporaryDirectory(prefix.substr(0, 80));
            EXPECT_FALSE(listener->path.empty()) << "no test directory under $TMPDIR";
        }
        return listener->path;
    }

    void OnTestEnd(const ::testing::TestInfo&) override
    {
        if (path.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
        path.clear();
    }

private:
    static CTestDirectory* Register()
    {
        CTestDirectory* listener = new CTestDirectory;
        ::testing::UnitTest::GetInstance()->listeners().Append(listener); // the framework owns it from here
        return listener;
    }

    std::string path;
};

// A name in the running test's directory.
inline std::string TestPath(const std::string& leaf) { return CTestDirectory::Path() + leaf; }

// Works in the test's directory from construction (a fixture member) to
// destruction, so that relative names (the files key w writes) land there.
class CWorkInTestDirectory {
public:
    CWorkInTestDirectory()
    {
        std::error_code failed;
        old = std::filesystem::current_path(failed);
        EXPECT_FALSE(failed) << failed.message();
        std::filesystem::current_path(CTestDirectory::Path(), failed);
        EXPECT_FALSE(failed) << failed.message();
    }
    ~CWorkInTestDirectory()
    {
        std::error_code failed;
        std::filesystem::current_path(old, failed);
        EXPECT_FALSE(failed) << failed.message();
    }
    CWorkInTestDirectory(const CWorkInTestDirectory&) = delete;
    CWorkInTestDirectory& operator=(const CWorkInTestDirectory&) = delete;

private:
    std::filesystem::path old;
};
