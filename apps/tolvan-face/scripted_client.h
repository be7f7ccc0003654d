// The scripted client object of tolvan-face: an in-process stand-in for the Kestro client
// automation object that answers the control's reads with one pump's configuration and status
// (as a script gives them), accepts every pump command with result 0, and keeps the control
// that registers itself, so that a face can be shown without a controller server.
#pragma once

#include <string>

#include "platform/com.h"
#include "platform/unknown_base.h"

namespace tolvan_face {

// The pump the client object reports.
struct ScriptedPump {
    LONG number = 1;
    std::u16string name = u"Pump 1";
    SHORT priceFormat = 1;  // display format codes (3, 2 and 2 decimals by default)
    SHORT volumeFormat = 9;
    SHORT valueFormat = 10;
    SHORT state = 5;
    SHORT reservedFor = 0;
    LONG reservedBy = -1;
    SHORT hoseNumber = 0;
    LONG gradeId = 1;
    std::u16string gradeName = u"Unleaded 91";
    std::u16string shortGradeName = u"U91";
    double price = 0;
    double volume = 0;
    double value = 0;
    SHORT stackSize = 0;
    SHORT stackMode = 0;
};

// It lives on its owner's stack.
class ScriptedClient final : public ScopedObject<IDispatch> {
  public:
    explicit ScriptedClient(const ScriptedPump& pump) : pump_(pump) {}
    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    // ReadPumpProperties (7) and ReadPumpStatus (12) fill their by-reference arguments from the
    // script's pump; RegisterPumpControl (72) keeps the control; the put of CurrentPumpID (74)
    // is remembered; every other member answers 0.
    HRESULT Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* info, UINT* argErr) override;

    // The pump ID last put to CurrentPumpID, -1 before any.
    LONG CurrentPumpID() const { return currentPumpId_; }

  private:
    ScriptedPump pump_;
    LONG currentPumpId_ = -1;
};

}  // namespace tolvan_face
