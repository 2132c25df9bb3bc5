// Saving never leaves a half-written file and never replaces a special file.
#include "common/safe_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using kelpira::common::write_file_safely;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class SafeFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kelpira_safe_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }
    fs::path dir_;
};

// Runs `f` as the unprivileged user "nobody" when the tests run as root, who may write in any
// folder.
bool unprivileged(const std::function<bool()>& f) {
    if (::geteuid() != 0) {
        return f();
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped && f() ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

}  // namespace

TEST_F(SafeFile, WritesNewFile) {
    const auto p = dir_ / "out.csv";
    ASSERT_TRUE(write_file_safely(p, [](std::ostream& o) {
        o << "a,b\n1,2\n";
        return true;
    }));
    EXPECT_EQ(slurp(p), "a,b\n1,2\n");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SafeFile, FailedWriteLeavesExistingFileAndNoTemporary) {
    const auto p = dir_ / "out.csv";
    std::ofstream(p) << "old";
    EXPECT_FALSE(write_file_safely(p, [](std::ostream& o) {
        o << "partial";
        return false;
    }));
    EXPECT_EQ(slurp(p), "old");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SafeFile, ReplacesExistingFileKeepingItsPermissions) {
    const auto p = dir_ / "out.csv";
    std::ofstream(p) << "old";
    ::chmod(p.c_str(), 0600);
    ASSERT_TRUE(write_file_safely(p, [](std::ostream& o) {
        o << "new";
        return true;
    }));
    EXPECT_EQ(slurp(p), "new");
    struct stat st {};
    ::stat(p.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(SafeFile, MissingFolderFails) {
    EXPECT_FALSE(write_file_safely(dir_ / "nope" / "out.csv", [](std::ostream& o) {
        o << "x";
        return true;
    }));
}

TEST_F(SafeFile, DevNullIsWrittenDirectlyAndNotReplaced) {
    ASSERT_TRUE(write_file_safely("/dev/null", [](std::ostream& o) {
        o << "discarded";
        return true;
    }));
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(SafeFile, FifoIsWrittenDirectly) {
    const auto p = dir_ / "pipe";
    ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
    std::string got;
    std::thread reader([&] { got = slurp(p); });
    ASSERT_TRUE(write_file_safely(p, [](std::ostream& o) {
        o << "through the pipe";
        return true;
    }));
    reader.join();
    EXPECT_EQ(got, "through the pipe");
    struct stat st {};
    ::stat(p.c_str(), &st);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(SafeFile, ASymlinkKeepsPointingAtTheReplacedTarget) {
    fs::create_directories(dir_ / "data");
    const auto target = dir_ / "data" / "out.csv";
    std::ofstream(target) << "old";
    const auto link = dir_ / "latest.csv";
    fs::create_symlink("data/out.csv", link);
    ASSERT_TRUE(write_file_safely(link, [](std::ostream& o) {
        o << "new";
        return true;
    }));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(slurp(target), "new");
    EXPECT_EQ(entries(), 2u);
    // A link to a file not made yet makes it.
    const auto dangling = dir_ / "next.csv";
    fs::create_symlink(dir_ / "data" / "next.csv", dangling);
    ASSERT_TRUE(write_file_safely(dangling, [](std::ostream& o) {
        o << "first";
        return true;
    }));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(slurp(dir_ / "data" / "next.csv"), "first");
}

TEST_F(SafeFile, AWritableFileInAReadOnlyFolderIsWrittenInPlace) {
    const auto p = dir_ / "out.csv";
    std::ofstream(p) << "old";
    ::chmod(p.c_str(), 0666);
    ::chmod(dir_.c_str(), 0555);
    const bool failed_write = unprivileged([&p] {
        return !write_file_safely(p, [](std::ostream& o) {
            o << "partial";
            return false;
        });
    });
    const std::string after_failure = slurp(p);
    const bool written = unprivileged([&p] {
        return write_file_safely(p, [](std::ostream& o) {
            o << "new";
            return true;
        });
    });
    const bool new_file_refused = unprivileged([this] {
        return !write_file_safely(dir_ / "other.csv", [](std::ostream& o) {
            o << "x";
            return true;
        });
    });
    ::chmod(dir_.c_str(), 0755);
    EXPECT_TRUE(failed_write);
    EXPECT_EQ(after_failure, "old");
    EXPECT_TRUE(written);
    EXPECT_TRUE(new_file_refused);
    EXPECT_EQ(slurp(p), "new");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SafeFile, ALinkAnotherUserPlantedInASharedFolderIsRefused) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to make a link of another user";
    }
    // A folder like /tmp: anyone may write, only owners may delete.
    const auto shared = dir_ / "tmp";
    fs::create_directories(shared);
    ::chmod(shared.c_str(), 01777);
    const auto precious = dir_ / "precious";
    std::ofstream(precious) << "years of data";
    const auto planted = shared / "results.csv";
    fs::create_symlink(precious, planted);
    ASSERT_EQ(::lchown(planted.c_str(), 65534, 65534), 0);
    std::string refusal;
    EXPECT_FALSE(write_file_safely(
        planted,
        [](std::ostream& o) {
            o << "new";
            return true;
        },
        &refusal));
    EXPECT_EQ(refusal, planted.string() +
                           " is a link that belongs to nobody, in a folder anyone may write: "
                           "not followed");
    EXPECT_EQ(slurp(precious), "years of data");
    EXPECT_TRUE(fs::is_symlink(planted));

    // The user's own link there is followed, as is another user's link in a folder that is
    // not shared.
    ASSERT_EQ(::lchown(planted.c_str(), 0, 0), 0);
    EXPECT_TRUE(write_file_safely(planted, [](std::ostream& o) {
        o << "mine";
        return true;
    }));
    EXPECT_EQ(slurp(precious), "mine");
    ASSERT_EQ(::lchown(planted.c_str(), 65534, 65534), 0);
    ::chmod(shared.c_str(), 0755);
    EXPECT_TRUE(write_file_safely(planted, [](std::ostream& o) {
        o << "theirs";
        return true;
    }));
    EXPECT_EQ(slurp(precious), "theirs");
}

TEST_F(SafeFile, ANewFileGetsTheUmaskThroughTheDescriptorThatMadeIt) {
    const mode_t old = ::umask(027);
    const auto p = dir_ / "new.csv";
    const bool ok = write_file_safely(p, [](std::ostream& o) {
        o << std::string(200000, 'x');  // more than one buffer of the writer
        return true;
    });
    ::umask(old);
    ASSERT_TRUE(ok);
    EXPECT_EQ(slurp(p), std::string(200000, 'x'));
    struct stat st {};
    ::stat(p.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(SafeFile, AWriterByPathGetsATemporaryBesideTheTarget) {
    const auto p = dir_ / "out.nc";
    std::ofstream(p) << "old";
    ::chmod(p.c_str(), 0600);
    const auto write_by_path = [](const std::string& text, bool result) {
        return [text, result](const std::string& temporary) {
            // A library that writes by path may make the file anew under the name.
            fs::remove(temporary);
            std::ofstream(temporary) << text;
            return result;
        };
    };
    EXPECT_FALSE(kelpira::common::write_path_safely(p, write_by_path("partial", false)));
    EXPECT_EQ(slurp(p), "old");
    EXPECT_EQ(entries(), 1u);

    ASSERT_TRUE(kelpira::common::write_path_safely(p, write_by_path("new", true)));
    EXPECT_EQ(slurp(p), "new");
    EXPECT_EQ(entries(), 1u);
    struct stat st {};
    ::stat(p.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    std::string refusal;
    EXPECT_FALSE(
        kelpira::common::write_path_safely("/dev/null", write_by_path("x", true), &refusal));
    EXPECT_EQ(refusal, "/dev/null is not a regular file");

    ::chmod(p.c_str(), 0666);
    ::chmod(dir_.c_str(), 0555);
    const bool in_place = unprivileged(
        [&] { return kelpira::common::write_path_safely(p, write_by_path("in place", true)); });
    ::chmod(dir_.c_str(), 0755);
    EXPECT_TRUE(in_place);
    EXPECT_EQ(slurp(p), "in place");
}
