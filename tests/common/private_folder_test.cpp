// Private folders: nothing someone else made or may enter is trusted.
#include "common/private_folder.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_folder.hpp"

namespace kelpira::common {
namespace {

constexpr uid_t kOtherUser = 65534;

TEST(PrivateFolder, FolderAndParentMustBeThisUsersAndClosed) {
    const testing::TempFolder temp;
    const std::string parent = temp.path("kelpira");
    const std::string folder = parent + "/devices";
    EXPECT_EQ(private_folder_problem(folder), "");  // nothing there: nothing to trust
    ASSERT_EQ(make_private_folder(folder, true), "");
    EXPECT_EQ(private_folder_problem(folder), "");
    EXPECT_EQ(private_folder_problem(folder + "/"), "");

    ASSERT_EQ(::chmod(folder.c_str(), 0750), 0);
    EXPECT_EQ(private_folder_problem(folder), folder + " is open to other users");
    EXPECT_EQ(make_private_folder(folder, true), folder + " is open to other users");
    ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(parent.c_str(), 0701), 0);
    EXPECT_EQ(private_folder_problem(folder), parent + " is open to other users");
    ASSERT_EQ(::chmod(parent.c_str(), 0700), 0);

    // A link to a private folder is not the folder: whoever made the link chose where it goes.
    const std::string link = temp.path("elsewhere");
    std::filesystem::create_directory_symlink(parent, link);
    EXPECT_EQ(private_folder_problem(link + "/devices"), link + " is a link, not a folder");
    const std::string linked = parent + "/linked";
    std::filesystem::create_directory_symlink(folder, linked);
    EXPECT_EQ(private_folder_problem(linked), linked + " is a link, not a folder");
}

TEST(PrivateFolder, AFolderAnotherUserMadeFirstIsRefused) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to make a folder of another user";
    }
    const testing::TempFolder temp;
    const std::string parent = temp.path("kelpira-0");
    const std::string folder = parent + "/devices";
    ASSERT_EQ(make_private_folder(folder, true), "");
    ASSERT_EQ(::chown(parent.c_str(), kOtherUser, kOtherUser), 0);
    const std::string why = parent + " belongs to another user (uid 65534)";
    EXPECT_EQ(private_folder_problem(folder), why);
    EXPECT_EQ(make_private_folder(folder, true), why);
    ASSERT_EQ(::chown(parent.c_str(), 0, 0), 0);
    ASSERT_EQ(::chown(folder.c_str(), kOtherUser, kOtherUser), 0);
    EXPECT_EQ(private_folder_problem(folder), folder + " belongs to another user (uid 65534)");
}

}  // namespace
}  // namespace kelpira::common
