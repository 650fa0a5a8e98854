// The theme file's value syntaxes and the control table's rules, without windows.
#include <gtest/gtest.h>

#include "support/TestFiles.h"
#include "theme/ControlLine.h"
#include "theme/ControlTable.h"
#include "controls/PictureFile.h"
#include "theme/ThemeFile.h"

using namespace ThemeFile;

TEST(ThemeValues, NumbersColoursLinesAndRowsSplitAsThePageReadsThem) {
    const std::pair<const char*, int> numbers[] = {{"  42px", 42}, {"-17,3", -17}, {"+8", 8}, {"x1", 0}, {"", 0},
                                                   {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN}};
    for (const auto& [text, value] : numbers) EXPECT_EQ(Number(text), value) << text;
    EXPECT_EQ(FirstDigit("1abc"), 1);
    EXPECT_EQ(FirstDigit("x") + FirstDigit(""), 0);
    // Colours split at the first two commas.
    const std::pair<const char*, COLORREF> colours[] = {
        {"10,20,30", RGB(10, 20, 30)}, {"10,20", RGB(10, 20, 0)}, {" 1, 2, 3,4", RGB(1, 2, 3)}, {"red", 0}};
    for (const auto& [text, value] : colours) EXPECT_EQ(Color(text), value) << text;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const std::string triple = std::to_string(GetRValue(face)) + "," + std::to_string(GetGValue(face)) + "," +
                               std::to_string(GetBValue(face));
    EXPECT_EQ(ButtonFaceText(), triple);
    EXPECT_EQ(ResolveColorText(""), triple);
    EXPECT_EQ(ResolveColorText("COLOR_BTNFACE"), triple);
    EXPECT_EQ(ResolveColorText("color_btnface"), "color_btnface");
    // Control lines split at every comma, untrimmed, up to twenty fields.
    EXPECT_EQ(SplitControlLine("Ok,10,20,100,30,BUTTON,,,7"),
              (std::vector<std::string>{"Ok", "10", "20", "100", "30", "BUTTON", "", "", "7"}));
    EXPECT_EQ(SplitControlLine(" a , b"), (std::vector<std::string>{" a ", " b"}));
    EXPECT_EQ(SplitControlLine(""), std::vector<std::string>{""});
    std::string line = "0";
    for (int i = 1; i < 25; ++i) line += "," + std::to_string(i);
    const std::vector<std::string> fields = SplitControlLine(line);
    ASSERT_EQ(fields.size(), kMaxFields);
    EXPECT_EQ(fields[19], "19");
    // Rows split at the first two bars; further bars are removed from the number's text.
    const struct {
        const char* row;
        const char* folder;
        PropertyRow split;
    } rows[] = {{"On Click|1-Next page|7", "C:\\t\\", {"On Click", "1-Next page", 7}},
                {"Caption|a|1|2", "C:\\t\\", {"Caption", "a", 12}},
                {"Name|5", "", {"Name", "", 5}},
                {"42", "", {"", "", 42}},
                {"Icon File:|{icons}\\{a}.ico|1", "C:\\t\\", {"Icon File:", "C:\\t\\icons\\a.ico", 1}},
                {"Icon File:|a.ico|1", "C:\\t\\", {"Icon File:", "a.ico", 1}}};
    for (const auto& r : rows) {
        const PropertyRow row = SplitRow(r.row, r.folder);
        EXPECT_EQ(row.name + "|" + row.value + "|" + std::to_string(row.number),
                  r.split.name + "|" + r.split.value + "|" + std::to_string(r.split.number));
    }
    EXPECT_EQ(ThemePath("pic.bmp", "C:\\t\\"), "C:\\t\\pic.bmp");
    EXPECT_EQ(WithoutBraces("{C:\\x}\\{y}"), "C:\\x\\y");
    EXPECT_EQ(FolderOf("C:\\a\\b\\page.lcd"), "C:\\a\\b\\");
}

TEST(ThemeValues, ProfileReadsCutValuesAndTotalAndIgnoreCaseOfNames) {
    std::string folder = TestFiles::FreshTempFolder("theme-values");
    std::string path = folder + "\\t.lcd";
    TestFiles::Write(path, "[mainwindow]\r\nCAPTION=" + std::string(2000, 'c') + "\r\n[Info]\r\ntotal=" +
                               std::string(150, '7') + "\r\n");
    EXPECT_EQ(ReadValue(path, "MAINWINDOW", "caption"), std::string(554, 'c'));
    EXPECT_EQ(ReadTotal(path), std::string(99, '7'));
    EXPECT_EQ(ReadValue(path, "MAINWINDOW", "missing"), "");
    EXPECT_EQ(ReadValue(folder + "\\none.lcd", "MAINWINDOW", "caption"), "");
    TestFiles::RemoveTree(folder);
}

