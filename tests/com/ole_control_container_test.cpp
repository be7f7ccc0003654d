// COleControl as Windows containers use it: the sequence a script host or a control host
// follows to place a control, persistence through a stream (round trip, refused streams),
// the enumerators of connections, advise sinks, class information and frozen events.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/afx/ole_object_factory.h"
#include "platform/com_ptr.h"
#include "platform/dispatch_call.h"
#include "platform/ole_defaults.h"
#include "platform/ole_inplace.h"
#include "platform/stream.h"
#include "tests/com/com_test_support.h"
#include "tests/com/container_support.h"
#include "tests/com/test_control/test_control.h"

namespace {

using namespace test_control;
using com_test::I4;
using com_test::RecordingDispatch;

// An advise sink that counts what it hears.
class CountingAdviseSink final : public IAdviseSink {
  public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IAdviseSink) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    void OnDataChange(FORMATETC*, STGMEDIUM*) override {}
    void OnViewChange(DWORD aspect, LONG) override {
        if (aspect == DVASPECT_CONTENT) {
            ++viewChanges;
        }
    }
    void OnRename(IMoniker*) override {}
    void OnSave() override {}
    void OnClose() override { ++closes; }

    ULONG refs = 1;
    int viewChanges = 0;
    int closes = 0;
};

ComPtr<IDispatch> NewControl() {
    return com_test::CreateTestControl();
}

CTestCtrl* Ctrl(const ComPtr<IDispatch>& control) {
    return static_cast<CTestCtrl*>(control.Get());
}

ComPtr<IStream> NewStream() {
    ComPtr<IStream> stream;
    EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()), S_OK);
    return stream;
}

void Rewind(IStream* stream) {
    LARGE_INTEGER zero{};
    ASSERT_EQ(stream->Seek(zero, STREAM_SEEK_SET, nullptr), S_OK);
}

std::vector<BYTE> Bytes(IStream* stream) {
    STATSTG stat{};
    EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    std::vector<BYTE> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    Rewind(stream);
    ULONG read = 0;
    EXPECT_EQ(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read), S_OK);
    EXPECT_EQ(read, bytes.size());
    return bytes;
}

ComPtr<IStream> StreamOf(const std::vector<BYTE>& bytes) {
    ComPtr<IStream> stream = NewStream();
    EXPECT_EQ(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr), S_OK);
    Rewind(stream.Get());
    return stream;
}

class OleControlContainerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host_ = com_test::CreateHostWindow(u"OleControlContainerTestHost");
        ASSERT_NE(host_, nullptr);
        site_.window = host_;
        site_.hasAmbients = false;  // every ambient property at the control's default
    }
    void TearDown() override {
        DestroyWindow(host_);
        platform::DispatchPendingMessages();
        EXPECT_EQ(site_.refs, 1u);  // nothing of the site is left held
        EXPECT_EQ(AfxDllCanUnloadNow(), S_OK);
    }

    HWND host_ = nullptr;
    com_test::ContainerSite site_;
};

