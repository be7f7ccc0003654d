// The stream in memory of CreateStreamOnHGlobal: bytes shared by the stream and its clones,
// each with a position of its own.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/stream.h"
#include "platform/unknown_base.h"

namespace {

// Bytes beyond what a 32-bit Windows block could hold are refused rather than allocated.
constexpr ULONGLONG kMaxSize = 0x7FFFFFFF;

class MemoryStream final : public CountedObject<IStream> {
  public:
    explicit MemoryStream(std::shared_ptr<std::vector<BYTE>> bytes, ULONGLONG position = 0)
        : bytes_(std::move(bytes)), position_(position) {}

    HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override {
        if (pv == nullptr && cb != 0) {
            return STG_E_INVALIDPOINTER;
        }
        const ULONGLONG size = bytes_->size();
        const ULONG count =
            position_ >= size ? 0 : static_cast<ULONG>(std::min<ULONGLONG>(cb, size - position_));
        if (count != 0) {
            std::memcpy(pv, bytes_->data() + position_, count);
        }
        position_ += count;
        if (pcbRead != nullptr) {
            *pcbRead = count;
        }
        return S_OK;
    }
    HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
        if (pcbWritten != nullptr) {
            *pcbWritten = 0;
        }
        if (pv == nullptr && cb != 0) {
            return STG_E_INVALIDPOINTER;
        }
        if (position_ + cb > kMaxSize) {
            return STG_E_MEDIUMFULL;
        }
        if (position_ + cb > bytes_->size()) {
            bytes_->resize(position_ + cb);
        }
        if (cb != 0) {
            std::memcpy(bytes_->data() + position_, pv, cb);
        }
        position_ += cb;
        if (pcbWritten != nullptr) {
            *pcbWritten = cb;
        }
        return S_OK;
    }
    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
        LONGLONG base = 0;
        switch (origin) {
            case STREAM_SEEK_SET:
                break;
            case STREAM_SEEK_CUR:
                base = static_cast<LONGLONG>(position_);
                break;
            case STREAM_SEEK_END:
                base = static_cast<LONGLONG>(bytes_->size());
                break;
            default:
                return STG_E_INVALIDFUNCTION;
        }
        const LONGLONG target = base + move.QuadPart;
        if (target < 0) {
            return STG_E_INVALIDFUNCTION;
        }
        position_ = static_cast<ULONGLONG>(target);
        if (newPosition != nullptr) {
            newPosition->QuadPart = position_;
        }
        return S_OK;
    }
    HRESULT SetSize(ULARGE_INTEGER size) override {
        if (size.QuadPart > kMaxSize) {
            return STG_E_MEDIUMFULL;
        }
        bytes_->resize(size.QuadPart);
        return S_OK;
    }
    HRESULT CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                   ULARGE_INTEGER* pcbWritten) override {
        if (target == nullptr) {
            return STG_E_INVALIDPOINTER;
        }
        const ULONGLONG size = bytes_->size();
        const ULONGLONG available = position_ >= size ? 0 : size - position_;
        const auto count = static_cast<ULONG>(std::min(cb.QuadPart, available));
        ULONG written = 0;
        const HRESULT hr = target->Write(bytes_->data() + position_, count, &written);
        position_ += count;
        if (pcbRead != nullptr) {
            pcbRead->QuadPart = count;
        }
        if (pcbWritten != nullptr) {
            pcbWritten->QuadPart = written;
        }
        return hr;
    }
    HRESULT Commit(DWORD) override { return S_OK; }
    HRESULT Revert() override { return S_OK; }
    HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT Stat(STATSTG* stat, DWORD) override {
        if (stat == nullptr) {
            return STG_E_INVALIDPOINTER;
        }
        *stat = STATSTG{};
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = bytes_->size();
        return S_OK;
    }
    HRESULT Clone(IStream** clone) override {
        if (clone == nullptr) {
            return STG_E_INVALIDPOINTER;
        }
        *clone = new MemoryStream(bytes_, position_);
        return S_OK;
    }

  private:
    ~MemoryStream() override = default;
    bool AlsoAnswers(REFIID riid) const override { return riid == IID_ISequentialStream; }
    std::shared_ptr<std::vector<BYTE>> bytes_;
    ULONGLONG position_;
};

}  // namespace

HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL, LPSTREAM* ppstm) {
    if (ppstm == nullptr) {
        return E_INVALIDARG;
    }
    *ppstm = nullptr;
    if (hGlobal != nullptr) {
        return E_INVALIDARG;
    }
    *ppstm = new MemoryStream(std::make_shared<std::vector<BYTE>>());
    return S_OK;
}
