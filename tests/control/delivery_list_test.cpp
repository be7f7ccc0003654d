// Tests of the delivery list without a control: which changes add, update, remove and empty,
// what each asks to repaint, when a current delivery arrives, and what an update keeps.
#include "control/delivery_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/oleauto.h"
#include "platform/systime.h"

namespace {

using tolvan::DeliveryChange;
using tolvan::DeliveryList;
using Change = tolvan::DeliveryListUpdate::Change;

class DeliveryListTest : public ::testing::Test {
  protected:
    void SetUp() override { platform_test::SetTickCount(10000); }
    void TearDown() override {
        platform_test::ClearTickCount();
        SysFreeString(name_);
        SysFreeString(shortName_);
    }

    // A change of delivery `id` into `state`, with amounts that tell the changes apart.
    DeliveryChange ChangeOf(LONG id, SHORT state, double volume = 10, LONG age = 0) {
        return {id,    31, 1,  4,  &name_, &shortName_, 2, 5.5,   volume, volume * 5.5,
                state, 1,  -1, -1, age,    46000.5,     7, 100.5, 200.25, 300.75};
    }

    // The deliveries' IDs and states from the head, without moving the cursor.
    std::vector<std::pair<LONG, SHORT>> Contents() {
        std::vector<std::pair<LONG, SHORT>> contents;
        for (const tolvan::CDelivery* d = list_.Head(); d != nullptr; d = d->GetNext()) {
            contents.emplace_back(d->DeliveryID, d->DeliveryState);
        }
        return contents;
    }

    BSTR name_ = SysAllocString(u"  Gasolina Comum ");
    BSTR shortName_ = SysAllocString(u" GC\t");
    DeliveryList list_;
};

TEST_F(DeliveryListTest, EachChangeSaysWhatItDidAndWhatToRepaint) {
    struct Step {
        LONG id;
        SHORT state;
        Change change;
        bool wholeFace;
        bool currentArrived;
        std::vector<std::pair<LONG, SHORT>> after;
    };
    const Step steps[] = {
        {5, 3, Change::kNone, true, false, {}},                    // unknown, not listed
        {1, 2, Change::kAdded, false, false, {{1, 2}}},            // stacked: the indicator only
        {2, 1, Change::kAdded, true, true, {{1, 2}, {2, 1}}},      // current: the whole face
        {1, 1, Change::kUpdated, false, false, {{1, 1}, {2, 1}}},  // decided by the old state 2
        {2, 2, Change::kUpdated, true, false, {{1, 1}, {2, 2}}},   // decided by the old state 1
        {3, 2, Change::kAdded, false, false, {{1, 1}, {2, 2}, {3, 2}}},
        {2, 3, Change::kRemoved, false, false, {{1, 1}, {3, 2}}},  // a stacked one paid
        {1, 0, Change::kRemoved, true, false, {{3, 2}}},           // the current one, any state
        {4, 7, Change::kNone, true, false, {{3, 2}}},
        {-1, 1, Change::kEmptied, true, false, {}},
        {-1, 2, Change::kEmptied, true, false, {}},  // an empty list empties again
        {6, 1, Change::kAdded, true, true, {{6, 1}}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "delivery " << step.id << " state " << step.state);
        const tolvan::DeliveryListUpdate update = list_.Apply(ChangeOf(step.id, step.state));
        EXPECT_EQ(update.change, step.change);
        EXPECT_EQ(update.repaintWholeFace, step.wholeFace);
        EXPECT_EQ(update.currentArrived, step.currentArrived);
        EXPECT_EQ(Contents(), step.after);
        EXPECT_EQ(list_.Count(), static_cast<int>(step.after.size()));
    }
}

TEST_F(DeliveryListTest, ANewDeliveryTakesEveryValueWithItsNamesTrimmed) {
    list_.Apply(ChangeOf(9, 2, 12.5, -5));
    ASSERT_EQ(list_.Count(), 1);
    const tolvan::CDelivery* d = list_.Head();
    EXPECT_EQ(list_.Current(), d);  // the cursor stays on the appended delivery
    EXPECT_EQ(d->DeliveryID, 9);
    EXPECT_EQ(d->HoseID, 31);
    EXPECT_EQ(d->HoseNumber, 1);
    EXPECT_EQ(d->GradeID, 4);
    EXPECT_EQ(d->GradeName, "Gasolina Comum");
    EXPECT_EQ(d->ShortGradeName, "GC");
    EXPECT_EQ(d->PriceLevel, 2);
    EXPECT_EQ(d->Price, 5.5);
    EXPECT_EQ(d->Volume, 12.5);
    EXPECT_EQ(d->Value, 68.75);
    EXPECT_EQ(d->DeliveryState, 2);
    EXPECT_EQ(d->DeliveryType, 1);
    EXPECT_EQ(d->LockedBy, -1);
    EXPECT_EQ(d->ReservedBy, -1);
    EXPECT_EQ(d->Age, -5);
    EXPECT_EQ(d->CompletedDT, 46000.5);
    EXPECT_EQ(d->AttendantID, 7);
    EXPECT_EQ(d->VolumeETot, 100.5);
    EXPECT_EQ(d->Volume2ETot, 200.25);
    EXPECT_EQ(d->ValueETot, 300.75);
    EXPECT_EQ(d->CurrentAge(), 5);
}

TEST_F(DeliveryListTest, AnUpdateTakesOnlyTheProgressAndRestartsTheAge) {
    list_.Apply(ChangeOf(9, 2, 12.5, 4));
    platform_test::SetTickCount(13500);
    ASSERT_EQ(list_.Head()->CurrentAge(), 7);

    DeliveryChange update = ChangeOf(9, 1, 99, 20);
    BSTR otherName = SysAllocString(u"Diesel");
    update.GradeName = &otherName;
    update.HoseID = 32;
    update.DeliveryType = 3;
    update.LockedBy = 12;
    update.ReservedBy = 8;
    update.VolumeETot = 1;
    list_.Apply(update);
    SysFreeString(otherName);

    const tolvan::CDelivery* d = list_.Head();
    EXPECT_EQ(d->DeliveryState, 1);
    EXPECT_EQ(d->DeliveryType, 3);
    EXPECT_EQ(d->LockedBy, 12);
    EXPECT_EQ(d->ReservedBy, 8);
    EXPECT_EQ(d->Age, 20);
    EXPECT_EQ(d->CurrentAge(), 20);  // restarted now
    // What the delivery was created with stays.
    EXPECT_EQ(d->Volume, 12.5);
    EXPECT_EQ(d->Value, 68.75);
    EXPECT_EQ(d->HoseID, 31);
    EXPECT_EQ(d->GradeName, "Gasolina Comum");
    EXPECT_EQ(d->VolumeETot, 100.5);
}

TEST_F(DeliveryListTest, NullNamesReadAsEmptyAndTheCursorStaysOnAnUpdatedDelivery) {
    DeliveryChange change = ChangeOf(1, 2);
    change.GradeName = nullptr;
    change.ShortGradeName = nullptr;
    list_.Apply(change);
    list_.Apply(ChangeOf(2, 2));
    list_.Apply(ChangeOf(3, 2));
    EXPECT_EQ(list_.Head()->GradeName, "");
    EXPECT_EQ(list_.Head()->ShortGradeName, "");

    list_.Apply(ChangeOf(2, 1));
    ASSERT_NE(list_.Current(), nullptr);
    EXPECT_EQ(list_.Current()->DeliveryID, 2);
    EXPECT_EQ(list_.CurrentIndex(), 2);
}

}  // namespace
