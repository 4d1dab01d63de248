// Marks on the real frame and view, by the mouse's messages as the system
// sends them (Ctrl+click, Shift+click across a page) and the real keyboard
// (Insert, Ctrl+A and Esc), and a marked cell read back from the screen:
// its band and tick in the margin around the picture, the picture itself
// untouched, the count in the frame's title. Which pictures each gesture marks is a rule tested
// natively (AlbumStateTest, AlbumMarks).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/album/AlbumViewFixture.h"
#include "res/resource.h"
#include "tests/support/Canvas.h"
#include "tests/support/ModalDriver.h"

namespace {

const COLORREF kMarkColour = RGB(0, 92, 200);

class MarksTest : public AlbumViewFixture {
protected:
    void Press(const char* name) { browser.PressKey(name); }
    // A click on cell k as the system sends it, with the keys held given
    // as the message's flags (MK_CONTROL, MK_SHIFT).
    void ClickCell(int k, WPARAM held = 0)
    {
        const LPARAM at = CellCentre(k);
        PostMessageA(browser.ViewWindow(), WM_LBUTTONDOWN, MK_LBUTTON | held, at);
        PostMessageA(browser.ViewWindow(), WM_LBUTTONUP, held, at);
        browser.Pump();
    }
    std::vector<int> Marked() { return View().MarkedIndices(); }
    std::string Title()
    {
        char text[512] = "";
        GetWindowTextA(browser.Frame(), text, sizeof text);
        return text;
    }
};

std::vector<int> Indices(int from, int to)
{
    std::vector<int> run;
    for (int i = from; i <= to; ++i)
        run.push_back(i);
    return run;
}

}  // namespace

TEST_F(MarksTest, CtrlAndShiftClicksInsertCtrlAAndEscMarkAsTheOperatorMeans)
{
    for (int i = 0; i < 20; ++i)
        Picture("p" + std::to_string(10 + i) + ".bmp", 64, 48);
    Open();
    SetForegroundWindow(browser.Frame());
    browser.Pump();
    Press("Home");
    ASSERT_EQ(0, View().m_nPageTop);

    ClickCell(2, MK_CONTROL);
    ClickCell(4, MK_CONTROL);
    EXPECT_EQ((std::vector<int>{2, 4}), Marked());
    EXPECT_EQ(4, View().m_nCurrent) << "a Ctrl+click selects as a click";
    EXPECT_FALSE(View().IsSingleMode());
    EXPECT_NE(std::string::npos, Title().find("2 marked")) << Title();
    ClickCell(2, MK_CONTROL);
    EXPECT_EQ((std::vector<int>{4}), Marked());

    ClickCell(7);
    EXPECT_EQ((std::vector<int>{4}), Marked()) << "a plain click marks nothing";
    Press("PgDn");
    ClickCell(3, MK_SHIFT);
    EXPECT_EQ((std::vector<int>{4, 7, 8, 9, 10, 11, 12}), Marked());
    EXPECT_EQ(9, View().m_nPageTop);
    EXPECT_EQ(12, View().m_nCurrent);

    Press("Ins");
    EXPECT_EQ((std::vector<int>{4, 7, 8, 9, 10, 11}), Marked());
    EXPECT_EQ(13, View().m_nCurrent) << "Insert moves to the next picture";
    Press("Enter");
    ASSERT_TRUE(View().IsSingleMode());
    Press("Ins");
    EXPECT_EQ((std::vector<int>{4, 7, 8, 9, 10, 11, 13}), Marked());
    EXPECT_EQ(14, View().m_nCurrent);
    Press("Esc");
    EXPECT_FALSE(View().IsSingleMode()) << "alone, Esc goes back to the page";
    EXPECT_EQ(7u, Marked().size());

    Press("Ctrl+A");
    EXPECT_EQ(Indices(0, 19), Marked());
    EXPECT_NE(std::string::npos, Title().find("20 marked")) << Title();
    Press("Esc");
    EXPECT_TRUE(Marked().empty());
    EXPECT_EQ(std::string::npos, Title().find("marked")) << Title();
}

