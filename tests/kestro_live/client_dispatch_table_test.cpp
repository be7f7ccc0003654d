// The client object's dispatch table, in-process and without a server: every member of its
// type library is served by the member of that name, and a DISPID it lacks is refused.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "client/kestro_automation.h"
#include "kestro/automation/client_type_library.h"
#include "kestro/automation/kestro_client.h"
#include "kestro/model/result_codes.h"
#include "platform/dispatch_call.h"
#include "tests/support/automation_values.h"

namespace {

using kestro::automation::CKestroClient;
using kestro::automation::ClientInterface;
using platform::Invoke;
using test_variants::I4;

class ClientDispatchTableTest : public ::testing::Test {
  protected:
    void TearDown() override { client_->Release(); }
    CKestroClient* client_ = new CKestroClient;
};

// DISPIDs in the gaps of the table, beyond it and below it, in every way of calling.
TEST_F(ClientDispatchTableTest, AnUnknownDispidIsNoMember) {
    for (const DISPID dispid : {0, 8, 9, 28, 73, 75, 94, 500, -1}) {
        Variant result(I4(77));
        EXPECT_EQ(Invoke(client_, dispid, DISPATCH_METHOD, {}, &result), DISP_E_MEMBERNOTFOUND)
            << dispid;
        EXPECT_EQ(Invoke(client_, dispid, DISPATCH_PROPERTYGET, {}, &result), DISP_E_MEMBERNOTFOUND)
            << dispid;
        EXPECT_EQ(Invoke(client_, dispid, DISPATCH_PROPERTYPUT, {I4(3)}), DISP_E_MEMBERNOTFOUND)
            << dispid;
        EXPECT_EQ(result.Type(), VT_EMPTY) << dispid;
    }
}

// Each property keeps its own value: a put of one is seen by its get and by no other.
TEST_F(ClientDispatchTableTest, EachLongPropertyKeepsItsOwnValue) {
    struct Row {
        DISPID dispid;
        LONG initial;
        LONG put;
    };
    const Row rows[] = {
        {kestro::automation::kCallPort, 5123, 6123},
        {kestro::automation::kEventsPort, 5124, 6124},
        {kestro::automation::kClientID, 1, 9},
        {kestro_automation::kCurrentPumpID, -1, 12},
    };
    for (const Row& row : rows) {
        Variant value;
        ASSERT_EQ(Invoke(client_, row.dispid, DISPATCH_PROPERTYGET, {}, &value), S_OK);
        EXPECT_EQ(value.Type(), VT_I4);
        EXPECT_EQ(value.Get().lVal, row.initial) << row.dispid;
    }
    for (const Row& row : rows) {
        ASSERT_EQ(Invoke(client_, row.dispid, DISPATCH_PROPERTYPUT, {I4(row.put)}), S_OK);
    }
    for (const Row& row : rows) {
        Variant value;
        ASSERT_EQ(Invoke(client_, row.dispid, DISPATCH_PROPERTYGET, {}, &value), S_OK);
        EXPECT_EQ(value.Get().lVal, row.put) << row.dispid;
    }
    Variant connected;
    ASSERT_EQ(Invoke(client_, kestro::automation::kConnected, DISPATCH_PROPERTYGET, {}, &connected),
              S_OK);
    EXPECT_EQ(connected.Type(), VT_I2);
    EXPECT_EQ(connected.Get().iVal, 0);
    EXPECT_EQ(Invoke(client_, kestro::automation::kConnected, DISPATCH_PROPERTYPUT, {I4(1)}),
              DISP_E_MEMBERNOTFOUND);
}

// Every method of the type library reaches a member of the table: before a logon those that
// go to the server answer kNotLoggedOn, Logoff too, and a withdrawal succeeds.
TEST_F(ClientDispatchTableTest, EveryMethodOfTheTypeLibraryIsServed) {
    int methods = 0;
    for (const MemberInfo& member : ClientInterface().members) {
        if (member.kind != MemberKind::Method || member.dispid == kestro::automation::kLogon) {
            continue;  // a logon would look for a server
        }
        ++methods;
        // Zeroed targets for every by-reference parameter, a zero for every by-value one.
        std::vector<std::uint64_t> targets(member.params.size(), 0);
        std::vector<VARIANT> args;
        for (std::size_t i = 0; i < member.params.size(); ++i) {
            const VARTYPE vt = member.params[i].vt;
            VARIANT arg;
            VariantInit(&arg);
            arg.vt = vt;
            if ((vt & VT_BYREF) != 0) {
                arg.byref = &targets[i];
            }
            args.push_back(arg);
        }
        Variant result;
        ASSERT_EQ(Invoke(client_, member.dispid, DISPATCH_METHOD, std::move(args), &result), S_OK)
            << member.name;
        const LONG expected = member.dispid == kestro_automation::kRegisterPumpControl
                                  ? kestro::kSuccess
                                  : kestro::kNotLoggedOn;
        EXPECT_EQ(result.Get().lVal, expected) << member.name;
        EXPECT_EQ(targets, std::vector<std::uint64_t>(member.params.size(), 0))
            << member.name << " wrote an output without a server";
    }
    EXPECT_EQ(methods, 23);  // every method but Logon
}

}  // namespace