TEST(ControlTableRules, RecordsMovedDownKeepAtMostFifteenRowsAndTheTableHoldsSixtyNine) {
    auto record = [](int windowId) {
        ControlRecord r;
        r.windowId = windowId;
        r.identifier = "C" + std::to_string(windowId);
        return r;
    };
    ControlTable table;
    table.Insert(record(3000));
    table[0].rowCount = 16;
    table[0].rows[15].value = "kept?";
    table.Insert(record(3001));
    table[0].rowCount = 15;
    table.Insert(record(3002));
    EXPECT_EQ(table[2].rowCount, 0);  // 16 rows: all gone
    EXPECT_EQ(table[2].rows[15].value, "");
    EXPECT_EQ(table[1].rowCount, 15);
    EXPECT_EQ(table.FindRecordByWindowId(3000), 2);
    EXPECT_EQ(table.FindControlByName("C3001"), 3001);
    EXPECT_EQ(table.FindControlByName("c3001"), -1);
    EXPECT_EQ(table.FindPoolIndex(4000), -1);
    for (int i = 3; i < ControlTable::kMaxControls; ++i) EXPECT_EQ(table.Insert(record(3000 + i)), i);
    EXPECT_TRUE(table.Full());
    EXPECT_EQ(table.Insert(record(5000)), -1);
    EXPECT_EQ(table.Count(), ControlTable::kMaxControls);
    // The click action is the last matching row's, unless one is empty.
    const struct {
        std::vector<PropertyRow> rows;
        int action;
    } clicks[] = {{{{"On Click", "2-Back"}, {"Mouse Click", "1-Next"}}, 1},
                  {{{"On Click", ""}, {"Mouse Click", "1-Next"}}, -1},
                  {{{"On Click", "5"}}, 0},  // no "-": 0
                  {{{"on click", "1-x"}, {"Caption", "2-x"}}, -1}};
    for (const auto& c : clicks) {
        table[0].rowCount = static_cast<int>(c.rows.size());
        for (size_t i = 0; i < c.rows.size(); ++i) table[0].rows[i] = c.rows[i];
        EXPECT_EQ(table.FindClickAction(0), c.action) << c.rows[0].name << "|" << c.rows[0].value;
    }
    EXPECT_EQ(table.FindClickAction(70), -1);
}

TEST(ControlGeometry, EdgesScaleAsMulDivRoundsAfterTheSizeRuleAndSaturate) {
    struct Case {
        const char* type;
        RECT line;
        SIZE picture;
        int dpi;
        RECT expected;
    };
    const Case cases[] = {
        {"BUTTON", {10, 20, 110, 50}, {}, 96, {10, 20, 110, 50}},
        {"BUTTON", {10, 20, 110, 50}, {}, 144, {15, 30, 165, 75}},
        {"BUTTON", {-7, -7, 93, 93}, {}, 144, {-11, -11, 140, 140}},     // halves away from zero
        {"BUTTON", {11, 21, 31, 26}, {}, 144, {17, 32, 152, 69}},        // 20 x 5: 90 x 25 first
        {"TEXT", {0, 0, 20, 9}, {}, 120, {0, 0, 25, 11}},                // above its threshold of 8
        {"BUTTON", {0, 0, 20, 9}, {}, 96, {0, 0, 90, 25}},               // below its threshold of 10
        {"BUTTON", {0, 0, 20, 40}, {}, 96, {0, 0, 20, 40}},              // narrow and tall, or wide and low: kept
        {"BUTTON", {0, 0, 200, 5}, {}, 96, {0, 0, 200, 5}},
        {"ICON", {1, 3, 500, 500}, {}, 144, {2, 5, 50, 53}},             // 32 x 32 first
        {"BITMAP", {4, 4, 5, 5}, {40, 30}, 120, {5, 5, 55, 43}},         // the picture's size first
        {"BUTTON", {INT_MAX - 10, 0, INT_MAX, 5}, {}, 96, {INT_MAX - 10, 0, INT_MAX, 25}},
        {"COMBOBOX", {-2000000000, 2000000000, -1999999000, 2000000100}, {}, 144, {INT_MIN, INT_MAX, INT_MIN, INT_MAX}},
        {"BITMAP", {INT_MAX - 5, INT_MIN, 0, 0}, {64, 64}, 192, {INT_MAX, INT_MIN, INT_MAX, INT_MIN}},
    };
    for (const Case& c : cases) {
        const RECT placed = ControlLine::Placed(*FindControlType(c.type), c.line, c.picture, c.dpi);
        EXPECT_TRUE(::EqualRect(&placed, &c.expected))
            << c.type << " at " << c.dpi << ": " << placed.left << "," << placed.top << "," << placed.right << ","
            << placed.bottom;
    }
    EXPECT_EQ(AtDpi(25, 144), 38);
    EXPECT_EQ(AtDpi(INT_MAX, 288), INT_MAX);
    EXPECT_EQ(AtDpi(static_cast<long long>(INT_MIN) - 5, 96), INT_MIN);
}

TEST(ControlGeometry, APictureComesFromTheSmallestCopyLargeEnoughElseTheLargest) {
    const std::string folder = TestFiles::FreshTempFolder("picture-choice") + "\\";
    for (const char* file : {"a.bmp", "a@1.5x.bmp", "a@2x.bmp", "b.jpg", "b@1.25x.jpg", "b@3x.jpg", "c.png", "d",
                             "d@1.5x", "gone@2x.bmp"})
        TestFiles::Write(folder + file, "");
    const struct {
        const char* file;
        int dpi;
        const char* chosen;
        int percent;
    } cases[] = {{"a.bmp", 96, "a.bmp", 100},     {"a.bmp", 120, "a@1.5x.bmp", 150}, {"a.bmp", 144, "a@1.5x.bmp", 150},
                 {"a.bmp", 168, "a@2x.bmp", 200}, {"a.bmp", 288, "a@2x.bmp", 200},   {"b.jpg", 120, "b@1.25x.jpg", 125},
                 {"b.jpg", 144, "b@3x.jpg", 300}, {"c.png", 192, "c.png", 100},      {"d", 144, "d@1.5x", 150},
                 {"gone.bmp", 192, "gone.bmp", 100}};
    for (const auto& c : cases) {
        const PictureChoice choice = ChoosePictureFile(folder + c.file, c.dpi);
        EXPECT_EQ(choice.path, folder + c.chosen) << c.file << " at " << c.dpi;
        EXPECT_EQ(choice.percent, c.percent) << c.file << " at " << c.dpi;
    }
    TestFiles::RemoveTree(folder);
}
