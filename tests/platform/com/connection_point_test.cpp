// ConnectionPoint: the container's reference count, Advise's sink query and cookies,
// Unadvise, and events raised on every sink in the order of advising.
#include "platform/connection_point.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/oleauto.h"
#include "tests/support/automation_values.h"

namespace {

constexpr IID kEventsIid = MakeGuid("5E1C0A11-7D3B-4C2A-9F00-0000000000E1");
constexpr DISPID kPumpChanged = 3;

// The object a point belongs to: it counts its references.
class CountedContainer final : public IConnectionPointContainer {
  public:
    HRESULT QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT FindConnectionPoint(REFIID, IConnectionPoint** ppCP) override {
        *ppCP = nullptr;
        return CONNECT_E_NOCONNECTION;
    }

    ULONG refs = 1;
};

// A sink that writes "name:dispid:first argument" into a shared log for every call, and
// answers QueryInterface for the interfaces it is given. It lives on the test's stack.
class LoggingSink final : public IDispatch {
  public:
    LoggingSink(std::string name, std::vector<std::string>& log, std::vector<IID> interfaces)
        : name_(std::move(name)), log_(log), interfaces_(std::move(interfaces)) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        ++queries;
        for (const IID& iid : interfaces_) {
            if (riid == iid) {
                *ppv = static_cast<IDispatch*>(this);
                AddRef();
                return S_OK;
            }
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                   EXCEPINFO* info, UINT*) override {
        std::string entry = name_ + ":" + std::to_string(dispid);
        if (flags != DISPATCH_METHOD) {
            entry += ":not a method";
        }
        for (UINT i = params->cArgs; i-- > 0;) {  // the first argument is the last one held
            entry += ":" + std::to_string(params->rgvarg[i].lVal);
        }
        log_.push_back(entry);
        if (onInvoke) {
            onInvoke();
        }
        if (raise) {
            info->bstrSource = SysAllocString(u"sink");
            info->bstrDescription = SysAllocString(u"the sink failed");
            return DISP_E_EXCEPTION;
        }
        return S_OK;
    }

    ULONG refs = 1;  // the test's own
    int queries = 0;
    bool raise = false;
    std::function<void()> onInvoke;

  private:
    std::string name_;
    std::vector<std::string>& log_;
    std::vector<IID> interfaces_;
};

class ConnectionPointTest : public ::testing::Test {
  protected:
    void Fire(std::vector<LONG> forward) {
        std::vector<VARIANT> reversed;
        for (auto it = forward.rbegin(); it != forward.rend(); ++it) {
            reversed.push_back(test_variants::I4(*it));
        }
        point_.Fire(kPumpChanged, reversed.data(), static_cast<UINT>(reversed.size()));
    }
    // Advises each sink in turn; the cookies in the same order.
    std::vector<DWORD> AdviseAll(std::initializer_list<LoggingSink*> sinks) {
        std::vector<DWORD> cookies;
        for (LoggingSink* sink : sinks) {
            DWORD cookie = 0;
            EXPECT_EQ(point_.Advise(sink, &cookie), S_OK);
            cookies.push_back(cookie);
        }
        return cookies;
    }

    // A sink that outlives the point (which may still hold it when the test ends).
    LoggingSink& NewSink(std::string name, std::vector<IID> interfaces) {
        return sinks_.emplace_back(std::move(name), log_, std::move(interfaces));
    }

