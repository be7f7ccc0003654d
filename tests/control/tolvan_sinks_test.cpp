// The control's sinks through COM: what a status repaints and keeps, the delivery list that
// the delivery changes build (new, updated, removed, cleared), the events they raise, and the
// age of a delivery on the controllable clock.
#include "control/tolvan_ctrl.h"
#include "platform/systime.h"
#include "tests/control/tolvan_test_support.h"

namespace tolvan_test {
namespace {

struct Status {
    SHORT state = 8;
    SHORT reservedFor = 0;
    LONG gradeId = 5;
    double price = 1.5;
    double volume = 10;
    double value = 15;
    SHORT stackSize = 0;
};

struct Delivery {
    LONG id;
    SHORT state;
    double volume = 20;
    LONG age = 0;
};

class TolvanSinksTest : public TolvanTest {
  protected:
    void SetUp() override {
        TolvanTest::SetUp();
        // A loaded pump: Number 1, so that a status is not preceded by a refresh.
        client_.Expect(72, 0);
        client_.Expect(7, 0, [](DISPPARAMS* p) { *p->rgvarg[16].plVal = 1; });
        client_.Expect(12, 0);
        SetKestro(&client_);
        PutOk(1, I4(1));
        Object().TakeInvalidations();
    }
    void TearDown() override {
        client_.ClearCalls();  // the recorded calls hold references on the control
        TolvanTest::TearDown();
    }

    void SendStatus(const Status& s) {
        BSTR grade = BstrFromUtf8("  Unleaded ");
        BSTR shortGrade = BstrFromUtf8("ULP");
        EXPECT_EQ(CallLong(49, {I2(s.state), I2(s.reservedFor), I4(-1), I4(11), I2(1),
                                I4(s.gradeId), ByRef(VT_BSTR, &grade), ByRef(VT_BSTR, &shortGrade),
                                I2(1), R8(s.price), R8(s.volume), R8(s.value), I2(s.stackSize)}),
                  0);
        SysFreeString(grade);
        SysFreeString(shortGrade);
    }

    void SendDelivery(const Delivery& d, bool withTotals = false) {
        BSTR grade = BstrFromUtf8(" Diesel ");
        BSTR shortGrade = BstrFromUtf8("D");
        std::vector<VARIANT> args = {I4(d.id),
                                     I4(11),
                                     I2(1),
                                     I4(5),
                                     ByRef(VT_BSTR, &grade),
                                     ByRef(VT_BSTR, &shortGrade),
                                     I2(1),
                                     R8(1.5),
                                     R8(d.volume),
                                     R8(d.volume * 1.5),
                                     I2(d.state),
                                     I2(0),
                                     I4(-1),
                                     I4(-1),
                                     I4(d.age),
                                     Date(41339.5),
                                     I4(7)};
        if (withTotals) {
            args.push_back(R8(1000.5));
            args.push_back(R8(2000.5));
            args.push_back(R8(3000.5));
        }
        EXPECT_EQ(CallLong(withTotals ? 63 : 50, args), 0);
        SysFreeString(grade);
        SysFreeString(shortGrade);
    }

    CElementList<tolvan::CDelivery>& Deliveries() {
        return static_cast<tolvan::CTolvanCtrl&>(Object()).GetDeliveries();
    }

