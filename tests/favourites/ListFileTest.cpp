#include "favourites/ListFile.h"
#include "favourites/Favourites.h"

#include "../storage/TempDir.h"

#include <gtest/gtest.h>

using namespace sorvane::favourites;
using sorvane::storage::ErrorCode;
using sorvane::storage::IniFile;
using sorvane::testing::readBytes;
using sorvane::testing::TempDir;
using sorvane::text::utf8ToGb;

namespace {

using Table = std::vector<std::vector<std::string>>;

// Every cell inside the columns, row by row.
Table cells(const ListModel &list)
{
    Table t;
    for (std::size_t r = 0; r < list.rowCount(); ++r) {
        t.emplace_back();
        for (std::size_t c = 0; c < list.columnCount(); ++c)
            t.back().push_back(list.cell(r, c));
    }
    return t;
}

Table gbTable(const Table &utf8)
{
    Table t = utf8;
    for (auto &row : t)
        for (auto &cell : row)
            cell = utf8ToGb(cell);
    return t;
}

ListModel withRows(std::size_t count)
{
    ListModel list(favouriteColumns());
    for (std::size_t r = 0; r < count; ++r)
        list.appendRow(
            { "title " + std::to_string(r), "artist", "url", "cover", "sid", "ssid", "64", "/subject/" });
    return list;
}

const std::filesystem::path kOriginalFile = std::filesystem::path(FAVOURITES_TEST_DATA) / "scgq.ini";

// scgq.ini as the original program left it: GBK, CRLF, three rows and a stale fourth.
TEST(ListFile, LoadsAFileWrittenByTheOriginalProgram)
{
    ListModel list(favouriteColumns());
    ASSERT_TRUE(loadListFile(list, kOriginalFile));

    ASSERT_EQ(list.columnCount(), 8u);
    const char *titles[] = { "歌曲名称", "歌手名称", "1", "2", "3", "4", "5", "6" };
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(list.column(i).title, utf8ToGb(titles[i])) << i;
        EXPECT_EQ(list.column(i).width, i < 2 ? 90 : 0) << i;
    }
    EXPECT_EQ(cells(list),
        gbTable({ { "千千闕歌", "陳慧嫻",
                      "http://mr3.douban.com/201308250247/4a3de2c0fb/view/song/small/p1458183.mp3",
                      "http://img3.douban.com/lpic/s4715464.jpg", "1458183", "5c5e", "64",
                      "/subject/1394361/" },
            { "時間都去哪兒了", "王錚亮",
                "http://mr4.douban.com/201308250250/0b8c1f2a9d/view/song/small/p2104756.mp3",
                "http://img5.douban.com/lpic/s27014732.jpg", "2104756", "a1f3", "128", "/subject/25796127/" },
            { "東風乚乗乕", "歡樂合唱團",
                "http://mr5.douban.com/201308250301/77aa01bc3e/view/song/small/p998877.mp3",
                "http://img1.douban.com/lpic/s1234567.jpg", "998877", "0d2e", "192",
                "/musician/104433/" } }));
    EXPECT_EQ(list.displaySettings(), ListDisplaySettings {}); // never read back

    // Saved back with the same state, the file is unchanged byte for byte: same section
    // and key names, same order, values replaced where they stand.
    TempDir dir;
    std::filesystem::copy_file(kOriginalFile, dir / "scgq.ini");
    list.displaySettings() = { 221, 262, 2, true, -2147483640, 16777215, -2147483643, false, true, false,
        true, false, false, 0, false, false, true, 1, true };
    ASSERT_TRUE(saveListFile(list, dir / "scgq.ini"));
    EXPECT_EQ(readBytes(dir / "scgq.ini"), readBytes(kOriginalFile));
}

TEST(ListFile, WritesANewFileInItsLayout)
{
    ListModel list({ { utf8ToGb("歌曲名称"), 90 }, { "x", -1 } });
    list.appendRow({ utf8ToGb("時間"), " padded " });
    ListDisplaySettings &s = list.displaySettings();
    s = {};
    s.width = 221;
    s.visible = false;
    s.textColor = -2147483640;
    s.noHead = true;
    s.sortAllow = 2;
    s.selectNow = -1;

    TempDir dir;
    ASSERT_TRUE(saveListFile(list, dir / "scgq.ini"));
    EXPECT_EQ(readBytes(dir / "scgq.ini"),
        utf8ToGb("[Rect]\r\nRows=1\r\nCols=2\r\n"
                 "[Setting]\r\nWidth=221\r\nHeight=0\r\nBorder=0\r\nVisible=假\r\nTextColor=-2147483640\r\n"
                 "TextBackColor=16777215\r\nBackgroundColor=16777215\r\nNoHead=1\r\nSelectRow=1\r\n"
                 "ClickHead=0\r\nShowListBorder=0\r\nDragHead=0\r\nEditAllow=0\r\nSortAllow=2\r\n"
                 "CheckBox=0\r\nFlatScrollBar=0\r\nSelectOnly=1\r\nSelectNow=-1\r\nShowSelectAlways=1\r\n"
                 "[Cols]\r\nWidth0=90\r\nName0=歌曲名称\r\nWidth1=-1\r\nName1=x\r\n"
                 "[0]\r\n0=時間\r\n1= padded \r\n"));
}