    CountedContainer container_;
    std::vector<std::string> log_;
    std::deque<LoggingSink> sinks_;
    ConnectionPoint point_{container_, kEventsIid};
};

TEST_F(ConnectionPointTest, ReferencesAreTheContainers) {
    EXPECT_EQ(point_.AddRef(), 2u);
    EXPECT_EQ(container_.refs, 2u);
    EXPECT_EQ(point_.Release(), 1u);

    for (const IID& iid : {IID_IUnknown, IID_IConnectionPoint}) {
        void* got = nullptr;
        ASSERT_EQ(point_.QueryInterface(iid, &got), S_OK);
        EXPECT_EQ(got, static_cast<IConnectionPoint*>(&point_));
        EXPECT_EQ(container_.refs, 2u);
        point_.Release();
    }
    void* got = &container_;
    EXPECT_EQ(point_.QueryInterface(IID_IDispatch, &got), E_NOINTERFACE);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(point_.QueryInterface(IID_IUnknown, nullptr), E_POINTER);

    IConnectionPointContainer* owner = nullptr;
    ASSERT_EQ(point_.GetConnectionPointContainer(&owner), S_OK);
    EXPECT_EQ(owner, &container_);
    EXPECT_EQ(container_.refs, 2u);
    owner->Release();
    EXPECT_EQ(point_.GetConnectionPointContainer(nullptr), E_POINTER);
    EXPECT_EQ(container_.refs, 1u);
}

TEST_F(ConnectionPointTest, ConnectionInterfaceIsTheOneSetLast) {
    IID iid = IID_NULL;
    ASSERT_EQ(point_.GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, kEventsIid);
    point_.SetInterface(IID_IPersist);
    ASSERT_EQ(point_.GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, IID_IPersist);
    EXPECT_EQ(point_.GetConnectionInterface(nullptr), E_POINTER);
}

TEST_F(ConnectionPointTest, AdviseTakesTheEventsInterfaceOrIDispatchAndNothingElse) {
    struct Case {
        const char* name;
        std::vector<IID> interfaces;
        HRESULT advised;
        int queries;  // the events' IID first, IID_IDispatch only when that fails
    };
    const Case cases[] = {
        {"events", {IID_IUnknown, kEventsIid}, S_OK, 1},
        {"dispatch", {IID_IUnknown, IID_IDispatch}, S_OK, 2},
        {"neither", {IID_IUnknown, IID_IPersist}, CONNECT_E_CANNOTCONNECT, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoggingSink& sink = NewSink(c.name, c.interfaces);
        DWORD cookie = 77;
        EXPECT_EQ(point_.Advise(&sink, &cookie), c.advised);
        EXPECT_EQ(sink.queries, c.queries);
        if (c.advised == S_OK) {
            EXPECT_NE(cookie, 0u);
            EXPECT_EQ(sink.refs, 2u);  // held until Unadvise
            EXPECT_EQ(point_.Unadvise(cookie), S_OK);
        } else {
            EXPECT_EQ(cookie, 0u);
        }
        EXPECT_EQ(sink.refs, 1u);
    }
    EXPECT_EQ(point_.Count(), 0u);
    EXPECT_EQ(container_.refs, 1u);
}

TEST_F(ConnectionPointTest, CookiesCountFromOneAndAreNotReused) {
    LoggingSink& sink = NewSink("sink", {IID_IDispatch});
    EXPECT_EQ(AdviseAll({&sink, &sink, &sink}), (std::vector<DWORD>{1, 2, 3}));
    EXPECT_EQ(sink.refs, 4u);

    EXPECT_EQ(point_.Unadvise(2), S_OK);
    EXPECT_EQ(point_.Unadvise(2), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point_.Unadvise(0), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point_.Unadvise(4), CONNECT_E_NOCONNECTION);
    DWORD next = 0;
    ASSERT_EQ(point_.Advise(&sink, &next), S_OK);
    EXPECT_EQ(next, 4u);
    EXPECT_EQ(point_.Count(), 3u);

    DWORD untouched = 9;
    EXPECT_EQ(point_.Advise(nullptr, &untouched), E_POINTER);
    EXPECT_EQ(untouched, 9u);
    EXPECT_EQ(point_.Advise(&sink, nullptr), E_POINTER);
    EXPECT_EQ(point_.Count(), 3u);
    EXPECT_EQ(sink.refs, 4u);
}

TEST_F(ConnectionPointTest, EverySinkGetsTheEventInTheOrderOfAdvising) {
    LoggingSink& first = NewSink("first", {IID_IDispatch});
    LoggingSink& second = NewSink("second", {kEventsIid});
    LoggingSink& third = NewSink("third", {IID_IDispatch});
    const std::vector<DWORD> cookies = AdviseAll({&third, &first, &second});

    Fire({7, 11});
    EXPECT_EQ(log_, (std::vector<std::string>{"third:3:7:11", "first:3:7:11", "second:3:7:11"}));

    log_.clear();
    ASSERT_EQ(point_.Unadvise(cookies[1]), S_OK);
    Fire({});
    EXPECT_EQ(log_, (std::vector<std::string>{"third:3", "second:3"}));
    EXPECT_EQ(first.refs, 1u);
    EXPECT_EQ(second.refs, 2u);
}

TEST_F(ConnectionPointTest, SinksThatUnadviseOrFailDoNotStopTheOthers) {
    const long strings = SysLiveStringCount();
    LoggingSink& first = NewSink("first", {IID_IDispatch});
    LoggingSink& second = NewSink("second", {IID_IDispatch});
    LoggingSink& third = NewSink("third", {IID_IDispatch});
    const std::vector<DWORD> cookies = AdviseAll({&first, &second, &third});
    // The first takes itself and the second off while it is called; the third raises.
    first.onInvoke = [&] {
        EXPECT_EQ(point_.Unadvise(cookies[0]), S_OK);
        EXPECT_EQ(point_.Unadvise(cookies[1]), S_OK);
    };
    third.raise = true;

    Fire({5});
    EXPECT_EQ(log_, (std::vector<std::string>{"first:3:5", "second:3:5", "third:3:5"}));
    EXPECT_EQ(SysLiveStringCount(), strings);  // the exception's texts were freed
    EXPECT_EQ(first.refs, 1u);
    EXPECT_EQ(second.refs, 1u);

    log_.clear();
    Fire({6});
    EXPECT_EQ(log_, (std::vector<std::string>{"third:3:6"}));
}

TEST(ConnectionPointLifetimeTest, SinksStillAdvisedAreReleasedWithThePoint) {
    CountedContainer container;
    std::vector<std::string> log;
    LoggingSink sink("sink", log, {IID_IDispatch});
    {
        ConnectionPoint point(container, kEventsIid);
        DWORD cookie = 0;
        ASSERT_EQ(point.Advise(&sink, &cookie), S_OK);
        ASSERT_EQ(point.Advise(&sink, &cookie), S_OK);
        EXPECT_EQ(sink.refs, 3u);
    }
    EXPECT_EQ(sink.refs, 1u);
    EXPECT_EQ(container.refs, 1u);
}

}  // namespace
