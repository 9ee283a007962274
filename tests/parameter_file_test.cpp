#include <gtest/gtest.h>

#include "fakes.h"
#include "platform/std_file_system.h"
#include "shell/parameter_file.h"
#include "temp_folder.h"

namespace fortelle {
namespace {

using testing::FakeFiles;

TEST(ParameterFile, OneValuePerLine)
{
    const std::vector<double> v{8};
    EXPECT_EQ(FormatParameterFile(v, {1}), " 8 \r\n");
    const std::vector<double> lotto{49, 6, 12};
    EXPECT_EQ(FormatParameterFile(lotto, {1, 1, 1}), " 49 \r\n 6 \r\n 12 \r\n");
}

TEST(ParameterFile, PrintZonesOf14Columns)
{
    const std::vector<double> power{69, 26, 5, 5};
    EXPECT_EQ(FormatParameterFile(power, {2, 2}),
              " 69" + std::string(12, ' ') + "26 \r\n 5" + std::string(13, ' ') + "5 \r\n");
    const std::vector<double> stdDev{6, 49, 100};
    EXPECT_EQ(FormatParameterFile(stdDev, {3}),
              " 6 " + std::string(11, ' ') + " 49 " + std::string(10, ' ') + " 100 \r\n");
    // A value that fills its zone pushes the next one to the zone after.
    const std::vector<double> wide{-2147483648.0, 1, 2.5e20, 3};
    EXPECT_EQ(FormatParameterFile(wide, {2, 2}),
              "-2147483648 " + std::string(2, ' ') + " 1 \r\n 2.5E+20 " + std::string(5, ' ') +
                  " 3 \r\n");
}

struct ParseCase {
    const char* bytes;
    std::size_t count;
    std::vector<std::optional<double>> values;
};

class ParseValues : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseValues, ReadsInFileOrderTheLastSetWinning)
{
    EXPECT_EQ(ParseParameterValues(GetParam().bytes, GetParam().count), GetParam().values);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseValues,
    ::testing::Values(
        ParseCase{" 8 \r\n", 1, {8}}, ParseCase{"", 1, {std::nullopt}},
        ParseCase{"horses\r\n", 1, {std::nullopt}},
        ParseCase{" 8 \r\n 12 \r\n 20 \r\n", 1, {20}},
        ParseCase{" 69            26 \r\n 5             5 \r\n", 4, {69, 26, 5, 5}},
        ParseCase{"1,2,3\n4 5 6\n", 3, {4, 5, 6}},
        // A partial last set replaces only the values it holds.
        ParseCase{"1 2 3 4", 3, {4, 2, 3}},
        ParseCase{"49\r\n6\r\n", 3, {49, 6, std::nullopt}},
        ParseCase{"49 x 12", 3, {49, std::nullopt, 12}},
        ParseCase{"\x01\x02\xff\r\n", 1, {std::nullopt}}));

class ParameterFileOnDisk : public ::testing::Test {
protected:
    testing::TempFolder folder;
    StdFileSystem files;
    const std::vector<double> defaults{49, 6, 12};
    const ParameterLayout layout{1, 1, 1};
};

TEST_F(ParameterFileOnDisk, AMissingFileIsCreatedWithTheDefaults)
{
    const auto values = ReadParameterFile(files, "Lotto.INI", defaults, layout);
    EXPECT_EQ(values, (std::vector<StoredValue>{49, 6, 12}));
    EXPECT_EQ(folder.read("Lotto.INI"), " 49 \r\n 6 \r\n 12 \r\n");
}

TEST_F(ParameterFileOnDisk, WritingReplacesTheWholeFile)
{
    folder.write("Lotto.INI", std::string(5000, '7'));
    const std::vector<double> accepted{50, 5, 5};
    EXPECT_TRUE(WriteParameterFile(files, "Lotto.INI", accepted, layout));
    EXPECT_EQ(folder.read("Lotto.INI"), " 50 \r\n 5 \r\n 5 \r\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"Lotto.INI"}));
}

TEST_F(ParameterFileOnDisk, AFolderOfThatNameHoldsNoValuesAndIsLeftAlone)
{
    std::filesystem::create_directory(folder.path() / "Lotto.INI");
    const auto values = ReadParameterFile(files, "Lotto.INI", defaults, layout);
    EXPECT_EQ(values, (std::vector<StoredValue>(3)));
    const std::vector<double> accepted{50, 5, 5};
    EXPECT_FALSE(WriteParameterFile(files, "Lotto.INI", accepted, layout));
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "Lotto.INI"));
}

TEST_F(ParameterFileOnDisk, AHugeFileHoldsNoValues)
{
    folder.write("Lotto.INI", std::string(kParameterFileLimit + 1, '1'));
    EXPECT_EQ(ReadParameterFile(files, "Lotto.INI", defaults, layout),
              (std::vector<StoredValue>(3)));
}

TEST(ParameterFileFaults, AFullDiskLeavesTheOldFile)
{
    FakeFiles files;
    files.files["Horses.INI"] = " 9 \r\n";
    files.diskFull = true;
    const std::vector<double> v{12};
    EXPECT_FALSE(WriteParameterFile(files, "Horses.INI", v, {1}));
    EXPECT_EQ(files.files["Horses.INI"], " 9 \r\n");
}

TEST(ParameterFileFaults, AnUnreadableFileHoldsNoValues)
{
    FakeFiles files;
    files.unreadable.insert("Horses.INI");
    const std::vector<double> defaults{8};
    EXPECT_EQ(ReadParameterFile(files, "Horses.INI", defaults, {1}),
              (std::vector<StoredValue>{std::nullopt}));
}

} // namespace
} // namespace fortelle
