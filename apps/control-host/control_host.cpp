// control-host's commands, its event sink and its control site.
#include "apps/control-host/control_host.h"

#include <algorithm>
#include <cstring>

#include "apps/control-host/host_objects.h"
#include "apps/control-host/property_frame.h"

#include "platform/dispatch_call.h"
#include "platform/ole_defaults.h"
#include "platform/text_conversion.h"

namespace {

using host_objects::EventSink;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The control's site: shows the property frame on the properties verb.
class ControlSite final : public CountedObject<OleClientSiteDefaults, OleControlSiteDefaults> {
  public:
    explicit ControlSite(ControlHost& host) : host_(host) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        // The window side of the site lives with the host's window.
        if (riid == IID_IOleInPlaceSite || riid == IID_IOleWindow || riid == IID_IDispatch) {
            return host_.QueryWindowSite(riid, ppv);
        }
        return CountedObject<OleClientSiteDefaults, OleControlSiteDefaults>::QueryInterface(riid,
                                                                                            ppv);
    }
    HRESULT ShowPropertyFrame() override { return host_.ShowPropertyFrame(); }

  private:
    ControlHost& host_;
};

}  // namespace

ControlHost::ControlHost(std::ostream& out) : out_(out) {
    auto add = [this](const char* name, bool (ControlHost::*run)(const Words&), const char* usage) {
        commands_[name] = {[this, run](const Words& args) { return (this->*run)(args); }, usage};
    };
    add("create", &ControlHost::Create, "create PROGID|{CLSID}");
    add("members", &ControlHost::Members, "members");
    add("get", &ControlHost::Get, "get NAME");
    add("put", &ControlHost::Put, "put NAME VALUE");
    add("call", &ControlHost::Call, "call NAME ARG...");
    add("size", &ControlHost::Size, "size");
    add("save", &ControlHost::Save, "save");
    add("load", &ControlHost::Load, "load");
    add("verb", &ControlHost::Verb, "verb properties");
    add("release", &ControlHost::Release, "release");
    add("unload", &ControlHost::Unload, "unload");
    add("help", &ControlHost::Help, "help");
    AddWindowCommands();
    add("client", &ControlHost::Client, "client SERVER [CALLPORT [EVENTSPORT]]");
    add("wait", &ControlHost::Wait, "wait MS");
    commands_["echo"] = {nullptr, "echo TEXT"};
}

ControlHost::~ControlHost() {
    ReleaseControl();
    bag_.Reset();
    CoFreeUnusedLibraries();
}

bool ControlHost::RunLine(const std::string& line, bool inModalLoop) {
    const bool outer = inModalLoop_;
    inModalLoop_ = outer || inModalLoop;
    window_.SetQueueInputOnly(inModalLoop_);
    const bool ran = RunCommand(line);
    inModalLoop_ = outer;
    window_.SetQueueInputOnly(outer);
    return ran;
}

bool ControlHost::RunCommand(const std::string& line) {
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') {
        return true;
    }
    Words words;
    std::string error;
    if (!SplitWords(line, &words, &error)) {
        return Error(error);
    }
    const std::string name = Lower(words[0].text);
    if (name == "echo") {
        const std::size_t text = line.find_first_not_of(" \t", start + 4);
        out_ << (text == std::string::npos ? std::string() : line.substr(text)) << '\n';
        return true;
    }
    auto found = commands_.find(name);
    if (found == commands_.end()) {
        return Error("unknown command \"" + words[0].text + "\" (help lists the commands)");
    }
    if (inModalLoop_ && (name == "create" || name == "release")) {
        return Error("a dialog of the control is open: close it before " + name);
    }
    words.erase(words.begin());
    return found->second.run(words);
}

