// The theme checker in the test's process: one theme per kind of problem, the
// exact lines it reports, and a clean theme that reports nothing.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "ThemeCheck.h"
#include "support/TestPictures.h"
#include "support/TestFiles.h"
#include "support/ThemePage.h"

namespace {
std::string Lines(int count, const std::function<std::string(int)>& line) {
    std::string text;
    for (int k = 0; k < count; ++k) text += std::to_string(k) + "=" + line(k) + "\r\n";
    return text;
}
std::string Page(const std::string& window, int total, const std::string& lines, const std::string& rows = {}) {
    return "[MAINWINDOW]\r\n" + window + "[INFO]\r\nTOTAL=" + std::to_string(total) + "\r\n" + lines +
           "[DADOS]\r\n" + rows;
}
std::vector<std::string> Blank(int count) { return std::vector<std::string>(static_cast<size_t>(count), "r||0"); }

struct CheckCase {
    const char* what;
    std::string theme;
    std::vector<std::string> expected;  // without the leading "page.lcd:"
};

std::vector<CheckCase> Cases(const std::string& folder) {
    const char* kTypes70[] = {"TEXT", "RECT", "FRAME", "HOTSPOT", "ANIMATION"};
    auto soft = [&folder](const std::string& key, const std::string& file, const char* times) {
        return key + ": hint: picture \"" + folder + file + "\" is scaled up " + times +
               " times at 192 dpi and looks soft there; a copy made for that scaling beside it (name@2x.jpg for "
               "name.jpg) keeps it sharp";
    };
    auto huge = [&folder](const std::string& file, const std::string& where) {
        return " \"" + folder + file + "\" is 10000 x 10000 pixels: too large to be shown" + where +
               " (at most 16384 pixels a side and 64 M pixels in all); the page leaves it out as a missing one";
    };
    std::vector<std::string> clickRows = Blank(11);
    clickRows[10] = "On Click|1-next|10";
    return {
        {"clean",
         Page("caption=[ProductName]\r\nbkcolor=10,20,30\r\nbkimage=" + folder + "pic.bmp\r\n", 7,
              "0=Next,10,10,80,25,BUTTON,,,10\r\n1=Back,100,10,80,25,BUTTON,,,11\r\n"
              "2=Pic,10,50,0,0,BITMAP,{pic.bmp},,12\r\n"
              "3=Icon,10,90,0,0,ICON,,,13\r\n4=Label,10,130,200,20,TEXT,,,14\r\n5=Box,10,160,50,50,RECT,,,15\r\n"
              "6=Yes,10,220,100,20,RADIO,,,16\r\n",
              ThemeRows(10, {"ID|IDC_NEXT|0", "Caption|Next >|1"}) +
                  ThemeRows(11, {"ID|IDC_BACK|0", "Caption|< Back|1", "r||2", "r||3", "r||4", "r||5", "r||6",
                            "On Click|2-back|7"}) +
                  ThemeRows(12, {"r||0", "r||1", "BackColor|0 - default|2"}) +
                  ThemeRows(13, {"r||0", "Icon File:|IDI_SETUP|1", "BackColor:| 10, 20, 30 |2"}) +
                  ThemeRows(14, {"ID|IDC_INFO|0", "Caption|Hello|1", "r||2", "Text Color|0,0,255|3",
                            "BackColor|COLOR_BTNFACE|4"}) +
                  ThemeRows(15, {"r||0", "BackColor|255,0,0|1"}) +
                  ThemeRows(16, {"ID|IDC_ACCEPTLICENSE|0", "Text|I accept|1", "BackColor||2"})),
         {}},
        {"type words",
         Page("", 5,
              "0=a,0,0,9,9,button,,,1\r\n1=b,0,0,9,9,BUTTONS,,,2\r\n3=c,0,0,9,9,IMAGE,,,3\r\n4=d,0,0,9,9,,,,4\r\n"),
         {"[INFO]0: type word \"button\" is not upper case: no control is created (BUTTON)",
          "[INFO]1: unknown type word \"BUTTONS\": no control is created",
          "[INFO]2: no control line, although TOTAL is 5",
          "[INFO]3: unknown type word \"IMAGE\": no control is created",
          "[INFO]4: no type word: no control is created"}},
        {"16 of a type",
         Page("", 32, Lines(32, [](int k) {
                  const char* type = k < 16 ? "BUTTON" : k < 30 ? "BITMAP" : "HOVER";
                  return std::string("c,0,0,9,9,") + type + ",{pic.bmp},,0";
              })),
         {"[INFO]0: more than 15 BUTTON controls on the page: this one is left out",
          "[INFO]16: more than 15 BITMAP and HOVER controls on the page: this one is left out"}},
        {"70 controls",
         Page("", 70, Lines(70, [&kTypes70](int k) { return std::string("c,0,0,40,40,") + kTypes70[k % 5] + ",,,0"; })),
         {"[INFO]TOTAL: TOTAL 70 is outside 0 to 69: a page holds at most 69 controls",
          "[INFO]0: more than 69 controls on the page: this one is left out"}},
        // Only the lines there are read, and none once the table is full.
        {"the largest TOTAL",
         Page("", INT_MAX, Lines(71, [&kTypes70](int k) { return std::string("c,0,0,40,40,") + kTypes70[k % 5] + ",,,0"; })),
         {"[INFO]TOTAL: TOTAL 2147483647 is outside 0 to 69: a page holds at most 69 controls",
          "[INFO]1: more than 69 controls on the page: this one and those of lower keys are left out"}},
        {"the smallest TOTAL", Page("", INT_MIN, "0=a,0,0,9,9,BUTTON,,,1\r\n"),
         {"[INFO]TOTAL: TOTAL -2147483648 is outside 0 to 69: the page has no controls"}},
        {"21 fields",
         Page("", 1, "0=n,1,2,30,40,RECT,,,7,a,b,c,d,e,f,g,h,i,j,k,l\r\n"),
         {"[INFO]0: 21 fields: only the first 20 are read"}},
        {"rows",
         Page("", 3, "0=a,0,0,40,40,RECT,,,10\r\n1=b,0,0,40,40,RECT,,,11\r\n2=c,0,0,40,40,RECT,,,12\r\n",
              ThemeRows(10, Blank(21)) + ThemeRows(11, Blank(16)) + ThemeRows(12, Blank(15))),
         {"[DADOS]10,t: 21 rows: rows past the 20th are not read",
          "[DADOS]11,t: 16 rows on a control that controls of lower INFO keys move down the table: it keeps none "
          "(at most 15 are kept)"}},
        {"clicks past 3030",
         Page("", 33, Lines(33, [](int k) {
                  const char* types[] = {"BUTTON,,,10", "TEXT,,,11", "BUTTON,,,12"};
                  return std::string("c,0,0,40,40,") + (k < 3 ? types[k] : k < 18 ? "RECT,,,0" : "FRAME,,,0");
              }),
              ThemeRows(10, {"ID|IDC_BACK|0"}) + ThemeRows(11, clickRows) + ThemeRows(12, {"ID|IDC_NEXT|0"})),
         {"[INFO]0: window identifier 3032 is past 3030: the clicks of this control (IDC_BACK) never arrive; give it a "
          "higher INFO key",
          "[INFO]1: window identifier 3031 is past 3030: the clicks of this control (click action 1) never arrive; "
          "give it a higher INFO key"}},
        {"pictures and icons",
         Page("bkimage=" + folder + "none.jpg\r\n", 5,
              "0=a,0,0,9,9,BITMAP,{missing.bmp},,10\r\n1=b,0,0,9,9,HOVER,{garbage.bmp},,11\r\n2=c,0,0,9,9,ICON,,,12\r\n"
              "3=d,0,0,9,9,ICON,,,13\r\n4=e,0,0,9,9,ICON,,,14\r\n",
              ThemeRows(12, {"r||0", "Icon File:|{missing.ico}|1"}) + ThemeRows(13, {"r||0", "Icon File:|IDI_NOPE|1"}) +
                  ThemeRows(14, {"r||0", "Icon File:|relative.ico|1"})),
         {"[MAINWINDOW]bkimage: background picture \"" + folder + "none.jpg\" not found",
          "[INFO]0: picture file \"" + folder + "missing.bmp\" not found",
          "[INFO]1: picture file \"" + folder + "garbage.bmp\" cannot be decoded",
          "[DADOS]12,1: icon file \"" + folder + "missing.ico\" not found",
          "[DADOS]13,1: unknown built-in icon \"IDI_NOPE\": no icon is shown",
          "[DADOS]14,1: icon file \"relative.ico\" not found (without braces a name is not looked for in the theme "
          "folder)"}},
        {"pictures too large",
         Page("bkimage=" + folder + "huge.jpg\r\n", 3,
              "0=a,0,0,9,9,BITMAP,{huge.jpg},,10\r\n1=b,0,0,9,9,HOVER,{pic2.bmp},,11\r\n2=c,0,0,9,9,ICON,,,12\r\n",
              ThemeRows(12, {"r||0", "Icon File:|{huge.ico}|1"})),
         {"[MAINWINDOW]bkimage: background picture" + huge("huge.jpg", ""), "[INFO]0: picture file" + huge("huge.jpg", ""),
          "[INFO]1: picture file" + huge("pic2@2x.bmp", " at 192 dpi"), "[DADOS]12,1: icon file" + huge("huge.ico", "")}},
        // Headers claiming more pixels than the files hold: the named picture and a copy for 1.5x.
        {"pictures cut short",
         Page("bkimage=" + folder + "cut.bmp\r\n", 2,
              "0=a,0,0,9,9,BITMAP,{whole.bmp},,10\r\n1=b,0,0,9,9,HOVER,{cut.bmp},,11\r\n"),
         {"[MAINWINDOW]bkimage: background picture \"" + folder + "cut.bmp\" cannot be decoded",
          "[INFO]0: picture file \"" + folder + "whole@1.5x.bmp\" cannot be decoded",
          "[INFO]1: picture file \"" + folder + "cut.bmp\" cannot be decoded"}},
        {"background that is no picture", Page("bkimage=" + folder + "garbage.bmp\r\n", 0, ""),
         {"[MAINWINDOW]bkimage: background picture \"" + folder + "garbage.bmp\" cannot be decoded"}},
        {"colours",
         Page("bkcolor=300,0,0\r\n", 6,
              "0=a,0,0,9,9,TEXT,,,10\r\n1=b,0,0,9,9,RECT,,,11\r\n2=c,0,0,9,9,RADIO,,,12\r\n3=d,0,0,9,9,ICON,,,13\r\n"
              "4=e,0,0,9,9,BITMAP,{pic.bmp},,14\r\n5=f,0,0,9,9,GROUPBOX,,,15\r\n",
              ThemeRows(10, {"r||0", "r||1", "r||2", "Text Color|red|3", "BackColor|COLOR_BTNFACE|4"}) +
                  ThemeRows(11, {"r||0", "BackColor|1,2|1"}) + ThemeRows(12, {"r||0", "r||1", "BackColor|1,2,3,4|2"}) +
                  ThemeRows(13, {"r||0", "Icon File:|IDI_INFO|1", "BackColor:|-1,0,0|2"}) +
                  ThemeRows(14, {"r||0", "r||1", "BackColor|0 - default|2"}) +
                  ThemeRows(15, {"r||0", "r||1", "BackColor| 9, 9, 9 |2"})),
         {"[MAINWINDOW]bkcolor: colour \"300,0,0\" is not three numbers of 0 to 255 (red,green,blue)",
          "[DADOS]10,3: colour \"red\" is not three numbers of 0 to 255 (red,green,blue)",
          "[DADOS]11,1: colour \"1,2\" is not three numbers of 0 to 255 (red,green,blue)",
          "[DADOS]12,2: colour \"1,2,3,4\" is not three numbers of 0 to 255 (red,green,blue)",
          "[DADOS]13,2: colour \"-1,0,0\" is not three numbers of 0 to 255 (red,green,blue)"}},
        {"duplicate identifiers",
         Page("", 4,
              "0=a,0,0,9,9,BUTTON,,,10\r\n1=b,0,0,9,9,BUTTON,,,11\r\n2=c,0,0,9,9,TEXT,,,12\r\n"
              "3=d,0,0,9,9,TEXT,,,13\r\n",
              ThemeRows(10, {"ID|IDC_NEXT|0"}) + ThemeRows(11, {"ID|IDC_NEXT|0"}) + ThemeRows(12, {"ID|IDC_STATIC1|0"})),
         // The TEXT of key 3 is created first and keeps its type's name "IDC_STATIC1".
         {"[DADOS]11,0: IDC_NEXT is also the identifier of [INFO]0: only that control is found",
          "[INFO]3: IDC_STATIC1 is also the identifier of [INFO]2: only that control is found"}},
        {"click rows",
         Page("", 2, "0=a,0,0,9,9,BUTTON,,,10\r\n1=b,0,0,9,9,BUTTON,,,11\r\n",
              ThemeRows(10, {"ID|IDC_GO|0", "Caption|Go|1", "On Click|abc-x|2", "Mouse Click|1|3"}) +
                  ThemeRows(11, {"ID|IDC_X|0", "On Click|2-back|1", "Mouse Click||2"})),
         {"[DADOS]10,2: On Click action \"abc\" is not a number",
          "[DADOS]10,3: Mouse Click \"1\" has no \"-\": its action is 0 (write 1-Next)"}},
        {"pictures for larger screens",
         Page("bkimage=" + folder + "soft.bmp\r\n", 2,
              "0=a,10,10,0,0,BITMAP,{soft.bmp},,10\r\n1=b,10,50,0,0,HOVER,{mild.bmp},,11\r\n"),
         {soft("[MAINWINDOW]bkimage", "soft.bmp", "2"), soft("[INFO]0", "soft.bmp", "2"),
          soft("[INFO]1", "mild@1.25x.bmp", "1.6")}},
        {"TOTAL", "[INFO]\r\nTOTAL=2x\r\n",
         {"[INFO]TOTAL: TOTAL \"2x\" is not a number", "[INFO]0: no control line, although TOTAL is 2",
          "[INFO]1: no control line, although TOTAL is 2"}},
    };
}

class ThemeCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteBitmapFile(folder + "pic.bmp", 8, 8, RGB(1, 2, 3)));
        ASSERT_TRUE(WriteBitmapFile(folder + "pic@2x.bmp", 16, 16, RGB(1, 2, 3)));  // sharp at 192 dpi
        for (const char* file : {"soft.bmp", "mild.bmp"}) ASSERT_TRUE(WriteBitmapFile(folder + file, 8, 8, RGB(1, 2, 3)));
        ASSERT_TRUE(WriteBitmapFile(folder + "mild@1.25x.bmp", 10, 10, RGB(1, 2, 3)));
        ASSERT_TRUE(TestFiles::Write(folder + "garbage.bmp", "this is no picture"));
        // Headers claiming 10000 x 10000 pixels, and a picture whose copy for 2x claims it.
        ASSERT_TRUE(TestFiles::Write(folder + "huge.jpg", TestPictures::Jpeg(10000, 10000)));
        ASSERT_TRUE(TestFiles::Write(folder + "huge.ico", TestPictures::Icon({{32, TestPictures::Png(10000, 10000)}})));
        ASSERT_TRUE(WriteBitmapFile(folder + "pic2.bmp", 8, 8, RGB(1, 2, 3)));
        ASSERT_TRUE(TestFiles::Write(folder + "pic2@2x.bmp", TestPictures::Bmp(10000, 10000)));
        ASSERT_TRUE(TestFiles::Write(folder + "cut.bmp", TestPictures::Bmp(200, 200) + std::string(5000, 'p')));
        ASSERT_TRUE(WriteBitmapFile(folder + "whole.bmp", 8, 8, RGB(1, 2, 3)));
        ASSERT_TRUE(TestFiles::Write(folder + "whole@1.5x.bmp", TestPictures::Bmp(12, 12) + std::string(431, 'p')));
    }
    void TearDown() override { TestFiles::RemoveTree(folder); }

    std::string folder = TestFiles::FreshTempFolder("theme-check") + "\\";
};
}  // namespace

TEST_F(ThemeCheck, ReportsEachProblemWithItsKeyAMissingFileAndNothingOnACleanTheme) {
    for (const CheckCase& c : Cases(folder)) {
        ASSERT_TRUE(TestFiles::Write(folder + "page.lcd", c.theme));
        std::vector<std::string> lines;
        for (const ThemeProblem& problem : CheckTheme(folder, "page.lcd")) lines.push_back(problem.Line());
        std::vector<std::string> expected;
        for (const std::string& line : c.expected) expected.push_back("page.lcd:" + line);
        EXPECT_EQ(lines, expected) << c.what;
    }
    std::vector<ThemeProblem> problems = CheckTheme(folder, "absent.lcd");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].Line(), "absent.lcd:(file): no such theme file in " + folder);
}
