#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/SettingsFile.h"

using tavrin::SettingsFile;

namespace {

SettingsFile parsed(const std::string& text) {
    SettingsFile ini;
    ini.parse(text);
    return ini;
}

struct IntCase {
    const char* text;
    const char* section;
    const char* key;
    int def;
    int expected;
};

class SettingsInteger : public ::testing::TestWithParam<IntCase> {};

TEST_P(SettingsInteger, ReadsTheValueOrTheDefault) {
    const IntCase& c = GetParam();
    EXPECT_EQ(parsed(c.text).ReadInteger(c.section, c.key, c.def), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsInteger,
    ::testing::Values(IntCase{"[KifuAuto]\nSpeed=1500\n", "KifuAuto", "Speed", 1000, 1500},
                      IntCase{"[KifuAuto]\r\nSpeed=500\r\n", "KifuAuto", "Speed", 1000, 500},
                      IntCase{"[kifuauto]\nSPEED=2000\n", "KifuAuto", "Speed", 1000, 2000},
                      IntCase{"[KifuAuto]\nSpeed =  42  \n", "KifuAuto", "Speed", 1000, 42},
                      IntCase{"[PlayInfo]\nKomi=-5\n", "PlayInfo", "Komi", 65, -5},
                      IntCase{"[PlayInfo]\nKomi=+7\n", "PlayInfo", "Komi", 65, 7},
                      IntCase{"", "KifuAuto", "Speed", 1000, 1000},
                      IntCase{"[Other]\nSpeed=5\n", "KifuAuto", "Speed", 1000, 1000},
                      IntCase{"[KifuAuto]\nSpeedy=5\n", "KifuAuto", "Speed", 1000, 1000},
                      IntCase{"[KifuAuto]\nSpeed=abc\n", "KifuAuto", "Speed", 1000, 1000},
                      IntCase{"[KifuAuto]\nSpeed=12abc\n", "KifuAuto", "Speed", 1000, 1000},
                      IntCase{"[KifuAuto]\nSpeed=\n", "KifuAuto", "Speed", 1000, 1000},
                      IntCase{"[KifuAuto]\nSpeed=-\n", "KifuAuto", "Speed", 1000, 1000},
                      IntCase{"[KifuAuto]\nSpeed=1.5\n", "KifuAuto", "Speed", 1000, 1000},
                      IntCase{"[KifuAuto]\nSpeed=99999999999\n", "KifuAuto", "Speed", 1000, 1000},
                      IntCase{"[KifuAuto]\nSpeed=2147483647\n", "KifuAuto", "Speed", 1, 2147483647},
                      // The first of two equal keys counts.
                      IntCase{"[Display]\nWidth=700\nWidth=800\n", "Display", "Width", 684, 700},
                      // A key before any section belongs to none.
                      IntCase{"Width=700\n[Display]\n", "Display", "Width", 684, 684},
                      // A section that appears twice is searched in both places.
                      IntCase{"[Display]\nA=1\n[X]\n[Display]\nWidth=640\n", "Display", "Width", 684, 640}));

struct BoolCase {
    const char* value;
    bool def;
    bool expected;
};

class SettingsBool : public ::testing::TestWithParam<BoolCase> {};

TEST_P(SettingsBool, AnyIntegerButZeroIsTrue) {
    const BoolCase& c = GetParam();
    const SettingsFile ini = parsed(std::string("[Display]\nToolBar=") + c.value + "\n");
    EXPECT_EQ(ini.ReadBool("Display", "ToolBar", c.def), c.expected) << c.value;
}

INSTANTIATE_TEST_SUITE_P(Values, SettingsBool,
                         ::testing::Values(BoolCase{"0", true, false}, BoolCase{"1", false, true},
                                           BoolCase{"2", false, true}, BoolCase{"-1", false, true},
                                           BoolCase{"yes", false, false}, BoolCase{"yes", true, true},
                                           BoolCase{"", true, true}));

TEST(SettingsFile, TextsAreReadAsTheyAre) {
    const SettingsFile ini = parsed("[Directory]\nLastReadDir=/home/user/棋譜 フォルダ/\nLastWriteDir=a=b\n");
    EXPECT_EQ(ini.ReadString("Directory", "LastReadDir", "x"), "/home/user/棋譜 フォルダ/");
    EXPECT_EQ(ini.ReadString("Directory", "LastWriteDir", "x"), "a=b");
    EXPECT_EQ(ini.ReadString("Directory", "Missing", "x"), "x");
}

TEST(SettingsFile, WritesSectionsInFirstUseOrderWithBooleansAsDigits) {
    SettingsFile ini;
    ini.WriteInteger("PlayInfo", "Level", 2);
    ini.WriteInteger("Display", "Width", 684);
    ini.WriteInteger("KifuAuto", "Speed", 1000);
    ini.WriteBool("Display", "GbnHanten", false);
    ini.WriteBool("Display", "ToolBar", true);
    ini.WriteString("Directory", "LastReadDir", "");
    EXPECT_EQ(ini.text(),
              "[PlayInfo]\r\nLevel=2\r\n\r\n"
              "[Display]\r\nWidth=684\r\nGbnHanten=0\r\nToolBar=1\r\n\r\n"
              "[KifuAuto]\r\nSpeed=1000\r\n\r\n"
              "[Directory]\r\nLastReadDir=\r\n");
}

TEST(SettingsFile, RewritingKeepsOtherLinesAndReplacesValuesInPlace) {
    SettingsFile ini = parsed("; note\n[Display]\nwidth=100\nColour=red\n[Mine]\nx=1\n");
    ini.WriteInteger("Display", "Width", 640);
    ini.WriteInteger("Display", "Height", 480);
    EXPECT_EQ(ini.text(), "; note\r\n\r\n[Display]\r\nwidth=640\r\nColour=red\r\nHeight=480\r\n\r\n[Mine]\r\nx=1\r\n");
    const SettingsFile again = parsed(ini.text());
    EXPECT_EQ(again.ReadInteger("Display", "Width", 0), 640);
    EXPECT_EQ(again.ReadString("Display", "Colour", ""), "red");
    EXPECT_EQ(again.ReadInteger("Mine", "x", 0), 1);
}

TEST(SettingsFile, AValueCannotStartANewLine) {
    SettingsFile ini;
    ini.WriteString("Directory", "LastReadDir", "/a\r\n[Display]\nWidth=1");
    const SettingsFile again = parsed(ini.text());
    EXPECT_FALSE(again.has("Display", "Width"));
    EXPECT_EQ(again.ReadString("Directory", "LastReadDir", ""), "/a[Display]Width=1");
}

class SettingsFileOnDisk : public ::testing::Test {
protected:
    std::filesystem::path dir;
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("tavrin-ini-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string write(const std::string& name, const std::string& bytes) {
        const auto p = (dir / name).string();
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
};

TEST_F(SettingsFileOnDisk, SaveAndLoadRoundTrip) {
    SettingsFile ini;
    ini.WriteInteger("KifuAuto", "Speed", 1500);
    ini.WriteString("Directory", "LastReadDir", "/tmp/棋譜/");
    const auto p = (dir / "Tavrin.Ini").string();
    ASSERT_TRUE(ini.save(p));
    SettingsFile back;
    ASSERT_TRUE(back.load(p));
    EXPECT_EQ(back.ReadInteger("KifuAuto", "Speed", 0), 1500);
    EXPECT_EQ(back.ReadString("Directory", "LastReadDir", ""), "/tmp/棋譜/");
}

TEST_F(SettingsFileOnDisk, UnreadableInputGivesDefaults) {
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919) % 256);
    const std::string huge = "[KifuAuto]\nSpeed=3000\n" + std::string(SettingsFile::MaxBytes, 'x');
    struct Case {
        const char* what;
        std::string path;
        bool loads;
    };
    const Case cases[] = {
        {"missing", (dir / "none.ini").string(), false},
        {"empty", write("empty.ini", ""), true},
        {"binary", write("binary.ini", garbage), true},
        {"oversized", write("huge.ini", huge), false},
        {"a folder", dir.string(), false},
    };
    for (const Case& c : cases) {
        SettingsFile ini;
        EXPECT_EQ(ini.load(c.path), c.loads) << c.what;
        EXPECT_EQ(ini.ReadInteger("KifuAuto", "Speed", 1000), 1000) << c.what;
        EXPECT_TRUE(ini.ReadBool("Display", "ToolBar", true)) << c.what;
    }
}

TEST_F(SettingsFileOnDisk, SavingWhereNoFileCanBeMadeFails) {
    const auto notAFolder = write("plain", "x");
    SettingsFile ini;
    ini.WriteInteger("KifuAuto", "Speed", 1000);
    EXPECT_FALSE(ini.save(notAFolder + "/Tavrin.Ini"));
}

}  // namespace