void ControlHost::AddWindowCommands() {
    using Run = std::function<bool(const Words&)>;
    auto add = [this](const char* name, Run run, const char* usage) {
        commands_[name] = {std::move(run), usage};
    };
    add(
        "show", [this](const Words& a) { return window_.Show(control_.Get(), a); }, "show [X Y]");
    add(
        "paint", [this](const Words& a) { return window_.Paint(a); }, "paint FILE.png");
    add(
        "click", [this](const Words& a) { return window_.Click(a, false); }, "click X Y");
    add(
        "dblclick", [this](const Words& a) { return window_.Click(a, true); }, "dblclick X Y");
    add(
        "key", [this](const Words& a) { return window_.Key(a); }, "key NAME");
    add(
        "beeps", [this](const Words& a) { return window_.Beeps(a); }, "beeps");
    add(
        "ambient", [this](const Words& a) { return window_.Ambient(control_.Get(), a); },
        "ambient NAME VALUE");
    add(
        "window", [this](const Words& a) { return window_.Window(control_.Get(), a); }, "window");
    add(
        "run", [this](const Words& a) { return window_.Run(a); }, "run");
}

bool ControlHost::Error(const std::string& text) {
    out_ << "error: " << text << '\n';
    return false;
}

bool ControlHost::NeedControl() {
    return control_ || Error("no control (use create)");
}

void ControlHost::ReleaseControl() {
    if (connection_) {
        connection_->Unadvise(cookie_);
        connection_.Reset();
    }
    sink_.Reset();
    window_.Deactivate(control_.Get());
    if (const auto object = control_.As<IOleObject>()) {
        object->SetClientSite(nullptr);
    }
    site_.Reset();
    typeInfo_.Reset();
    classInfo_.Reset();
    control_.Reset();
}

bool ControlHost::Create(const Words& args) {
    if (args.size() != 1) {
        return Error("usage: create PROGID|{CLSID}");
    }
    ReleaseControl();
    const std::u16string name = Utf8ToUtf16(args[0].text);
    CLSID clsid{};
    // Only CLSIDFromProgID leaves a text of its failure; another call's older text must not
    // be shown for a CLSID that is merely malformed.
    const bool byClsid = args[0].text.starts_with("{");
    HRESULT hr =
        byClsid ? CLSIDFromString(name.c_str(), &clsid) : CLSIDFromProgID(name.c_str(), &clsid);
    if (FAILED(hr)) {
        const std::string detail = byClsid ? std::string() : CoGetLastErrorText();
        return Error(detail.empty()
                         ? "\"" + args[0].text + "\" is not a class (" + HResultText(hr) + ")"
                         : detail + " (" + HResultText(hr) + ")");
    }
    control_ = CreateInstance<IDispatch>(clsid, &hr);
    if (!control_) {
        return Error(CoGetLastErrorText() + " (" + HResultText(hr) + ")");
    }
    if (FAILED(control_->GetTypeInfo(0, 0, typeInfo_.Out())) ||
        typeInfo_->GetDispInterfaceInfo() == nullptr) {
        ReleaseControl();
        return Error("the object has no type information");
    }
    // Events: the coclass names the source interface; the sink joins its connection point.
    if (const auto provider = control_.As<IProvideClassInfo>()) {
        provider->GetClassInfo(classInfo_.Out());
    }
    const DispInterfaceInfo* events =
        classInfo_ ? classInfo_->GetCoClassInfo()->defaultSource : nullptr;
    const auto container = events != nullptr ? control_.As<IConnectionPointContainer>() : nullptr;
    if (container && SUCCEEDED(container->FindConnectionPoint(events->iid, connection_.Out()))) {
        sink_ = ComPtr<IDispatch>::Adopt(new EventSink(out_, events));
        if (FAILED(connection_->Advise(sink_.Get(), &cookie_))) {
            connection_.Reset();
        }
    }
    if (const auto object = control_.As<IOleObject>()) {
        site_ = ComPtr<IUnknown>::Adopt(static_cast<IOleClientSite*>(new ControlSite(*this)));
        object->SetClientSite(site_.As<IOleClientSite>().Get());
    }
    LPOLESTR progId = nullptr;
    std::string shown = args[0].text;
    if (SUCCEEDED(ProgIDFromCLSID(clsid, &progId))) {
        shown = Utf16ToUtf8(Utf16View(progId));
        CoTaskMemFree(progId);
    }
    out_ << "created " << shown << ' ' << GuidToString(clsid) << '\n';
    return true;
}

