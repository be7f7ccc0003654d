// control-host's own COM objects: the counted base they share and the sink that prints the
// events of a control or of the client object as "event NAME(ARG, ...)".
#pragma once

#include <ostream>
#include <string>

#include "apps/control-host/value_text.h"
#include "platform/typeinfo.h"

namespace host_objects {

// Base of the host's own COM objects: counted, deleted on the last release.
template <class Interface>
class HostObject : public Interface {
  public:
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

  protected:
    virtual ~HostObject() = default;
    HRESULT Answer(REFIID riid, REFIID own, void** ppv) {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == own) {
            *ppv = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

  private:
    ULONG refs_ = 1;
};

// Prints every event the control raises as "event NAME(ARG, ...)".
class EventSink final : public HostObject<IDispatch> {
  public:
    EventSink(std::ostream& out, const DispInterfaceInfo* events) : out_(out), events_(events) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        return Answer(riid, IID_IDispatch, ppv);
    }
    HRESULT GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                   UINT*) override {
        const MemberInfo* event = events_ != nullptr ? FindMemberById(*events_, dispid) : nullptr;
        std::string line = "event ";
        line += event != nullptr ? event->name : "DISPID " + std::to_string(dispid);
        line += '(';
        for (UINT i = 0; params != nullptr && i < params->cArgs; ++i) {
            if (i > 0) {
                line += ", ";
            }
            line += FormatValue(params->rgvarg[params->cArgs - 1 - i]);
        }
        out_ << line << ")\n";
        return S_OK;
    }

  private:
    std::ostream& out_;
    const DispInterfaceInfo* events_;
};

}  // namespace host_objects
