// Tests of CElementList and CElement: cursor walks both ways and off either end, appending,
// detaching the head, a middle element and the tail, deleting, clearing, ownership (every
// element deleted exactly once, by the list or by whoever detached it) and the shared cursor.
#include "control/element_list.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace {

// A listed type that writes its id into a log when it is deleted.
class Item : public CElement<Item, Item> {
  public:
    Item(int id, std::vector<int>* deleted) : id_(id), deleted_(deleted) {}
    ~Item() override { deleted_->push_back(id_); }
    int Id() const { return id_; }

  private:
    int id_;
    std::vector<int>* deleted_;
};

// The ids from Head to Tail following the successor links (the cursor stays), after checking
// that the predecessor links give the same order backwards.
std::vector<int> Chain(const CElementList<Item>& list) {
    std::vector<int> forward, backward;
    for (const Item* e = list.Head(); e != nullptr; e = e->GetNext()) {
        forward.push_back(e->Id());
    }
    for (const Item* e = list.Tail(); e != nullptr; e = e->GetPrevious()) {
        backward.insert(backward.begin(), e->Id());
    }
    EXPECT_EQ(forward, backward);
    return forward;
}

int IdOf(const Item* e) {
    return e == nullptr ? 0 : e->Id();
}

class ElementListTest : public ::testing::Test {
  protected:
    Item* Make(int id) { return new Item(id, &deleted_); }
    // Appends ids 1..n: cursor on n.
    void Fill(int n) {
        for (int id = 1; id <= n; ++id) {
            list_.Add(Make(id));
        }
    }

    std::vector<int> deleted_;  // declared first: the list deletes into it when destroyed
    CElementList<Item> list_;
};

TEST_F(ElementListTest, EmptyListCursorOperationsChangeNothing) {
    EXPECT_EQ(list_.First(), nullptr);
    EXPECT_EQ(list_.CurrentIndex(), 0);
    EXPECT_EQ(list_.Next(), nullptr);
    EXPECT_EQ(list_.CurrentIndex(), 0);
    EXPECT_EQ(list_.Last(), nullptr);
    EXPECT_EQ(list_.Previous(), nullptr);
    EXPECT_EQ(list_.CurrentIndex(), 0);
    EXPECT_EQ(list_.Detach(), nullptr);
    EXPECT_EQ(list_.DeleteCurrent(), nullptr);
    list_.Clear();
    EXPECT_EQ(list_.Count(), 0);
    EXPECT_EQ(list_.CurrentIndex(), 0);
    EXPECT_EQ(list_.Head(), nullptr);
    EXPECT_EQ(list_.Tail(), nullptr);
    EXPECT_EQ(list_.Current(), nullptr);
}