TEST_F(OleControlContainerTest, ScriptHostPlacesTheControlAndLetsItGo) {
    ComPtr<IDispatch> control = NewControl();
    ComPtr<IOleObject> object = control.As<IOleObject>();
    ASSERT_TRUE(object);
    DWORD status = 0;
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 131473u);
    ASSERT_EQ(object->SetClientSite(&site_), S_OK);
    EXPECT_EQ(site_.refs, 2u);
    IOleClientSite* given = nullptr;
    ASSERT_EQ(object->GetClientSite(&given), S_OK);
    EXPECT_EQ(given, static_cast<IOleClientSite*>(&site_));
    given->Release();
    EXPECT_EQ(object->SetHostNames(u"Host", nullptr), S_OK);

    ComPtr<IPersistStreamInit> persist = control.As<IPersistStreamInit>();
    ASSERT_TRUE(persist);
    ASSERT_EQ(persist->InitNew(), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    const RECT position{10, 20, 90, 60};
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site_, 0, host_, &position), S_OK);
    EXPECT_EQ(site_.calls, (std::vector<std::string>{"activate"}));
    ComPtr<IViewObject2> view = control.As<IViewObject2>();
    ASSERT_TRUE(view);
    SIZEL extent{};
    ASSERT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent), S_OK);
    EXPECT_EQ(extent.cx, 2117);  // 80 pixels at 96 dpi
    EXPECT_EQ(extent.cy, 1058);  // 40 pixels
    EXPECT_EQ(view->GetExtent(4, -1, nullptr, &extent), DV_E_DVASPECT);

    ComPtr<IOleControl> oleControl = control.As<IOleControl>();
    ASSERT_TRUE(oleControl);
    CONTROLINFO info{sizeof(CONTROLINFO), reinterpret_cast<HACCEL>(1), 9, 9};
    ASSERT_EQ(oleControl->GetControlInfo(&info), S_OK);
    EXPECT_EQ(info.hAccel, nullptr);
    EXPECT_EQ(info.cAccel, 0);
    EXPECT_EQ(info.dwFlags, 0u);
    Ctrl(control)->TakeInvalidations();
    ASSERT_EQ(oleControl->OnAmbientPropertyChange(DISPID_UNKNOWN), S_OK);
    EXPECT_EQ(Ctrl(control)->TakeInvalidations().size(), 1u);  // repainted with new ambients

    ComPtr<IOleInPlaceActiveObject> active = control.As<IOleInPlaceActiveObject>();
    ASSERT_TRUE(active);
    MSG msg{};
    EXPECT_EQ(active->TranslateAccelerator(&msg), S_FALSE);
    EXPECT_EQ(active->OnFrameWindowActivate(TRUE), S_OK);

    ASSERT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    HWND window = nullptr;
    EXPECT_EQ(active->GetWindow(&window), E_FAIL);  // the window is gone
    EXPECT_EQ(site_.calls, (std::vector<std::string>{"activate", "deactivate"}));
    ASSERT_EQ(object->SetClientSite(nullptr), S_OK);
    EXPECT_EQ(site_.refs, 1u);
}

TEST_F(OleControlContainerTest, OneIdentityForEveryInterface) {
    ComPtr<IDispatch> control = NewControl();
    const IID interfaces[] = {IID_IOleObject,
                              IID_IPersistStreamInit,
                              IID_IPersistPropertyBag,
                              IID_IViewObject2,
                              IID_IProvideClassInfo2,
                              IID_IOleControl,
                              IID_IOleInPlaceActiveObject,
                              IID_IOleInPlaceObject};
    for (const IID& iid : interfaces) {
        ComPtr<IUnknown> asked;
        ASSERT_EQ(control->QueryInterface(iid, reinterpret_cast<void**>(asked.Out())), S_OK)
            << GuidToString(iid);
        ComPtr<IUnknown> unknown;
        ASSERT_EQ(asked->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown.Out())),
                  S_OK);
        EXPECT_EQ(unknown.Get(), static_cast<IUnknown*>(static_cast<IDispatch*>(control.Get())))
            << GuidToString(iid);
    }
}