// Cell 1 marked, cell 0 not, both the same picture: the marked cell's frame
// has the band and tick of its own colour, its picture is whole, and the
// unmarked cell shows no such colour.
TEST_F(MarksTest, AMarkedCellShowsItsBandAndTickAroundThePictureNotOnIt)
{
    Picture("a.bmp", 200, 150);
    Picture("b.bmp", 200, 150);
    Open(600, 450);
    SetForegroundWindow(browser.Frame());
    browser.Pump();
    ClickCell(1, MK_CONTROL);
    ASSERT_EQ((std::vector<int>{1}), Marked());
    ClickCell(0);       // the selection leaves cell 1: repainted unselected
    browser.Pump();

    const Canvas shot = Canvas::OfClient(browser.ViewWindow());
    auto markPixels = [&](const CellRect& rc) {
        int count = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                count += shot.At(x, y) == kMarkColour;
        return count;
    };
    const CellRect unmarked = View().m_rcCell[0], marked = View().m_rcCell[1];
    EXPECT_EQ(0, markPixels(unmarked));
    const int bandWidth = marked.right - marked.left - 8;
    EXPECT_GT(markPixels(marked), 2 * bandWidth * 3) << "the band along both long sides at least";
    // The band's place: 5 pixels in from the cell's top left corner; the
    // tick's box in the top right corner.
    EXPECT_EQ(kMarkColour, shot.At(marked.left + 5, (marked.top + marked.bottom) / 2));
    EXPECT_EQ(kMarkColour, shot.At(marked.right - 9, marked.top + 9));
    // The picture: every pixel of the same picture in the unmarked cell is
    // red in the marked one too.
    int red = 0, notRed = 0;
    for (int y = 0; y < unmarked.bottom - unmarked.top; ++y)
        for (int x = 0; x < unmarked.right - unmarked.left; ++x)
            if (shot.At(unmarked.left + x, unmarked.top + y) == kRed) {
                ++red;
                notRed += shot.At(marked.left + x, marked.top + y) != kRed;
            }
    EXPECT_GT(red, 1000);
    EXPECT_EQ(0, notRed);
}

// Delete marked: one question with the count, each picture deleted as
// Delete does; one that another program holds is named in one message at
// the end and stays listed and marked.
TEST_F(MarksTest, DeleteMarkedAsksOnceAndNamesWhatStayed)
{
    for (int i = 0; i < 5; ++i)
        Picture("p" + std::to_string(10 + i) + ".bmp", 64, 48);
    Open();
    SetForegroundWindow(browser.Frame());
    browser.Pump();
    for (int cell : {1, 2, 3})
        ClickCell(cell, MK_CONTROL);
    HANDLE holder = CreateFileA(folder.PathOf("p12.bmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);

    std::string question, stayed;
    ModalDriver driver;
    driver.OnDialog([&](HWND box) {
        question = modal::MessageText(box);
        modal::Press(box, IDYES);
    });
    driver.OnDialog([&](HWND box) {
        stayed = modal::MessageText(box);
        modal::Press(box, IDOK);
    });
    driver.Start();
    browser.Command(ID_DELETE_MARKED);
    driver.Finish();
    CloseHandle(holder);
    for (const std::string& stray : driver.Unexpected())
        ADD_FAILURE() << "unexpected: " << stray;

    EXPECT_EQ("Delete the 3 marked pictures ?", question);
    EXPECT_EQ(0u, stayed.find("These pictures could not be deleted and stay listed:\np12.bmp: ")) << stayed;
    EXPECT_EQ((std::vector<std::string>{"p10.bmp", "p12.bmp", "p14.bmp"}), folder.Names());
    EXPECT_EQ(3, View().Count());
    EXPECT_EQ((std::vector<int>{1}), Marked()) << "the picture that stayed keeps its mark";
    EXPECT_EQ("p14.bmp", View().CurrentName()) << "as after a delete of the selected picture";
}
