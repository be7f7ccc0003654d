// Interim drawing seam until GDI lands: a device context that only remembers its surface.
#include "platform/gdi_seam.h"

struct HDC__ {
    platform::PixelSurface* surface;
    POINT origin;
    std::vector<RECT> clip;
};

HDC CreateSurfaceDC(platform::PixelSurface& surface, POINT origin, const std::vector<RECT>& clip) {
    return new HDC__{&surface, origin, clip};
}

BOOL DeleteDC(HDC hdc) {
    delete hdc;
    return TRUE;
}

int FillRect(HDC, const RECT*, HBRUSH) {
    return 0;
}
