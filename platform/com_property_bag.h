// A property bag held in memory: what a container keeps when it saves a control through
// IPersistPropertyBag, and hands back when it loads one.
#pragma once

#include <map>
#include <string>

#include "platform/com.h"
#include "platform/unknown_base.h"

// Starts with one reference for its creator. Values are kept as copies; Read converts to the
// type the reader asks for (VT_EMPTY: as stored) and gives E_INVALIDARG for a missing name.
class MemoryPropertyBag final : public CountedObject<IPropertyBag> {
  public:
    MemoryPropertyBag() = default;
    HRESULT Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* pErrorLog) override;
    HRESULT Write(LPCOLESTR pszPropName, VARIANT* pVar) override;

    // "name=value" for every property in name order, separated by single blanks; values as
    // VariantChangeType makes them text.
    std::string Format() const;

    std::size_t Count() const { return values_.size(); }

  private:
    ~MemoryPropertyBag() override;
    std::map<std::string, VARIANT> values_;
};