TEST_F(OleControlContainerTest, StreamRoundTripGivesTheSameProperties) {
    ComPtr<IDispatch> first = NewControl();
    ASSERT_EQ(first.As<IPersistStreamInit>()->InitNew(), S_OK);
    Ctrl(first)->SetCount(8);
    ASSERT_TRUE(Ctrl(first)->SetControlSize(100, 40));
    ComPtr<IPersistStreamInit> saver = first.As<IPersistStreamInit>();
    EXPECT_EQ(saver->IsDirty(), S_OK);
    ComPtr<IStream> stream = NewStream();
    ASSERT_EQ(saver->Save(stream.Get(), TRUE), S_OK);
    EXPECT_EQ(saver->IsDirty(), S_FALSE);
    ULARGE_INTEGER sizeMax{};
    ASSERT_EQ(saver->GetSizeMax(&sizeMax), S_OK);
    const std::vector<BYTE> bytes = Bytes(stream.Get());
    EXPECT_EQ(sizeMax.QuadPart, bytes.size());
    ASSERT_GE(bytes.size(), 16u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "OCPX");
    EXPECT_EQ(bytes[4], 1);   // format version 1
    EXPECT_EQ(bytes[12], 4);  // Count, _ExtentX, _ExtentY, _Version

    ComPtr<IDispatch> second = NewControl();
    ComPtr<IStream> again = StreamOf(bytes);
    ComPtr<IPersistStreamInit> loader = second.As<IPersistStreamInit>();
    ASSERT_EQ(loader->Load(again.Get()), S_OK);
    EXPECT_EQ(Ctrl(second)->GetCount(), 8);
    int cx = 0;
    int cy = 0;
    Ctrl(second)->GetControlSize(&cx, &cy);
    EXPECT_EQ(cx, 100);
    EXPECT_EQ(cy, 40);
    EXPECT_EQ(Ctrl(second)->GetVersionLoaded(), 0x00010000u);
    EXPECT_EQ(loader->IsDirty(), S_FALSE);
    ULARGE_INTEGER at{};
    ASSERT_EQ(again->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &at), S_OK);
    EXPECT_EQ(at.QuadPart, bytes.size());        // the block read, nothing more
    EXPECT_EQ(loader->InitNew(), E_UNEXPECTED);  // one initialisation per object
    EXPECT_EQ(Ctrl(second)->GetCount(), 8);

    // The same values the property bag persists.
    CLSID clsid{};
    ASSERT_EQ(loader->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, kControlClsid);
}

struct RefusedStream {
    const char* what;
    std::vector<BYTE> bytes;
    HRESULT expected;
};