TEST_F(ElementListTest, AddAppendsAndPutsTheCursorOnTheNewTail) {
    Item* first = Make(1);
    EXPECT_EQ(list_.Add(first), first);
    EXPECT_EQ(list_.Head(), first);
    EXPECT_EQ(list_.Tail(), first);
    EXPECT_EQ(first->GetNext(), nullptr);
    EXPECT_EQ(first->GetPrevious(), nullptr);
    list_.Add(Make(2));
    list_.Add(Make(3));
    EXPECT_EQ(list_.Count(), 3);
    EXPECT_EQ(IdOf(list_.Current()), 3);
    EXPECT_EQ(list_.CurrentIndex(), 3);
    EXPECT_EQ(Chain(list_), (std::vector<int>{1, 2, 3}));

    // After a walk back to the head, Add still appends and moves the cursor to the end.
    list_.First();
    list_.Add(Make(4));
    EXPECT_EQ(IdOf(list_.Current()), 4);
    EXPECT_EQ(list_.CurrentIndex(), 4);
    EXPECT_EQ(Chain(list_), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(ElementListTest, AddRefusesNullAndElementsAlreadyListed) {
    EXPECT_EQ(list_.Add(nullptr), nullptr);
    EXPECT_EQ(list_.Count(), 0);

    Item* only = list_.Add(Make(1));
    EXPECT_EQ(list_.Add(only), nullptr);  // the head of a one-element list has no links
    list_.Add(Make(2));
    list_.Add(Make(3));
    list_.First();
    Item* middle = list_.Next();
    EXPECT_EQ(list_.Add(middle), nullptr);
    EXPECT_EQ(list_.Count(), 3);
    EXPECT_EQ(IdOf(list_.Current()), 2);
    EXPECT_EQ(list_.CurrentIndex(), 2);
    EXPECT_EQ(Chain(list_), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(deleted_.empty());
}

TEST_F(ElementListTest, WalksRunOffEitherEndAndStayOff) {
    Fill(3);
    std::vector<int> seen;
    for (Item* e = list_.First(); e != nullptr; e = list_.Next()) {
        seen.push_back(e->Id());
        EXPECT_EQ(list_.CurrentIndex(), e->Id());
    }
    EXPECT_EQ(list_.CurrentIndex(), 4);
    EXPECT_EQ(list_.Next(), nullptr);
    EXPECT_EQ(list_.Previous(), nullptr);  // off the list: no way back
    EXPECT_EQ(list_.CurrentIndex(), 4);

    for (Item* e = list_.Last(); e != nullptr; e = list_.Previous()) {
        seen.push_back(e->Id());
        EXPECT_EQ(list_.CurrentIndex(), e->Id());
    }
    EXPECT_EQ(list_.CurrentIndex(), 0);
    EXPECT_EQ(list_.Next(), nullptr);
    EXPECT_EQ(list_.CurrentIndex(), 0);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 3, 2, 1}));
}

