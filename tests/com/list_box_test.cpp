// CListBox's characters: a list without strings that wants the keyboard offers each character to
// its owner as WM_CHARTOITEM, as user32's list box does, and acts on the answer. (Inside a
// CDialog the answer is the list object's CharToItem: the popup's tests press digits.) And the
// owner-drawn list's paint: an empty list with the focus asks its owner for the focus alone.
#include <gtest/gtest.h>

#include <vector>

#include "platform/afx/controls.h"
#include "platform/gdi.h"
#include "platform/user.h"

namespace {

constexpr int kListId = 5;

// An owner that answers WM_CHARTOITEM with `answer` and counts the list's LBN_SELCHANGE.
class CAnsweringOwner : public CWnd {
  public:
    LRESULT answer = -1;
    std::vector<WPARAM> asked;  // the wParam of each WM_CHARTOITEM
    int selectionChanges = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CHARTOITEM) {
            asked.push_back(wParam);
            return answer;
        }
        if (message == WM_COMMAND && LOWORD(wParam) == kListId && HIWORD(wParam) == LBN_SELCHANGE) {
            ++selectionChanges;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

constexpr DWORD kListStyle =
    WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_OWNERDRAWVARIABLE | LBS_WANTKEYBOARDINPUT;

TEST(ListBoxCharacterTest, TheOwnersAnswerToWmCharToItemDecidesTheSelection) {
    struct Case {
        const char* what;
        DWORD style;
        LRESULT answer;
        int asked;     // how many WM_CHARTOITEM the owner saw
        int selected;  // LB_GETCURSEL afterwards; item 1 was selected before
        int notified;  // LBN_SELCHANGE sent
    };
    const Case cases[] = {
        {"-2: handled by the owner", kListStyle, -2, 1, 1, 0},
        {"-1: the list's own search, with no strings to search", kListStyle, -1, 1, 1, 0},
        {"0: the first item, as a dialog left to itself answers", kListStyle, 0, 1, 0, 1},
        {"the selected item again still notifies", kListStyle, 1, 1, 1, 1},
        {"2: the last item", kListStyle, 2, 1, 2, 1},
        {"an index past the items", kListStyle, 3, 1, 1, 0},
        {"without LBS_WANTKEYBOARDINPUT nothing is asked", kListStyle & ~LBS_WANTKEYBOARDINPUT, 0,
         0, 1, 0},
        {"a list with strings does not ask", kListStyle | LBS_HASSTRINGS, 0, 0, 1, 0},
    };
    for (const Case& c : cases) {
        CAnsweringOwner owner;
        ASSERT_TRUE(
            owner.CreateEx(0, nullptr, u"owner", WS_POPUP, RECT{0, 0, 200, 200}, nullptr, 0));
        owner.answer = c.answer;
        CListBox list;
        ASSERT_TRUE(list.CreateEx(0, nullptr, u"", c.style, RECT{0, 0, 150, 150}, &owner, kListId));
        for (int i = 0; i < 3; ++i) {
            list.AddString(nullptr);
        }
        list.SetCurSel(1);
        list.SendMessage(WM_CHAR, '7', 0);
        EXPECT_EQ(static_cast<int>(owner.asked.size()), c.asked) << c.what;
        if (!owner.asked.empty()) {
            EXPECT_EQ(owner.asked[0], MAKEWPARAM('7', 1)) << c.what << ": the character and caret";
        }
        EXPECT_EQ(list.GetCurSel(), c.selected) << c.what;
        EXPECT_EQ(owner.selectionChanges, c.notified) << c.what;
        list.DestroyWindow();
        owner.DestroyWindow();
    }
}

// An owner that keeps a copy of every WM_DRAWITEM its list sends.
class CDrawingOwner : public CWnd {
  public:
    std::vector<DRAWITEMSTRUCT> drawn;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DRAWITEM) {
            drawn.push_back(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Windows' DRAWITEMSTRUCT: for an empty list the item is -1, so that the owner can show the
// focus at rcItem though there are no items; user32 leaves the drawing of it to the owner.
TEST(ListBoxPaintTest, AnEmptyListWithTheFocusAsksItsOwnerForTheFocusAlone) {
    struct Case {
        const char* what;
        int items;
        bool focused;
        std::vector<UINT> itemIds;  // the items drawn, in order
    };
    const Case cases[] = {
        {"empty, with the focus", 0, true, {static_cast<UINT>(-1)}},
        {"empty, without the focus", 0, false, {}},
        {"one item, with the focus", 1, true, {0}},
    };
    // The owner answers no WM_GETFONT, so the list's rows take the default GUI font's height.
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ oldFont = ::SelectObject(screen, ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    ASSERT_TRUE(::GetTextMetricsW(screen, &metrics));
    ::SelectObject(screen, oldFont);
    ::ReleaseDC(nullptr, screen);
    ASSERT_GT(metrics.tmHeight, 0);

    for (const Case& c : cases) {
        CDrawingOwner owner;
        ASSERT_TRUE(owner.CreateEx(0, nullptr, u"owner", WS_POPUP | WS_VISIBLE,
                                   RECT{0, 0, 200, 200}, nullptr, 0));
        CListBox list;
        ASSERT_TRUE(list.CreateEx(0, nullptr, u"", kListStyle | WS_TABSTOP, RECT{10, 10, 160, 160},
                                  &owner, kListId));
        for (int i = 0; i < c.items; ++i) {
            list.AddString(nullptr);
        }
        if (c.focused) {
            list.SetFocus();
        }
        platform::DispatchPendingMessages();
        owner.drawn.clear();
        list.Invalidate();
        platform::DispatchPendingMessages();
        std::vector<UINT> ids;
        for (const DRAWITEMSTRUCT& d : owner.drawn) {
            ids.push_back(d.itemID);
        }
        EXPECT_EQ(ids, c.itemIds) << c.what;
        if (c.items == 0 && !owner.drawn.empty()) {
            const DRAWITEMSTRUCT& d = owner.drawn.front();
            EXPECT_EQ(d.CtlType, ODT_LISTBOX) << c.what;
            EXPECT_EQ(d.CtlID, static_cast<UINT>(kListId)) << c.what;
            EXPECT_EQ(d.itemAction, ODA_FOCUS) << c.what;
            EXPECT_EQ(d.itemState, ODS_FOCUS) << c.what;
            EXPECT_EQ(d.hwndItem, list.m_hWnd) << c.what;
            EXPECT_EQ(d.itemData, 0u) << c.what;
            // The top row of the 150 by 150 list, one line of its font high.
            EXPECT_EQ(d.rcItem.left, 0) << c.what;
            EXPECT_EQ(d.rcItem.top, 0) << c.what;
            EXPECT_EQ(d.rcItem.right, 150) << c.what;
            EXPECT_EQ(d.rcItem.bottom, metrics.tmHeight) << c.what;
        }
        list.DestroyWindow();
        owner.DestroyWindow();
    }
}

}  // namespace
