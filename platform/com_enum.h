// The enumerators of COM (IEnumConnections, IEnumConnectionPoints, IEnumSTATDATA): a snapshot
// of items taken when the enumerator is made, walked with Next, Skip, Reset and Clone.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/com.h"
#include "platform/unknown_base.h"

template <>
struct IidOf<IEnumConnections> {
    static constexpr const IID& value = IID_IEnumConnections;
};
template <>
struct IidOf<IEnumConnectionPoints> {
    static constexpr const IID& value = IID_IEnumConnectionPoints;
};
template <>
struct IidOf<IEnumSTATDATA> {
    static constexpr const IID& value = IID_IEnumSTATDATA;
};

// Traits say how one item holds its reference: Ref(item) is the interface it counts.
template <class Item>
struct EnumItemRef;
template <>
struct EnumItemRef<CONNECTDATA> {
    static IUnknown* Of(const CONNECTDATA& item) { return item.pUnk; }
};
template <>
struct EnumItemRef<IConnectionPoint*> {
    static IUnknown* Of(IConnectionPoint* item) { return item; }
};
template <>
struct EnumItemRef<STATDATA> {
    static IUnknown* Of(const STATDATA& item) { return item.pAdvSink; }
};

// Made with new and one reference for the caller. The snapshot holds a reference on each
// item's interface (and on `owner`, the object enumerated, when given) until the enumerator
// and its clones are gone; each item Next hands out carries a reference of its own.
template <class IEnum, class Item>
class SnapshotEnum final : public CountedObject<IEnum> {
  public:
    SnapshotEnum(std::vector<Item> items, IUnknown* owner)
        : snapshot_(std::make_shared<Snapshot>(std::move(items), owner)) {}

    HRESULT Next(ULONG celt, Item* rgelt, ULONG* pceltFetched) override {
        if (rgelt == nullptr || (pceltFetched == nullptr && celt != 1)) {
            return E_POINTER;
        }
        const std::vector<Item>& items = snapshot_->items;
        ULONG fetched = 0;
        while (fetched < celt && position_ < items.size()) {
            rgelt[fetched] = items[position_++];
            if (IUnknown* unknown = EnumItemRef<Item>::Of(rgelt[fetched])) {
                unknown->AddRef();
            }
            ++fetched;
        }
        if (pceltFetched != nullptr) {
            *pceltFetched = fetched;
        }
        return fetched == celt ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG celt) override {
        const std::size_t left = snapshot_->items.size() - position_;
        position_ += std::min<std::size_t>(celt, left);
        return celt <= left ? S_OK : S_FALSE;
    }
    HRESULT Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT Clone(IEnum** ppEnum) override {
        if (ppEnum == nullptr) {
            return E_POINTER;
        }
        auto* clone = new SnapshotEnum(snapshot_);
        clone->position_ = position_;
        *ppEnum = clone;
        return S_OK;
    }

  private:
    struct Snapshot {
        Snapshot(std::vector<Item> taken, IUnknown* holder)
            : items(std::move(taken)), owner(holder) {
            for (const Item& item : items) {
                if (IUnknown* unknown = EnumItemRef<Item>::Of(item)) {
                    unknown->AddRef();
                }
            }
            if (owner != nullptr) {
                owner->AddRef();
            }
        }
        ~Snapshot() {
            for (const Item& item : items) {
                if (IUnknown* unknown = EnumItemRef<Item>::Of(item)) {
                    unknown->Release();
                }
            }
            if (owner != nullptr) {
                owner->Release();
            }
        }
        Snapshot(const Snapshot&) = delete;
        Snapshot& operator=(const Snapshot&) = delete;
        std::vector<Item> items;
        IUnknown* owner;
    };

    explicit SnapshotEnum(std::shared_ptr<Snapshot> snapshot) : snapshot_(std::move(snapshot)) {}
    ~SnapshotEnum() override = default;

    std::shared_ptr<Snapshot> snapshot_;
    std::size_t position_ = 0;
};