    RecordingClient client_;
};

TEST_F(TolvanSinksTest, AStatusRepaintsOnlyWhatChanged) {
    struct Case {
        const char* what;
        Status status;
        std::vector<CRect> repaints;
    };
    const Case kCases[] = {
        {"first status: new state", {}, {CRect(0, 0, 80, 80)}},
        {"identical", {}, {}},
        {"volume only", {8, 0, 5, 1.5, 11, 15, 0}, {CRect(1, 18, 56, 46)}},
        {"value only", {8, 0, 5, 1.5, 11, 16.5, 0}, {CRect(1, 18, 56, 46)}},
        {"price", {8, 0, 5, 1.6, 11, 16.5, 0}, {CRect(1, 18, 56, 58)}},
        {"below a ten-thousandth", {8, 0, 5, 1.60001, 11, 16.5, 0}, {}},
        {"reserved for", {8, 2, 5, 1.6, 11, 16.5, 0}, {CRect(0, 0, 80, 80)}},
        {"grade", {8, 2, 6, 1.6, 11, 16.5, 0}, {CRect(0, 0, 80, 80)}},
        {"stack size", {8, 2, 6, 1.6, 11, 16.5, 1}, {CRect(0, 0, 80, 80)}},
    };
    for (const Case& c : kCases) {
        SendStatus(c.status);
        std::vector<CRect> rects;
        for (const COleControl::Invalidation& i : Object().TakeInvalidations()) {
            EXPECT_FALSE(i.erase) << c.what;
            rects.push_back(i.rect);
        }
        EXPECT_EQ(rects, c.repaints) << c.what;
    }
    EXPECT_EQ(GetText(26), "Unleaded");  // trimmed at both ends
    EXPECT_EQ(GetShort(31), 1);
    EXPECT_EQ(GetDouble(28), 1.6);
}

TEST_F(TolvanSinksTest, AFirstStatusWhileThePumpIsNotLoadedRefreshesFirst) {
    PutOk(1, I4(-1));  // withdraws and drops the client: Number 0 again
    client_.ClearCalls();
    client_.Expect(7, 1);  // the pump does not load: Number stays 0
    SetKestro(&client_);
    PutOk(1, I4(2));
    client_.ClearCalls();
    SendStatus({});
    ASSERT_EQ(client_.calls.size(), 2u);
    EXPECT_EQ(client_.calls[0].dispid, 72);
    EXPECT_EQ(client_.calls[1].dispid, 7);
    EXPECT_EQ(GetShort(22), 8);
}

TEST_F(TolvanSinksTest, DeliveryChangesKeepTheListAndRepaintByTheDecidingState) {
    struct Step {
        const char* what;
        Delivery change;
        int count;
        bool wholeFace;
    };
    const Step kSteps[] = {
        {"new current delivery", {101, 1}, 1, true},
        {"new stacked delivery", {102, 2}, 2, false},
        {"unknown delivery cleared", {103, 3}, 2, true},
        {"current becomes stacked", {101, 2, 99}, 2, true},
        {"stacked becomes current", {101, 1}, 2, false},
        {"known delivery cleared", {102, 3}, 1, false},
        {"every delivery cleared", {-1, 0}, 0, true},
    };
    for (const Step& s : kSteps) {
        SendDelivery(s.change);
        EXPECT_EQ(Deliveries().Count(), s.count) << s.what;
        const std::vector<COleControl::Invalidation> repaint = Object().TakeInvalidations();
        ASSERT_EQ(repaint.size(), 1u) << s.what;
        EXPECT_EQ(repaint[0].rect, s.wholeFace ? CRect(0, 0, 80, 80) : CRect(28, 0, 79, 12))
            << s.what;
        EXPECT_EQ(repaint[0].erase, s.wholeFace) << s.what;
    }
}

TEST_F(TolvanSinksTest, AnUpdateKeepsTheDeliverysAmountsAndAStatusInStateZeroEmptiesTheList) {
    SendDelivery({201, 2, 20, 4});
    SendDelivery({201, 1, 35, 9}, true);
    ASSERT_EQ(Deliveries().Count(), 1);
    const tolvan::CDelivery* d = Deliveries().First();
    EXPECT_EQ(d->DeliveryState, 1);
    EXPECT_EQ(d->Age, 9);
    EXPECT_EQ(d->Volume, 20);  // as created
    EXPECT_EQ(d->GradeName, "Diesel");
    EXPECT_EQ(d->VolumeETot, 0);  // created without totals
    SendDelivery({202, 2}, true);
    EXPECT_EQ(Deliveries().Last()->ValueETot, 3000.5);

    SendStatus({0});
    EXPECT_EQ(Deliveries().Count(), 0);
}

TEST_F(TolvanSinksTest, DeliveryChangesAreRaisedAsReceived) {
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(control_->QueryInterface(IID_IConnectionPointContainer,
                                       reinterpret_cast<void**>(&container)),
              S_OK);
    IConnectionPoint* point = nullptr;
    ASSERT_EQ(
        container->FindConnectionPoint(MakeGuid("1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A"), &point),
        S_OK);
    container->Release();
    EventRecorder sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);

    SendDelivery({-1, 0});
    SendDelivery({301, 1, 20, -5}, true);
    ASSERT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[0].dispid, 2);
    EXPECT_EQ(sink.events[0].values.size(), 17u);
    EXPECT_EQ(sink.events[0].values[0].lVal, -1);
    EXPECT_EQ(sink.events[1].dispid, 4);
    ASSERT_EQ(sink.events[1].values.size(), 20u);
    EXPECT_EQ(BstrToUtf8(sink.events[1].values[4].bstrVal), " Diesel ");
    EXPECT_EQ(sink.events[1].values[14].lVal, -5);
    EXPECT_EQ(sink.events[1].values[15].vt, VT_DATE);
    EXPECT_EQ(sink.events[1].values[19].dblVal, 3000.5);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    point->Release();
}

TEST_F(TolvanSinksTest, TheAgeOfADeliveryCountsOnFromWhatWasReceived) {
    platform_test::SetTickCount(0xFFFFF000u);  // across the wrap of the tick count
    SendDelivery({401, 2, 20, -5});
    const tolvan::CDelivery* d = Deliveries().First();
    EXPECT_EQ(d->CurrentAge(), 5);
    platform_test::AdvanceTickCount(2000);
    EXPECT_EQ(d->CurrentAge(), 7);
    SendDelivery({401, 2, 20, 3});  // an update restarts the age
    EXPECT_EQ(d->CurrentAge(), 3);
    platform_test::ClearTickCount();
}

}  // namespace
}  // namespace tolvan_test