bool ControlHost::Members(const Words&) {
    if (!NeedControl()) {
        return false;
    }
    for (const MemberInfo& member : typeInfo_->GetDispInterfaceInfo()->members) {
        out_ << DescribeMember(member) << '\n';
    }
    if (classInfo_ != nullptr && classInfo_->GetCoClassInfo()->defaultSource != nullptr) {
        for (const MemberInfo& event : classInfo_->GetCoClassInfo()->defaultSource->members) {
            out_ << DescribeMember(event, "event") << '\n';
        }
    }
    return true;
}

const MemberInfo* ControlHost::FindMember(const std::string& name) {
    // The DISPID comes from the object (GetIDsOfNames); the types from its type information.
    std::u16string wide = Utf8ToUtf16(name);
    LPOLESTR names[] = {wide.data()};
    DISPID dispid = DISPID_UNKNOWN;
    if (FAILED(control_->GetIDsOfNames(IID_NULL, names, 1, 0, &dispid))) {
        Error("the control has no member \"" + name + "\"");
        return nullptr;
    }
    const MemberInfo* member = FindMemberById(*typeInfo_->GetDispInterfaceInfo(), dispid);
    if (member == nullptr) {
        Error("\"" + name + "\" is not in the type information");
    }
    return member;
}

bool ControlHost::InvokeFailed(HRESULT hr, EXCEPINFO& info, UINT argErr, const MemberInfo* member) {
    if (hr == DISP_E_EXCEPTION) {
        if (info.pfnDeferredFillIn != nullptr) {
            info.pfnDeferredFillIn(&info);
        }
        const HRESULT code = info.wCode != 0 ? info.wCode : info.scode;
        std::string text = BstrToUtf8(info.bstrDescription);
        if (text.empty()) {
            text = "exception";
        }
        ClearExcepInfo(&info);
        return Error(text + " (" + HResultHex(code) + ")");
    }
    std::string text = HResultText(hr);
    if ((hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND) && member != nullptr &&
        argErr < member->params.size()) {
        text +=
            " at argument " + std::string(member->params[member->params.size() - 1 - argErr].name);
    }
    return Error(text);
}

bool ControlHost::Get(const Words& args) {
    if (!NeedControl()) {
        return false;
    }
    if (args.size() != 1) {
        return Error("usage: get NAME");
    }
    const MemberInfo* member = FindMember(args[0].text);
    if (member == nullptr) {
        return false;
    }
    Variant result;
    EXCEPINFO info{};
    UINT argErr = 0;
    const HRESULT hr = platform::Invoke(control_.Get(), member->dispid, DISPATCH_PROPERTYGET, {},
                                        &result, &info, &argErr);
    if (FAILED(hr)) {
        return InvokeFailed(hr, info, argErr, nullptr);
    }
    out_ << member->name << '=' << FormatValue(result.Get()) << '\n';
    return true;
}

bool ControlHost::Put(const Words& args) {
    if (!NeedControl()) {
        return false;
    }
    if (args.size() != 2) {
        return Error("usage: put NAME VALUE");
    }
    const MemberInfo* member = FindMember(args[0].text);
    if (member == nullptr) {
        return false;
    }
    VARIANT value;
    const HRESULT parsed = ParseValue(args[1], member->vt, &value);
    if (FAILED(parsed)) {
        return Error("cannot read \"" + args[1].text + "\" as " + VarTypeName(member->vt) + " (" +
                     HResultText(parsed) + ")");
    }
    EXCEPINFO info{};
    UINT argErr = 0;
    const HRESULT hr = platform::Invoke(control_.Get(), member->dispid, DISPATCH_PROPERTYPUT,
                                        {value}, nullptr, &info, &argErr);
    if (FAILED(hr)) {
        return InvokeFailed(hr, info, argErr, nullptr);
    }
    out_ << "ok\n";
    return true;
}

