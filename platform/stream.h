// Byte streams as COM hands them between a container and an object (IPersistStreamInit):
// ISequentialStream and IStream, declared as Windows declares them, and a growable stream in
// memory that behaves as CreateStreamOnHGlobal's.
#pragma once

#include "platform/com.h"
#include "platform/com_ptr.h"
#include "platform/systime.h"

#ifdef _WIN32
// On Windows the streams and CreateStreamOnHGlobal are the SDK's (objidl.h, ole32); ours are
// the IidOf entries below.
#else

inline constexpr IID IID_ISequentialStream = MakeGuid("0C733A30-2A1C-11CE-ADE5-00AA0044773D");
inline constexpr IID IID_IStream = MakeGuid("0000000C-0000-0000-C000-000000000046");

constexpr DWORD STREAM_SEEK_SET = 0;
constexpr DWORD STREAM_SEEK_CUR = 1;
constexpr DWORD STREAM_SEEK_END = 2;
constexpr DWORD STGTY_STREAM = 2;
constexpr DWORD STATFLAG_DEFAULT = 0;
constexpr DWORD STATFLAG_NONAME = 1;

struct STATSTG {
    LPOLESTR pwcsName;  // task memory, freed by the caller; null with STATFLAG_NONAME
    DWORD type;
    ULARGE_INTEGER cbSize;
    FILETIME mtime;
    FILETIME ctime;
    FILETIME atime;
    DWORD grfMode;
    DWORD grfLocksSupported;
    CLSID clsid;
    DWORD grfStateBits;
    DWORD reserved;
};

// Read copies up to `cb` bytes from the position and moves it; fewer (and S_OK) at the end.
// Write stores `cb` bytes at the position, growing the stream. The count pointers may be null.
struct ISequentialStream : IUnknown {
    virtual HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) = 0;
    virtual HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) = 0;

  protected:
    ~ISequentialStream() = default;
};

// The memory stream answers Seek (STG_E_INVALIDFUNCTION for an unknown origin or a position
// before the start), SetSize, CopyTo, Commit and Revert (nothing to do), Stat (no name, type
// STGTY_STREAM, the size) and Clone (a second position over the same bytes). Region locks
// answer STG_E_INVALIDFUNCTION, as CreateStreamOnHGlobal's do.
struct IStream : ISequentialStream {
    virtual HRESULT Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin,
                         ULARGE_INTEGER* plibNewPosition) = 0;
    virtual HRESULT SetSize(ULARGE_INTEGER libNewSize) = 0;
    virtual HRESULT CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                           ULARGE_INTEGER* pcbWritten) = 0;
    virtual HRESULT Commit(DWORD grfCommitFlags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT LockRegion(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) = 0;
    virtual HRESULT UnlockRegion(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) = 0;
    virtual HRESULT Stat(STATSTG* pstatstg, DWORD grfStatFlag) = 0;
    virtual HRESULT Clone(IStream** ppstm) = 0;

  protected:
    ~IStream() = default;
};
using LPSTREAM = IStream*;

// A new empty stream in memory, at position 0, with one reference for the caller. `hGlobal`
// must be null (this layer has no global memory blocks to wrap: E_INVALIDARG otherwise) and
// the memory goes with the last reference whatever `fDeleteOnRelease` says.
HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, LPSTREAM* ppstm);

#endif  // _WIN32

template <>
struct IidOf<ISequentialStream> {
    static constexpr const IID& value = IID_ISequentialStream;
};
template <>
struct IidOf<IStream> {
    static constexpr const IID& value = IID_IStream;
};
