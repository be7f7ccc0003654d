// COleDispatchDriver: argument types and order by the VTS list, by-reference values filled by
// the callee, property puts, result conversion, and failures raised as automation exceptions.
#include <gtest/gtest.h>

#include "platform/afx/ole_dispatch_driver.h"
#include "tests/com/com_test_support.h"

namespace {

using com_test::RecordingDispatch;

TEST(DispatchDriverTest, ArgumentsGoOutInOrderWithTheirTypes) {
    RecordingDispatch client;
    client.result = 7;
    client.fillLong = 99;
    COleDispatchDriver driver;
    driver.AttachDispatch(&client, FALSE);  // borrowed: the driver never releases it
    LONG number = 0;
    BSTR name = BstrFromUtf8("in");
    SHORT side = 4;
    double price = 0;
    LONG result = 0;
    driver.InvokeHelper(7, DISPATCH_METHOD, VT_I4, &result,
                        VTS_I4 VTS_PI4 VTS_PBSTR VTS_PI2 VTS_PR8 VTS_BSTR VTS_DATE VTS_BOOL,
                        LONG{3}, &number, &name, &side, &price, "Dísel", 41339.5, true);
    EXPECT_EQ(result, 7);
    EXPECT_EQ(number, 99);  // written through the reference
    ASSERT_EQ(client.calls.size(), 1u);
    const com_test::RecordedCall& call = client.calls[0];
    EXPECT_EQ(call.dispid, 7);
    EXPECT_EQ(call.flags, DISPATCH_METHOD);
    EXPECT_TRUE(call.named.empty());
    EXPECT_EQ(call.types,
              (std::vector<VARTYPE>{VT_I4, VT_BYREF | VT_I4, VT_BYREF | VT_BSTR, VT_BYREF | VT_I2,
                                    VT_BYREF | VT_R8, VT_BSTR, VT_DATE, VT_BOOL}));
    EXPECT_EQ(call.args[0].lVal, 3);
    EXPECT_EQ(BstrToUtf8(call.args[2].bstrVal), "in");
    EXPECT_EQ(call.args[3].iVal, 4);
    EXPECT_EQ(BstrToUtf8(call.args[5].bstrVal), "Dísel");
    EXPECT_EQ(call.args[6].date, 41339.5);
    EXPECT_EQ(call.args[7].boolVal, VARIANT_TRUE);
    SysFreeString(name);
    driver.DetachDispatch();
    EXPECT_EQ(client.refs, 1u);
}

TEST(DispatchDriverTest, PropertyPutNamesItsValue) {
    RecordingDispatch client;
    COleDispatchDriver driver(&client, FALSE);
    driver.SetProperty(74, VT_I4, LONG{12});
    ASSERT_EQ(client.calls.size(), 1u);
    EXPECT_EQ(client.calls[0].flags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(client.calls[0].named, (std::vector<DISPID>{DISPID_PROPERTYPUT}));
    EXPECT_EQ(client.calls[0].args[0].lVal, 12);
    SHORT asShort = 0;
    client.result = 40000;
    EXPECT_THROW(driver.GetProperty(75, VT_I2, &asShort), COleException);  // does not fit
    BSTR asText = nullptr;
    driver.GetProperty(75, VT_BSTR, &asText);
    EXPECT_EQ(BstrToUtf8(asText), "40000");
    SysFreeString(asText);
    driver.DetachDispatch();
}

TEST(DispatchDriverTest, FailuresBecomeAutomationExceptions) {
    RecordingDispatch client;
    COleDispatchDriver driver(&client, FALSE);
    client.failure = DISP_E_EXCEPTION;
    client.description = "controller unreachable";
    LONG result = -1;
    try {
        driver.InvokeHelper(22, DISPATCH_METHOD, VT_I4, &result, VTS_I4, LONG{1});
        FAIL() << "no exception";
    } catch (const COleDispatchException& e) {
        EXPECT_EQ(e.m_strDescription, "controller unreachable");
        EXPECT_EQ(e.m_strSource, "Recorder");
        EXPECT_EQ(e.m_scError, E_FAIL);
    }
    EXPECT_EQ(result, -1);  // untouched on failure
    client.failure = DISP_E_MEMBERNOTFOUND;
    try {
        driver.InvokeHelper(22, DISPATCH_METHOD, VT_I4, &result, VTS_NONE);
        FAIL() << "no exception";
    } catch (const COleException& e) {
        EXPECT_EQ(e.m_sc, DISP_E_MEMBERNOTFOUND);
    }
    driver.DetachDispatch();
    // No interface, and arguments that do not match their types, fail before any call.
    const std::size_t calls = client.calls.size();
    EXPECT_THROW(driver.InvokeHelper(1, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE),
                 COleException);
    driver.AttachDispatch(&client, FALSE);
    EXPECT_THROW(driver.InvokeHelper(1, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_PI4, 1.5),
                 COleException);
    EXPECT_THROW(driver.InvokeHelper(1, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_I4 VTS_I4, 1),
                 COleException);
    EXPECT_EQ(client.calls.size(), calls);
    driver.DetachDispatch();
}

}  // namespace