bool ControlHost::Call(const Words& args) {
    if (!NeedControl()) {
        return false;
    }
    if (args.empty()) {
        return Error("usage: call NAME ARG...");
    }
    const MemberInfo* member = FindMember(args[0].text);
    if (member == nullptr) {
        return false;
    }
    if (member->kind != MemberKind::Method) {
        return Error(std::string(member->name) + " is a property (use get or put)");
    }
    // Parameters that carry a value in take one script argument each; out-only ones none.
    std::vector<std::string> inNames;
    for (const ParamInfo& param : member->params) {
        if ((param.flags & PARAMFLAG_FIN) != 0 || (param.vt & VT_BYREF) == 0) {
            inNames.push_back(param.name);
        }
    }
    if (args.size() - 1 != inNames.size()) {
        std::string list;
        for (const std::string& name : inNames) {
            list += (list.empty() ? "" : ", ") + name;
        }
        return Error(std::string(member->name) + " takes " + std::to_string(inNames.size()) +
                     " argument" + (inNames.size() == 1 ? "" : "s") +
                     (list.empty() ? "" : " (" + list + ")") + ", not " +
                     std::to_string(args.size() - 1));
    }
    const std::size_t count = member->params.size();
    std::vector<Variant> storage(count);  // every value until the call, by-reference targets after
    std::size_t next = 1;
    for (std::size_t i = 0; i < count; ++i) {
        const ParamInfo& param = member->params[i];
        const VARTYPE base = param.vt & ~VT_BYREF;
        const bool byRef = (param.vt & VT_BYREF) != 0;
        const bool takesValue = (param.flags & PARAMFLAG_FIN) != 0 || !byRef;
        if (takesValue) {
            const HRESULT parsed = ParseValue(args[next], base, storage[i].Out());
            if (FAILED(parsed)) {
                return Error("cannot read \"" + args[next].text + "\" as " + VarTypeName(base) +
                             " for " + param.name + " (" + HResultText(parsed) + ")");
            }
            ++next;
        } else {
            storage[i].Target()->vt = base;  // zero or null until the callee fills it
        }
    }
    std::vector<VARIANT> callArgs(count);
    for (std::size_t i = 0; i < count; ++i) {
        const VARTYPE vt = member->params[i].vt;
        if ((vt & VT_BYREF) != 0) {
            VARIANT* target = storage[i].Target();
            callArgs[i].vt = vt;
            callArgs[i].byref = (vt & ~VT_BYREF) == VT_VARIANT ? static_cast<void*>(target)
                                                               : static_cast<void*>(&target->llVal);
        } else {
            callArgs[i] = storage[i].Detach();  // Invoke clears it
        }
    }
    Variant result;
    EXCEPINFO info{};
    UINT argErr = 0;
    const HRESULT hr = platform::Invoke(control_.Get(), member->dispid, DISPATCH_METHOD,
                                        std::move(callArgs), &result, &info, &argErr);
    if (FAILED(hr)) {
        return InvokeFailed(hr, info, argErr, member);
    }
    std::string line = member->name;
    if (member->vt != VT_VOID && member->vt != VT_EMPTY) {
        line += '=' + FormatValue(result.Get());
    }
    for (std::size_t i = 0; i < count; ++i) {
        if ((member->params[i].flags & PARAMFLAG_FOUT) != 0) {
            line += ' ' + std::string(member->params[i].name) + '=' + FormatValue(storage[i].Get());
        }
    }
    out_ << line << '\n';
    return true;
}

bool ControlHost::Size(const Words&) {
    if (!NeedControl()) {
        return false;
    }
    const auto object = control_.As<IOleObject>();
    if (!object) {
        return Error("the control has no extent (no IOleObject)");
    }
    SIZEL extent{};
    const HRESULT hr = object->GetExtent(DVASPECT_CONTENT, &extent);
    if (FAILED(hr)) {
        return Error(HResultText(hr));
    }
    // HIMETRIC at 96 dots per inch.
    const long cx = (extent.cx * 96 + 1270) / 2540;
    const long cy = (extent.cy * 96 + 1270) / 2540;
    out_ << "size=" << cx << 'x' << cy << '\n';
    return true;
}

