// AfxFindResourceHandle: the current module first, then the program.
#include "platform/afx/afx_resources.h"

#include "platform/afx/module_state.h"

HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type) {
    HINSTANCE current = AfxGetInstanceHandle();
    if (FindResourceW(current, name, type) != nullptr) {
        return current;
    }
    return FindResourceW(nullptr, name, type) != nullptr ? nullptr : current;
}
