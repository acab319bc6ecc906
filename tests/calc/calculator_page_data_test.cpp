#include "calc/calculator_page_data.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class CalculatorPageTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::path(testing::TempDir()) / ("calc_page_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Writes the page and returns its text.
    std::string Write(CalculatorPageData& page,
                      TableSizeWarning warning = TableSizeWarning::kNone) {
        page.folder = folder_.string();
        EXPECT_TRUE(WriteCalculatorPage(page, warning));
        return ReadFile(page.pagePath);
    }

    // Compares a page with its golden file under tests/calc/golden. Run with
    // SEATWATCH_UPDATE_GOLDEN=1 to rewrite the golden files after a reviewed change.
    void ExpectGolden(const std::string& text, const std::string& name) {
        const fs::path golden = fs::path(SEATWATCH_SOURCE_DIR) / "tests/calc/golden" / name;
        if (std::getenv("SEATWATCH_UPDATE_GOLDEN") != nullptr)
            std::ofstream(golden, std::ios::binary) << text;
        EXPECT_EQ(text, ReadFile(golden)) << "golden file " << golden;
    }

    fs::path folder_;
};

CalculatorPageData FlopAndTurnPage() {
    CalculatorPageData page;
    page.title = "Altair II";
    page.pocketText = "[Ah][Kd]";
    page.flopText = "[Qs][7c][2d]";
    page.turnText = "[5h]";
    page.win = 0.995f;
    page.split = 0.02f;
    page.playerFraction = {0.45f, 0.30f, 0.05f, 0.005f, 0, 0.10f, 0, 0, 0, 0};
    page.bestFraction = {0.2f, 0.4f, 0.15f, 0.005f, 0, 0, 0, 0, 0, 0};
    page.opponentFraction = page.bestFraction;
    page.outs = {0, 6, 3, 2, 0, 9, 0, 33, 0, 0};
    page.pocketRank = 12;
    page.pocketGroup = 2;
    return page;
}

TEST_F(CalculatorPageTest, FlopAndTurnPageMatchesGolden) {
    CalculatorPageData page = FlopAndTurnPage();
    ExpectGolden(Write(page), "calculator_flop_turn.htm");
    EXPECT_EQ(page.pagePath, (folder_ / "Calculator_Altair II.htm").string());
}

TEST_F(CalculatorPageTest, ExactFiguresAreMarkedUnderTheChances) {
    CalculatorPageData page = FlopAndTurnPage();
    page.exact = true;
    ExpectGolden(Write(page), "calculator_exact.htm");
    // Sampled figures, or none at all, carry no mark.
    for (const auto& [exact, win] : {std::pair{false, 0.5f}, {true, -1.0f}}) {
        SCOPED_TRACE(testing::Message() << "exact " << exact << " win " << win);
        page.exact = exact;
        page.win = win;
        EXPECT_THAT(Write(page), testing::Not(HasSubstr("Exact")));
    }
}

TEST_F(CalculatorPageTest, PreflopPageShowsNotAvailableEverywhere) {
    CalculatorPageData page;
    page.title = "Seatwatch Manual Calculator";
    page.pocketText = "[Ah,Kd]";
    page.pocketRank = 60;
    page.pocketGroup = 3;
    ExpectGolden(Write(page), "calculator_preflop.htm");
}

TEST_F(CalculatorPageTest, TableSizeWarningPageHoldsOnlyTheWarning) {
    CalculatorPageData page = FlopAndTurnPage();
    ExpectGolden(Write(page, TableSizeWarning::kWrongSize), "calculator_warning.htm");
}

TEST_F(CalculatorPageTest, FiguresAndColours) {
    struct Case {
        const char* name;
        void (*change)(CalculatorPageData&);
        const char* expected;
    };
    const Case cases[] = {
        {"win 1.0", [](CalculatorPageData& p) { p.win = 1.0f; }, "Win: 100%<"},
        {"win 0.45", [](CalculatorPageData& p) { p.win = 0.45f; }, "Win: 45%<"},
        {"33 outs are not shown", [](CalculatorPageData& p) { p.outs[7] = 33; },
         "size='-4'> &nbsp</TD>\n<TD ALIGN='CENTER' VALIGN='MIDDLE'     colspan='1'><font "
         "face='verdana' size='-4'> 4 Kind"},
        {"rank 17 is yellow", [](CalculatorPageData& p) { p.pocketRank = 17; },
         "BGCOLOR='#FFFF00'     colspan='1'><font face='verdana' size='-4'> <B>17/169</B>"},
        {"rank 71 is red", [](CalculatorPageData& p) { p.pocketRank = 71; },
         "BGCOLOR='#FF9999'     colspan='1'><font face='verdana' size='-4'> <B>71/169</B>"},
        // A record never filled (rank 0) shows no rank, like rank 170.
        {"unfilled rank", [](CalculatorPageData& p) { p.pocketRank = 0; },
         "Pocket Rank&nbsp</FONT></TD><TD ALIGN='CENTER' VALIGN='MIDDLE'     colspan='1'><font "
         "face='verdana' size='-4'> &nbsp</TD>"},
        {"river known: no outs column", [](CalculatorPageData& p) { p.riverText = "[9s]"; },
         "<B>Final<BR>Hand</B></TH>\n<TH  COLSPAN=1 VALIGN=MIDDLE ALIGN='CENTER' BGCOLOR='D5AC84'  "
         "WIDTH='28%' >"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CalculatorPageData page = FlopAndTurnPage();
        c.change(page);
        EXPECT_THAT(Write(page), HasSubstr(c.expected));
    }
}

TEST_F(CalculatorPageTest, PageNameKeepsTheTitleInsideTheFolder) {
    struct Case {
        const char* title;
        const char* file;
    };
    const Case cases[] = {
        {"Altair II", "Calculator_Altair II.htm"},
        {"Table 1/2 NL", "Calculator_Table 12 NL.htm"},
        {"../../etc/passwd", "Calculator_etcpasswd.htm"},
        {"..\\..\\x", "Calculator_x.htm"},
        {"", "Calculator__.htm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        CalculatorPageData page = FlopAndTurnPage();
        page.title = c.title;
        Write(page);
        EXPECT_EQ(page.pagePath, (folder_ / c.file).string());
        EXPECT_TRUE(fs::exists(folder_ / c.file));
    }
}

TEST_F(CalculatorPageTest, UnwritableFolderLeavesNoPage) {
    CalculatorPageData page = FlopAndTurnPage();
    page.folder = (folder_ / "missing").string();
    EXPECT_FALSE(WriteCalculatorPage(page, TableSizeWarning::kNone));
    EXPECT_FALSE(fs::exists(page.pagePath));
}

TEST(OddsTextTest, StepsAndComputedOdds) {
    struct Case {
        float p;
        const char* text;
    };
    const Case cases[] = {
        {0.45f, ">1:1"},   {0.4499f, "1.5:1"}, {0.39f, "1.6:1"}, {0.30f, "3:1"},
        {0.0742f, "12:1"}, {0.07f, "13:1"},    {0.05f, "19:1"},  {0.001f, "999:1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.p);
        EXPECT_EQ(OddsText(c.p), c.text);
    }
}

}  // namespace