bool ControlHost::Save(const Words&) {
    if (!NeedControl()) {
        return false;
    }
    const auto persist = control_.As<IPersistPropertyBag>();
    if (!persist) {
        return Error("the control cannot be saved (no IPersistPropertyBag)");
    }
    bag_ = ComPtr<MemoryPropertyBag>::Adopt(new MemoryPropertyBag);
    const HRESULT hr = persist->Save(bag_.Get(), TRUE, TRUE);
    if (FAILED(hr)) {
        return Error("save failed: " + HResultText(hr));
    }
    out_ << "saved " << bag_->Format() << '\n';
    return true;
}

bool ControlHost::Load(const Words&) {
    if (!NeedControl()) {
        return false;
    }
    if (!bag_) {
        return Error("nothing saved yet (use save)");
    }
    const auto persist = control_.As<IPersistPropertyBag>();
    if (!persist) {
        return Error("the control cannot be loaded (no IPersistPropertyBag)");
    }
    const HRESULT hr = persist->Load(bag_.Get(), nullptr);
    if (FAILED(hr)) {
        return Error("load failed: " + HResultText(hr));
    }
    out_ << "loaded\n";
    return true;
}

bool ControlHost::Verb(const Words& args) {
    if (!NeedControl()) {
        return false;
    }
    if (args.size() != 1 || Lower(args[0].text) != "properties") {
        return Error("usage: verb properties");
    }
    const auto object = control_.As<IOleObject>();
    if (!object) {
        return Error("the control has no verbs (no IOleObject)");
    }
    const HRESULT hr = object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, nullptr, nullptr);
    return SUCCEEDED(hr) || Error("the properties verb failed: " + HResultText(hr));
}

HRESULT ControlHost::ShowPropertyFrame() {
    const auto specify = control_.As<ISpecifyPropertyPages>();
    if (!specify) {
        return E_NOINTERFACE;
    }
    CAUUID pages{};
    HRESULT hr = specify->GetPages(&pages);
    if (FAILED(hr)) {
        return hr;
    }
    for (ULONG i = 0; i < pages.cElems; ++i) {
        const std::string clsid = GuidToString(pages.pElems[i]);
        const auto page = CreateInstance<IPropertyPage>(pages.pElems[i]);
        if (!page) {
            out_ << "page " << clsid << " cannot be created: " << CoGetLastErrorText() << '\n';
            continue;
        }
        IUnknown* objects[] = {control_.Get()};
        page->SetObjects(1, objects);
        PROPPAGEINFO info{};
        if (SUCCEEDED(page->GetPageInfo(&info))) {
            const std::u16string caption(Utf16View(info.pszTitle));
            CoTaskMemFree(info.pszTitle);
            out_ << "page " << clsid << " \"" << Utf16ToUtf8(caption) << "\" " << info.size.cx
                 << 'x' << info.size.cy << '\n';
            // The page as a dialog of its own, run modally: the script's following lines go
            // to it until Enter or Escape closes it.
            property_frame::Outcome outcome{};
            const HRESULT shown =
                window_.EnsureWindow()
                    ? property_frame::Run(page.Get(), caption, window_.Handle(), out_, &outcome)
                    : E_FAIL;
            if (FAILED(shown)) {
                out_ << "page " << clsid << " cannot be shown as a dialog: " << HResultText(shown)
                     << '\n';
                hr = shown;
            }
        }
        page->SetObjects(0, nullptr);
    }
    CoTaskMemFree(pages.pElems);
    return FAILED(hr) ? hr : S_OK;
}

bool ControlHost::Release(const Words&) {
    if (!NeedControl()) {
        return false;
    }
    ReleaseControl();
    out_ << "released\n";
    return true;
}

bool ControlHost::Unload(const Words&) {
    CoFreeUnusedLibraries();
    out_ << "modules=" << CoLoadedLibraryCount() << '\n';
    return true;
}

bool ControlHost::Help(const Words&) {
    for (const auto& [name, command] : commands_) {
        out_ << command.usage << '\n';
    }
    return true;
}
