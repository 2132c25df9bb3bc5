// Saving never leaves a half-written file and never replaces a special file.
#include "common/safe_file.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

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

TEST_F(SafeFile, ALinkOfAnotherUserIsRefusedAtAnyLevel) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to make a link of another user";
    }
    // A folder like /tmp (anyone may write, only owners may delete) and one of the user's own.
    const auto shared = dir_ / "tmp";
    fs::create_directories(shared);
    ::chmod(shared.c_str(), 01777);
    const auto victim = dir_ / "victimdir";
    fs::create_directories(victim);
    std::ofstream(victim / "results.csv") << "years of data";
    const auto save = [](const fs::path& p, std::string& refusal) {
        return write_file_safely(
            p,
            [](std::ostream& o) {
                o << "new";
                return true;
            },
            &refusal);
    };
    struct Case {
        fs::path link;
        fs::path points_to;
        fs::path saved_as;
    };
    const Case cases[] = {
        {shared / "results.csv", victim / "results.csv", shared / "results.csv"},
        {shared / "out", victim, shared / "out" / "results.csv"},
        {dir_ / "mine", victim, dir_ / "mine" / "results.csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.saved_as);
        fs::create_symlink(c.points_to, c.link);
        ASSERT_EQ(::lchown(c.link.c_str(), 65534, 65534), 0);
        std::string refusal;
        EXPECT_FALSE(save(c.saved_as, refusal));
        EXPECT_EQ(refusal, c.link.string() + " is a link that belongs to nobody: not followed");
        EXPECT_EQ(slurp(victim / "results.csv"), "years of data");
        EXPECT_TRUE(fs::is_symlink(c.link));
        // The user's own link there is followed.
        ASSERT_EQ(::lchown(c.link.c_str(), 0, 0), 0);
        refusal.clear();
        EXPECT_TRUE(save(c.saved_as, refusal)) << refusal;
        EXPECT_EQ(slurp(victim / "results.csv"), "new");
        std::ofstream(victim / "results.csv") << "years of data";
        fs::remove(c.link);
    }
}

TEST_F(SafeFile, AnotherUsersPipeIsRefusedAndTheirsOnly) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to make a pipe of another user";
    }
    const auto p = dir_ / "planted";
    ASSERT_EQ(::mkfifo(p.c_str(), 0666), 0);
    ASSERT_EQ(::chown(p.c_str(), 65534, 65534), 0);
    // Their reader is there, so a save that wrote would not block.
    const int reader = ::open(p.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::string refusal;
    EXPECT_FALSE(write_file_safely(
        p,
        [](std::ostream& o) {
            o << "the whole table";
            return true;
        },
        &refusal));
    EXPECT_EQ(refusal, p.string() + " is a pipe that belongs to nobody: not written");
    char got[16];
    EXPECT_EQ(::read(reader, got, sizeof got), 0);
    ::close(reader);
}

TEST_F(SafeFile, TheTemporaryIsTheUsersAloneUntilComplete) {
    const mode_t old = ::umask(022);
    struct Case {
        const char* name;
        int existing_mode;  // -1: a new file
        mode_t final_mode;
    };
    const Case cases[] = {
        {"private.csv", 0600, 0600}, {"shared.csv", 0644, 0644}, {"new.csv", -1, 0644}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto p = dir_ / c.name;
        if (c.existing_mode >= 0) {
            std::ofstream(p) << "old";
            ::chmod(p.c_str(), static_cast<mode_t>(c.existing_mode));
        }
        std::vector<mode_t> seen;
        ASSERT_TRUE(write_file_safely(p, [&](std::ostream& o) {
            for (int i = 0; i < 3; ++i) {
                o << std::string(100000, 'x') << std::flush;
                for (const auto& e : fs::directory_iterator(dir_)) {
                    if (e.path().filename().string().rfind(std::string(c.name) + ".", 0) == 0) {
                        struct stat st {};
                        ::stat(e.path().c_str(), &st);
                        seen.push_back(st.st_mode & 0777);
                    }
                }
            }
            return true;
        }));
        EXPECT_EQ(seen, std::vector<mode_t>({0600, 0600, 0600}));
        struct stat st {};
        ::stat(p.c_str(), &st);
        EXPECT_EQ(st.st_mode & 0777, c.final_mode);
        fs::remove(p);
    }
    ::umask(old);
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
            // Its folder is closed to others, whatever the library makes in it.
            struct stat folder {};
            if (::stat(fs::path(temporary).parent_path().c_str(), &folder) != 0 ||
                (folder.st_mode & 0777) != 0700) {
                return false;
            }
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

TEST_F(SafeFile, InPlaceWithoutRoomLeavesTheFileAsItWas) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to mount a small file system";
    }
    const auto p = dir_ / "out.csv";
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A mount of this child's own, gone with it.
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=64k") != 0) {
            ::_exit(77);
        }
        std::ofstream(p) << "old";
        ::chmod(p.c_str(), 0666);
        ::chmod(dir_.c_str(), 0555);
        std::string refusal;
        const bool written = unprivileged([&] {
            return write_file_safely(
                p,
                [](std::ostream& o) {
                    o << std::string(200000, 'x');
                    return true;
                },
                &refusal);
        });
        const std::string left = slurp(p);
        std::fprintf(stderr, "written %d, left %zu bytes\n", written, left.size());
        ::_exit(!written && left == "old" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
