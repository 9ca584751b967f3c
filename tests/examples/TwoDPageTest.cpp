// docs/2d.md quotes the bat-and-ball example: each block that starts with a file's name must
// still be in that file, as it is written there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(TwoDPageTest, QuotedBlocksAreInTheExampleAsWritten) {
    const fs::path root = ORKA_SOURCE_DIR;
    std::istringstream page(readFile(root / "docs/2d.md"));
    const std::string quotePrefix = "// examples/";
    int quoted = 0;
    std::string line, file, block;
    bool inBlock = false;
    while (std::getline(page, line)) {
        if (!inBlock) {
            inBlock = line == "```cpp";
            file.clear();
            block.clear();
        } else if (line == "```") {
            inBlock = false;
            if (file.empty()) continue;
            ++quoted;
            EXPECT_NE(readFile(root / file).find(block), std::string::npos)
                << "docs/2d.md quotes " << file << " wrongly:\n"
                << block;
        } else if (file.empty() && block.empty() && line.rfind(quotePrefix, 0) == 0) {
            file = line.substr(3);
        } else {
            block += line + "\n";
        }
    }
    EXPECT_GE(quoted, 8);  // the page's tour of the example
}

}  // namespace