TEST(ListFile, ShrinkingKeepsOldRowSectionsButReadsOnlyTheCurrentRows)
{
    TempDir dir;
    const auto path = dir / "scgq.ini";
    ASSERT_TRUE(saveListFile(withRows(5), path));
    ASSERT_TRUE(saveListFile(withRows(3), path));

    IniFile file = IniFile::load(path).value();
    EXPECT_EQ(file.get("Rect", "Rows"), "3");
    EXPECT_EQ(file.get("4", "0"), "title 4");
    ListModel three(favouriteColumns());
    ASSERT_TRUE(loadListFile(three, path));
    EXPECT_EQ(cells(three), cells(withRows(3)));

    ASSERT_TRUE(saveListFile(withRows(0), path));
    file = IniFile::load(path).value();
    EXPECT_EQ(file.get("Rect", "Rows"), "0");
    EXPECT_EQ(file.get("Cols", "Name7"), "6");
    EXPECT_EQ(file.get("Cols", "Width7"), "0");
    ListModel none(favouriteColumns());
    ASSERT_TRUE(loadListFile(none, path));
    EXPECT_EQ(none.rowCount(), 0u);
}

TEST(ListFile, RoundTripGivesBackEveryTitleWidthAndCell)
{
    ListModel list(favouriteColumns());
    list.column(0) = { utf8ToGb("乚]名[称"), 120 };
    list.column(5).width = 33;
    list.appendRow({ utf8ToGb("東風乚乗乕"), "  AC/DC  ", "http://a/b?c=d&e=f", "", "[0]", "k=v", ";", "x" });
    list.appendRow({});
    list.appendRow({ "line\r\nbreak" });

    TempDir dir;
    ASSERT_TRUE(saveListFile(list, dir / "scgq.ini"));
    ListModel again(favouriteColumns());
    ASSERT_TRUE(loadListFile(again, dir / "scgq.ini"));

    for (std::size_t i = 0; i < list.columnCount(); ++i) {
        EXPECT_EQ(again.column(i).title, list.column(i).title);
        EXPECT_EQ(again.column(i).width, list.column(i).width);
    }
    Table expected = cells(list);
    expected[0][1] = "AC/DC"; // blanks at the ends are dropped
    expected[2][0] = "line  break"; // a line break cannot be stored
    EXPECT_EQ(cells(again), expected);
}

struct ReadCase
{
    const char *name;
    std::string file;
    std::size_t columns;
    std::size_t rows;
    Table firstCells; // leading rows, first two columns
};

class ListFileRead : public ::testing::TestWithParam<ReadCase>
{
};

TEST_P(ListFileRead, FillsTheListFromWhatIsThere)
{
    const ReadCase &c = GetParam();
    ListModel list(favouriteColumns());
    readListFile(list, IniFile::parse(c.file));
    EXPECT_EQ(list.columnCount(), c.columns);
    EXPECT_EQ(list.rowCount(), c.rows);
    for (std::size_t r = 0; r < c.firstCells.size(); ++r)
        EXPECT_EQ((std::vector<std::string> { list.cell(r, 0), list.cell(r, 1) }), c.firstCells[r]) << r;
}

INSTANTIATE_TEST_SUITE_P(Cases, ListFileRead,
    ::testing::Values(ReadCase { "NoRectAddsNothing", "[0]\n0=a\n", 8, 0, {} },
        ReadCase { "MissingCellsAndSectionsAreEmpty", "[Rect]\nRows=3\nCols=2\n[0]\n1=b\n[2]\n0=c\n", 8, 3,
            { { "", "b" }, { "", "" }, { "c", "" } } },
        ReadCase { "NoColsStillReadsTheFirstCell", "[Rect]\nRows=1\n[0]\n0=a\n1=b\n", 8, 1, { { "a", "" } } },
        ReadCase { "NumbersReadByTheirLeadingDigits", "[Rect]\nrows= 2abc\nCOLS=x\n", 8, 2, {} },
        ReadCase { "NegativeCountsAreZero", "[Rect]\nRows=-5\nCols=-1\n", 8, 0, {} },
        ReadCase { "HugeCountsAreCapped", "[Rect]\nRows=2147483647\nCols=99999999999\n", kMaxListFileColumns,
            kMaxListFileRows, {} }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ListFile, MoreColumnsInTheFileAreAppendedBeforeWidthsAndTitles)
{
    ListModel list(favouriteColumns());
    readListFile(list, IniFile::parse("[Rect]\nCols=10\n[Cols]\nWidth0=50\nName9=ten\nWidth9=7\n"));
    ASSERT_EQ(list.columnCount(), 10u);
    EXPECT_EQ(list.column(0).width, 50);
    EXPECT_EQ(list.column(0).title, ""); // Name0 missing
    EXPECT_EQ(list.column(1).width, 0); // Width1 missing
    EXPECT_EQ(list.column(8).title, "");
    EXPECT_EQ(list.column(9).title, "ten");
    EXPECT_EQ(list.column(9).width, 7);
}

TEST(ListFile, FailuresAreReportedAndChangeNothing)
{
    TempDir dir;
    ListModel list(favouriteColumns());
    const auto load = loadListFile(list, dir / "scgq.ini");
    ASSERT_FALSE(load);
    EXPECT_EQ(load.error().code, ErrorCode::NotFound);
    EXPECT_EQ(list.columnCount(), 8u);

    const auto save = saveListFile(withRows(2), dir / "missing" / "scgq.ini");
    ASSERT_FALSE(save);
    EXPECT_EQ(save.error().code, ErrorCode::WriteFailed);
}

} // namespace