TEST_F(OleControlContainerTest, TruncatedOrForeignStreamsAreRefused) {
    ComPtr<IDispatch> saved = NewControl();
    Ctrl(saved)->SetCount(5);
    ComPtr<IStream> stream = NewStream();
    ASSERT_EQ(saved.As<IPersistStreamInit>()->Save(stream.Get(), FALSE), S_OK);
    const std::vector<BYTE> good = Bytes(stream.Get());
    const std::size_t firstType = 16 + 2 + 2 * std::size_t{good[16]};  // after the first name
    auto changed = [&good](std::size_t at, BYTE value) {
        std::vector<BYTE> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    const RefusedStream cases[] = {
        {"empty", {}, STG_E_READFAULT},
        {"foreign signature",
         {'M', 'S', 'F', 'T', 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         STG_E_INVALIDHEADER},
        {"header cut short", {good.begin(), good.begin() + 10}, STG_E_READFAULT},
        {"properties cut short", {good.begin(), good.end() - 3}, STG_E_READFAULT},
        {"a later format version", changed(4, 2), STG_E_OLDDLL},
        {"more properties than bytes", changed(12, 9), STG_E_DOCFILECORRUPT},
        {"fewer properties than bytes", changed(12, 1), STG_E_DOCFILECORRUPT},
        {"an unknown value type", changed(firstType, 0x7F), STG_E_DOCFILECORRUPT},
        {"a block length beyond reason", changed(11, 0x7F), STG_E_DOCFILECORRUPT},
    };
    for (const RefusedStream& c : cases) {
        ComPtr<IDispatch> control = NewControl();
        Ctrl(control)->SetCount(77);
        ComPtr<IStream> refused = StreamOf(c.bytes);
        EXPECT_EQ(control.As<IPersistStreamInit>()->Load(refused.Get()), c.expected) << c.what;
        EXPECT_EQ(Ctrl(control)->GetCount(), 77) << c.what << ": properties untouched";
    }
}

TEST_F(OleControlContainerTest, MemoryStreamBehavesAsWindowsOne) {
    ComPtr<IStream> stream = NewStream();
    const char text[] = "pump";
    ULONG written = 0;
    ASSERT_EQ(stream->Write(text, 4, &written), S_OK);
    EXPECT_EQ(written, 4u);
    LARGE_INTEGER back{};
    back.QuadPart = -2;
    ULARGE_INTEGER at{};
    ASSERT_EQ(stream->Seek(back, STREAM_SEEK_END, &at), S_OK);
    EXPECT_EQ(at.QuadPart, 2u);
    char read[8] = {};
    ULONG count = 0;
    ASSERT_EQ(stream->Read(read, 8, &count), S_OK);  // short at the end, still S_OK
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(std::string(read, 2), "mp");
    back.QuadPart = -10;
    EXPECT_EQ(stream->Seek(back, STREAM_SEEK_CUR, &at), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->Seek(back, 7, &at), STG_E_INVALIDFUNCTION);
    ComPtr<IStream> clone;
    ASSERT_EQ(stream->Clone(clone.Out()), S_OK);
    ASSERT_EQ(clone->Write("!", 1, nullptr), S_OK);  // shared bytes, own position
    STATSTG stat{};
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 5u);
    EXPECT_EQ(stat.type, STGTY_STREAM);
    EXPECT_EQ(stream->LockRegion(ULARGE_INTEGER{}, ULARGE_INTEGER{}, 0), STG_E_INVALIDFUNCTION);
    ComPtr<ISequentialStream> sequential = stream.As<ISequentialStream>();
    EXPECT_TRUE(sequential);
    IStream* none = nullptr;
    EXPECT_EQ(CreateStreamOnHGlobal(reinterpret_cast<HGLOBAL>(1), TRUE, &none), E_INVALIDARG);
    EXPECT_EQ(none, nullptr);
}

TEST_F(OleControlContainerTest, EnumeratorsWalkConnectionPointsAndConnections) {
    RecordingDispatch sinks[3];  // before the control: its point still holds two when it goes
    ComPtr<IDispatch> control = NewControl();
    ComPtr<IConnectionPointContainer> container = control.As<IConnectionPointContainer>();
    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(points.Out()), S_OK);
    IConnectionPoint* got[2] = {nullptr, nullptr};
    ULONG fetched = 9;
    EXPECT_EQ(points->Next(2, got, &fetched), S_FALSE);  // only one point
    ASSERT_EQ(fetched, 1u);
    IID iid{};
    ASSERT_EQ(got[0]->GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, kEventsIid);
    EXPECT_EQ(points->Next(1, got + 1, nullptr), S_FALSE);
    EXPECT_EQ(points->Next(2, got + 1, nullptr), E_POINTER);  // a count is needed for two
    EXPECT_EQ(points->Reset(), S_OK);
    EXPECT_EQ(points->Skip(1), S_OK);
    EXPECT_EQ(points->Skip(1), S_FALSE);

    DWORD cookies[3] = {};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(got[0]->Advise(&sinks[i], &cookies[i]), S_OK);
    }
    ASSERT_EQ(got[0]->Unadvise(cookies[1]), S_OK);
    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(got[0]->EnumConnections(connections.Out()), S_OK);
    got[0]->Release();
    CONNECTDATA data[3] = {};
    ASSERT_EQ(connections->Next(1, data, nullptr), S_OK);
    EXPECT_EQ(data[0].dwCookie, cookies[0]);
    EXPECT_EQ(data[0].pUnk, static_cast<IUnknown*>(&sinks[0]));
    data[0].pUnk->Release();
    ComPtr<IEnumConnections> clone;
    ASSERT_EQ(connections->Clone(clone.Out()), S_OK);  // at the second connection too
    ASSERT_EQ(clone->Next(3, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(data[0].dwCookie, cookies[2]);
    data[0].pUnk->Release();
    ASSERT_EQ(connections->Next(1, data, &fetched), S_OK);  // the original kept its place
    EXPECT_EQ(data[0].dwCookie, cookies[2]);
    data[0].pUnk->Release();
    EXPECT_EQ(sinks[2].refs, 3u);  // the test's, the point's, and the one snapshot's
    connections = nullptr;
    clone = nullptr;
    EXPECT_EQ(sinks[2].refs, 2u);
}

TEST_F(OleControlContainerTest, ClassInfoNamesTheEventInterface) {
    ComPtr<IDispatch> control = NewControl();
    ComPtr<IProvideClassInfo2> info = control.As<IProvideClassInfo2>();
    ASSERT_TRUE(info);
    GUID guid{};
    ASSERT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &guid), S_OK);
    EXPECT_EQ(guid, kEventsIid);
    EXPECT_EQ(info->GetGUID(7, &guid), E_INVALIDARG);
}

