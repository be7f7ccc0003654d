// UnknownBase: the interface map answers each listed interface and nothing else, and each
// named lifetime counts (or does not) and deletes (or does not) as its name says.
#include "platform/unknown_base.h"

#include <gtest/gtest.h>

namespace {

// A dispatch object with a second interface; `deleted` is set by its destructor.
template <class Base>
class Probe final : public Base {
  public:
    explicit Probe(bool* deleted = nullptr) : deleted_(deleted) {}
    ~Probe() override {
        if (deleted_ != nullptr) {
            *deleted_ = true;
        }
    }
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT GetClassInfo(ITypeInfo**) override { return E_NOTIMPL; }

  private:
    bool AlsoAnswers(REFIID riid) const override { return riid == kOwnIid; }
    bool* deleted_;

  public:
    static constexpr IID kOwnIid = MakeGuid("0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");
};

using CountedProbe = Probe<CountedObject<IDispatch, IProvideClassInfo>>;

TEST(UnknownBaseTest, TheMapAnswersEachInterfaceWithItsOwnPointer) {
    CountedProbe* probe = new CountedProbe;
    IDispatch* dispatch = probe;
    IProvideClassInfo* info = probe;
    struct Row {
        const char* what;
        IID iid;
        void* expected;
    };
    const Row rows[] = {
        {"IUnknown", IID_IUnknown, dispatch},
        {"IDispatch", IID_IDispatch, dispatch},
        {"its own IID", CountedProbe::kOwnIid, dispatch},
        {"IProvideClassInfo", IID_IProvideClassInfo, info},
        {"an interface it lacks", IID_IConnectionPointContainer, nullptr},
    };
    for (const Row& row : rows) {
        void* answer = reinterpret_cast<void*>(1);
        const HRESULT hr = dispatch->QueryInterface(row.iid, &answer);
        EXPECT_EQ(hr, row.expected != nullptr ? S_OK : E_NOINTERFACE) << row.what;
        EXPECT_EQ(answer, row.expected) << row.what;
        if (answer != nullptr) {
            static_cast<IUnknown*>(answer)->Release();
        }
    }
    EXPECT_EQ(dispatch->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
    EXPECT_EQ(dispatch->Release(), 0u);
}

TEST(UnknownBaseTest, EachLifetimeCountsAndEndsAsNamed) {
    bool deleted = false;
    IDispatch* counted = new CountedProbe(&deleted);
    EXPECT_EQ(counted->AddRef(), 2u);
    EXPECT_EQ(counted->Release(), 1u);
    EXPECT_FALSE(deleted);
    EXPECT_EQ(counted->Release(), 0u);
    EXPECT_TRUE(deleted);

    deleted = false;
    {
        Probe<ScopedObject<IDispatch, IProvideClassInfo>> scoped(&deleted);
        EXPECT_EQ(scoped.AddRef(), 2u);
        EXPECT_EQ(scoped.Release(), 1u);
        EXPECT_EQ(scoped.Release(), 0u);  // the scope, not the count, ends it
        EXPECT_FALSE(deleted);
    }
    EXPECT_TRUE(deleted);

    deleted = false;
    {
        Probe<StaticObject<IDispatch, IProvideClassInfo>> forever(&deleted);
        EXPECT_EQ(forever.AddRef(), 2u);
        EXPECT_EQ(forever.AddRef(), 2u);
        EXPECT_EQ(forever.Release(), 1u);
        EXPECT_EQ(forever.Release(), 1u);
        EXPECT_FALSE(deleted);
    }
}

}  // namespace
