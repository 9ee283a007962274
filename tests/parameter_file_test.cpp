#include <gtest/gtest.h>

#include "platform/std_file_system.h"
#include "shell/parameter_file.h"
#include "temp_folder.h"

namespace fortelle {
namespace {

TEST(ParameterFile, AValueThatFillsItsPrintZonePushesTheNextToTheZoneAfter)
{
    // The calculators' own layouts show in the flow transcripts.
    const std::vector<double> wide{-2147483648.0, 1, 2.5e20, 3};
    EXPECT_EQ(FormatParameterFile(wide, {2, 2}), "-2147483648    1 \r\n 2.5E+20       3 \r\n");
}

struct ParseCase {
    const char* bytes;
    std::size_t count;
    std::vector<std::optional<double>> values;
};

TEST(ParameterFile, ReadsInFileOrderTheLastSetWinning)
{
    const ParseCase cases[] = {{" 8 \r\n", 1, {8}},
                               {"", 1, {std::nullopt}},
                               {"horses\r\n", 1, {std::nullopt}},
                               {" 8 \r\n 12 \r\n 20 \r\n", 1, {20}},
                               {" 69            26 \r\n 5             5 \r\n", 4, {69, 26, 5, 5}},
                               {"1,2,3\n4 5\t6\n", 3, {4, 5, 6}},
                               // A partial last set replaces only the values it holds.
                               {"1 2 3 4", 3, {4, 2, 3}},
                               {"49\r\n6\r\n", 3, {49, 6, std::nullopt}},
                               {"49 x 12", 3, {49, std::nullopt, 12}},
                               {"\x01\x02\xff\r\n", 1, {std::nullopt}},
                               {"1.5E+15 12abc", 2, {1.5e15, std::nullopt}},
                               {"8x 9.", 2, {std::nullopt, 9}},
                               {"7", 0, {}}};
    for (const ParseCase& c : cases) {
        EXPECT_EQ(ParseParameterValues(c.bytes, c.count), c.values) << c.bytes;
    }
}

TEST(ParameterFileOnDisk, CreatedWithTheDefaultsThenReplacedWhole)
{
    testing::TempFolder folder;
    StdFileSystem files;
    const std::vector<double> defaults{49, 6, 12}, accepted{50, 5, 5};
    EXPECT_EQ(ReadParameterFile(files, "Lotto.INI", defaults, {1, 1, 1}), (std::vector<StoredValue>{49, 6, 12}));
    EXPECT_EQ(folder.read("Lotto.INI"), " 49 \r\n 6 \r\n 12 \r\n");
    folder.write("Lotto.INI", std::string(5000, '7'));
    EXPECT_TRUE(WriteParameterFile(files, "Lotto.INI", accepted, {1, 1, 1}));
    EXPECT_EQ(folder.read("Lotto.INI"), " 50 \r\n 5 \r\n 5 \r\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"Lotto.INI"}));
}

} // namespace
} // namespace fortelle