TEST_F(OleControlContainerTest, FrozenEventsAreDropped) {
    ComPtr<IDispatch> control = NewControl();
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(control.As<IConnectionPointContainer>()->FindConnectionPoint(kEventsIid, point.Out()),
              S_OK);
    RecordingDispatch sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    ComPtr<IOleControl> oleControl = control.As<IOleControl>();
    ASSERT_EQ(oleControl->FreezeEvents(TRUE), S_OK);
    ASSERT_EQ(oleControl->FreezeEvents(TRUE), S_OK);
    Ctrl(control)->SetCount(3);  // fires Changed
    ASSERT_EQ(oleControl->FreezeEvents(FALSE), S_OK);
    Ctrl(control)->SetCount(3);  // fires Changed  // still frozen once
    EXPECT_TRUE(sink.calls.empty());
    ASSERT_EQ(oleControl->FreezeEvents(FALSE), S_OK);
    EXPECT_TRUE(sink.calls.empty());  // nothing held back to deliver now
    Ctrl(control)->SetCount(3);       // fires Changed
    ASSERT_EQ(sink.calls.size(), 1u);
    EXPECT_EQ(sink.calls[0].dispid, kEventChanged);
    ASSERT_EQ(oleControl->FreezeEvents(FALSE), S_OK);  // an extra thaw does not go below zero
    Ctrl(control)->SetCount(3);                        // fires Changed
    EXPECT_EQ(sink.calls.size(), 2u);
    point->Unadvise(cookie);
}

TEST_F(OleControlContainerTest, AdviseSinksHearViewChangesAndClose) {
    ComPtr<IDispatch> control = NewControl();
    ComPtr<IOleObject> object = control.As<IOleObject>();
    CountingAdviseSink sink;
    DWORD first = 0;
    DWORD second = 0;
    ASSERT_EQ(object->Advise(&sink, &first), S_OK);
    ASSERT_EQ(object->Advise(&sink, &second), S_OK);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(second, 2u);
    ComPtr<IEnumSTATDATA> advised;
    ASSERT_EQ(object->EnumAdvise(advised.Out()), S_OK);
    STATDATA data[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(advised->Next(3, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(data[1].dwConnection, second);
    data[0].pAdvSink->Release();
    data[1].pAdvSink->Release();
    advised = nullptr;
    ASSERT_EQ(object->Unadvise(first), S_OK);
    EXPECT_EQ(object->Unadvise(first), OLE_E_NOCONNECTION);

    ComPtr<IViewObject2> view = control.As<IViewObject2>();
    ASSERT_EQ(view->SetAdvise(DVASPECT_CONTENT, 0, &sink), S_OK);
    DWORD aspects = 0;
    IAdviseSink* given = nullptr;
    ASSERT_EQ(view->GetAdvise(&aspects, nullptr, &given), S_OK);
    EXPECT_EQ(aspects, DVASPECT_CONTENT);
    EXPECT_EQ(given, &sink);
    given->Release();
    Ctrl(control)->InvalidateControl();
    EXPECT_EQ(sink.viewChanges, 1);

    ASSERT_EQ(object->SetClientSite(&site_), S_OK);
    Ctrl(control)->SetModifiedFlag();
    ASSERT_EQ(object->Close(OLECLOSE_SAVEIFDIRTY), S_OK);
    EXPECT_EQ(site_.calls, (std::vector<std::string>{"save"}));  // asked to save the change
    EXPECT_EQ(sink.closes, 1);
    Ctrl(control)->InvalidateControl();
    EXPECT_EQ(sink.viewChanges, 1);  // the view sink went with Close
    ASSERT_EQ(object->Unadvise(second), S_OK);
    EXPECT_EQ(sink.refs, 1u);
    object->SetClientSite(nullptr);
}

}  // namespace
