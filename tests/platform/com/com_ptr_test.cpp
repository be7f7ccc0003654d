// ComPtr: references counted through the interface, released on every way out, out-parameters
// and QueryInterface by type.
#include <gtest/gtest.h>

#include <utility>

#include "platform/com_ptr.h"
#include "platform/ole_defaults.h"

namespace {

// An object with IUnknown and IOleControlSite that counts its references and says when the
// last one went.
class CountedSite final : public OleControlSiteDefaults {
  public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IOleControlSite) {
            *ppv = static_cast<IOleControlSite*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override {
        --refs;
        destroyed = refs == 0;
        return refs;
    }
    HRESULT ShowPropertyFrame() override { return S_FALSE; }

    ULONG refs = 1;  // the test's own reference
    bool destroyed = false;
};

TEST(ComPtrTest, SharingAddsAReferenceAndAdoptingTakesTheCallers) {
    CountedSite site;
    {
        ComPtr<IOleControlSite> shared(&site);
        EXPECT_EQ(site.refs, 2u);
        ComPtr<IOleControlSite> adopted = ComPtr<IOleControlSite>::Adopt(&site);
        EXPECT_EQ(site.refs, 2u);
        EXPECT_EQ(shared, adopted);
    }
    EXPECT_TRUE(site.destroyed);  // both references went with the pointers
}

TEST(ComPtrTest, CopiesCountAndMovesHandOver) {
    CountedSite site;
    ComPtr<IOleControlSite> first(&site);
    ComPtr<IOleControlSite> copy = first;
    EXPECT_EQ(site.refs, 3u);
    ComPtr<IOleControlSite> moved = std::move(copy);
    EXPECT_EQ(site.refs, 3u);
    EXPECT_FALSE(copy);  // NOLINT(bugprone-use-after-move): a moved-from pointer is null
    moved = first;       // the same object: still one reference per pointer
    EXPECT_EQ(site.refs, 3u);
    moved = nullptr;
    first.Reset();
    EXPECT_EQ(site.refs, 1u);
}

TEST(ComPtrTest, OutReleasesWhatWasHeldBeforeTheCallWrites) {
    CountedSite old;
    CountedSite fresh;
    ComPtr<IUnknown> pointer(&old);
    ASSERT_EQ(fresh.QueryInterface(IID_IUnknown, pointer.OutVoid()), S_OK);
    EXPECT_EQ(old.refs, 1u);
    EXPECT_EQ(fresh.refs, 2u);
    IUnknown* raw = pointer.Detach();
    EXPECT_FALSE(pointer);
    EXPECT_EQ(fresh.refs, 2u);  // the detached reference is the caller's now
    raw->Release();
}

TEST(ComPtrTest, AsQueriesByTypeAndGivesNullForAMissingInterface) {
    CountedSite site;
    const ComPtr<IUnknown> unknown(&site);
    {
        const ComPtr<IOleControlSite> asSite = unknown.As<IOleControlSite>();
        ASSERT_TRUE(asSite);
        EXPECT_EQ(asSite->ShowPropertyFrame(), S_FALSE);
        EXPECT_EQ(site.refs, 3u);
        EXPECT_FALSE(unknown.As<IDispatch>());
        EXPECT_FALSE(unknown.As<IOleControlSite>(IID_IPropertyPage));
        EXPECT_EQ(site.refs, 3u);
    }
    EXPECT_EQ(site.refs, 2u);
    EXPECT_FALSE(ComPtr<IUnknown>().As<IOleControlSite>());
}

}  // namespace
