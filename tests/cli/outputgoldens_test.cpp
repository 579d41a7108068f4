// Every output in the program's table has a reviewed golden: its text, page
// or graph is compared on every run (tests/golden/outputs.sh), so an output
// added without one is caught here.
#include "cli/outputs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

TEST(OutputGoldens, EveryOutputOfTheTableHasAReviewedGolden)
{
    namespace fs = std::filesystem;
    const fs::path goldens = fs::path(TEST_DATA_DIR) / ".." / "golden";
    // An output's goldens are named after it: ID.txt, or ID-VARIANT.txt
    // (a graph's size, a samples file).
    auto reviewed = [&](const std::string &id) {
        for (const fs::directory_entry &study : fs::directory_iterator(goldens)) {
            if (!study.is_directory())
                continue;
            for (const fs::directory_entry &golden : fs::directory_iterator(study.path())) {
                const std::string name = golden.path().filename().string();
                if (name == id + ".txt" || (name.rfind(id + "-", 0) == 0 && name.ends_with(".txt")))
                    return true;
            }
        }
        return false;
    };
    for (const cli::Output &output : cli::Outputs())
        EXPECT_TRUE(reviewed(std::string(output.id))) << output.id << " has no golden under " << goldens;
}
