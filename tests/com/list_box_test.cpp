// CListBox's characters: a list without strings that wants the keyboard offers each character to
// its owner as WM_CHARTOITEM, as user32's list box does, and acts on the answer. (Inside a
// CDialog the answer is the list object's CharToItem: the popup's tests press digits.)
#include <gtest/gtest.h>

#include <vector>

#include "platform/afx/controls.h"

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

}  // namespace
