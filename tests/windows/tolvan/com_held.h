// A COM pointer of a Windows test, released when its scope ends.
#pragma once

template <class T>
struct Held {
    T* p = nullptr;
    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() {
        if (p != nullptr) {
            p->Release();
        }
    }
    T** Out() { return &p; }
    void** OutVoid() { return reinterpret_cast<void**>(&p); }
    T* operator->() const { return p; }
};