// Detaching each position of a three-element list.
TEST_F(ElementListTest, DetachUnlinksTheCursorElementAndMovesTheCursorToItsSuccessor) {
    struct Case {
        int position;           // 1-based, where the cursor is put before Detach
        std::vector<int> left;  // the list afterwards, Head to Tail
        int cursor;             // id of the cursor element afterwards, 0 when off the list
    };
    const Case cases[] = {
        {1, {2, 3}, 2},
        {2, {1, 3}, 3},
        {3, {1, 2}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        CElementList<Item> list;
        std::vector<int> deleted;
        for (int id = 1; id <= 3; ++id) {
            list.Add(new Item(id, &deleted));
        }
        list.First();
        for (int i = 1; i < c.position; ++i) {
            list.Next();
        }

        Item* detached = list.Detach();
        ASSERT_NE(detached, nullptr);
        EXPECT_EQ(detached->Id(), c.position);
        EXPECT_EQ(detached->GetNext(), nullptr);
        EXPECT_EQ(detached->GetPrevious(), nullptr);
        EXPECT_EQ(list.Count(), 2);
        EXPECT_EQ(list.CurrentIndex(), c.position);
        EXPECT_EQ(IdOf(list.Current()), c.cursor);
        EXPECT_EQ(Chain(list), c.left);

        // The caller owns the detached element: the list never deletes it.
        EXPECT_TRUE(deleted.empty());
        list.Clear();
        EXPECT_EQ(deleted, c.left);
        delete detached;
        EXPECT_EQ(deleted.back(), c.position);
    }
}

TEST_F(ElementListTest, DetachOfTheOnlyElementEmptiesTheList) {
    Fill(1);
    Item* detached = list_.Detach();
    ASSERT_NE(detached, nullptr);
    EXPECT_EQ(list_.Count(), 0);
    EXPECT_EQ(list_.Head(), nullptr);
    EXPECT_EQ(list_.Tail(), nullptr);
    EXPECT_EQ(list_.Current(), nullptr);
    EXPECT_EQ(list_.CurrentIndex(), 1);
    list_.Add(detached);  // an unlinked element may be listed again
    EXPECT_EQ(list_.Count(), 1);
    EXPECT_EQ(list_.CurrentIndex(), 1);
    EXPECT_EQ(list_.Head(), detached);
}

TEST_F(ElementListTest, DeleteCurrentDeletesOnlyTheCursorElement) {
    Fill(3);
    list_.First();
    list_.Next();
    EXPECT_EQ(IdOf(list_.DeleteCurrent()), 3);
    EXPECT_EQ(deleted_, (std::vector<int>{2}));
    EXPECT_EQ(list_.CurrentIndex(), 2);
    EXPECT_EQ(list_.DeleteCurrent(), nullptr);  // deletes the tail, 3
    EXPECT_EQ(deleted_, (std::vector<int>{2, 3}));

    // Off the list now: nothing more is deleted.
    EXPECT_EQ(list_.DeleteCurrent(), nullptr);
    EXPECT_EQ(deleted_, (std::vector<int>{2, 3}));
    EXPECT_EQ(list_.Count(), 1);
    EXPECT_EQ(Chain(list_), (std::vector<int>{1}));
    EXPECT_EQ(list_.Tail(), list_.Head());
}

// The users' search: walk from First to the wanted element, which DeleteCurrent then removes;
// a sweep deletes while walking, continuing from the element that DeleteCurrent returns.
TEST_F(ElementListTest, WalksShareTheCursorAndDeleteExactlyTheFoundElement) {
    Fill(6);
    Item* found = list_.First();
    while (found != nullptr && found->Id() != 4) {
        found = list_.Next();
    }
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(list_.Current(), found);  // the walk leaves the cursor on it
    list_.DeleteCurrent();
    EXPECT_EQ(deleted_, (std::vector<int>{4}));

    for (Item* e = list_.First(); e != nullptr;) {
        e = e->Id() % 2 == 1 ? list_.DeleteCurrent() : list_.Next();
    }
    EXPECT_EQ(deleted_, (std::vector<int>{4, 1, 3, 5}));
    EXPECT_EQ(Chain(list_), (std::vector<int>{2, 6}));
    EXPECT_EQ(list_.Count(), 2);
    EXPECT_EQ(list_.CurrentIndex(), 3);
}

TEST_F(ElementListTest, ClearDeletesEveryElementOnceAndLeavesAUsableList) {
    for (int length : {0, 1, 2, 5}) {
        SCOPED_TRACE(length);
        deleted_.clear();
        Fill(length);
        list_.First();
        list_.Next();  // the cursor anywhere: Clear starts from the head
        list_.Clear();
        EXPECT_EQ(deleted_.size(), static_cast<std::size_t>(length));
        EXPECT_EQ(list_.Count(), 0);
        EXPECT_EQ(list_.Head(), nullptr);
        EXPECT_EQ(list_.Tail(), nullptr);
        EXPECT_EQ(list_.Current(), nullptr);
        EXPECT_EQ(list_.CurrentIndex(), length == 0 ? 0 : 1);  // past the end of nothing
    }
    list_.Add(Make(9));
    EXPECT_EQ(list_.Count(), 1);
    EXPECT_EQ(list_.CurrentIndex(), 1);
    EXPECT_EQ(Chain(list_), (std::vector<int>{9}));
}

TEST(ElementListOwnershipTest, DestroyingTheListDeletesItsElements) {
    std::vector<int> deleted;
    {
        CElementList<Item> list;
        for (int id = 1; id <= 4; ++id) {
            list.Add(new Item(id, &deleted));
        }
        list.Last();
        list.Previous();
    }
    EXPECT_EQ(deleted, (std::vector<int>{1, 2, 3, 4}));
}

// Deleting an element that is still linked takes every element after it along; the element
// before it then ends the chain instead of pointing at freed memory.
TEST(ElementListOwnershipTest, DeletingALinkedElementDeletesTheRestOfTheChain) {
    std::vector<int> deleted;
    {
        CElementList<Item> list;
        Item* first = list.Add(new Item(1, &deleted));
        Item* second = list.Add(new Item(2, &deleted));
        list.Add(new Item(3, &deleted));
        delete second;
        EXPECT_EQ(deleted, (std::vector<int>{2, 3}));
        EXPECT_EQ(first->GetNext(), nullptr);
    }
    EXPECT_EQ(deleted, (std::vector<int>{2, 3, 1}));  // the list deletes what is left, once
}

}  // namespace
