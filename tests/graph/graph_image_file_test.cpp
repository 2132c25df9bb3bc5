// Saving a graph picture: the file request, the bytes written, cancel, and a failed write.
#include "graph/graph_image_file.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace kelpira;

TEST(GraphImageFile, SavesThePictureWhereTheUserSaysAndReportsOnlyFailure) {
    kelpira::testing::TempFolder folder;
    kelpira::testing::RecordingPrompter prompter;
    const std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', 0, 255};
    prompter.files = {std::nullopt, folder.path("graph.png"), folder.path("no/such/graph.png")};

    graph::save_graph_image(prompter, png);  // cancelled
    graph::save_graph_image(prompter, png);
    graph::save_graph_image(prompter, png);

    ASSERT_EQ(prompter.file_requests.size(), 3u);
    EXPECT_EQ(prompter.file_requests[0].title, "Save Image");
    EXPECT_EQ(prompter.file_requests[0].filters[0].label, "PNG Files (*.png)");
    EXPECT_EQ(prompter.file_requests[0].default_extension, "png");
    std::ifstream in(folder.path("graph.png"), std::ios::binary);
    EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}), png);
    ASSERT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(prompter.texts()[0],
              "Unable to open " + folder.path("no/such/graph.png") + " for write");
}
