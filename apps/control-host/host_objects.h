// control-host's own COM object: the sink that prints the events of a control or of the
// client object as "event NAME(ARG, ...)".
#pragma once

#include <ostream>
#include <string>

#include "apps/control-host/value_text.h"
#include "platform/typeinfo.h"
#include "platform/unknown_base.h"

namespace host_objects {

// Prints every event the control raises as "event NAME(ARG, ...)".
class EventSink final : public CountedObject<IDispatch> {
  public:
    EventSink(std::ostream& out, const DispInterfaceInfo* events) : out_(out), events_(events) {}

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
