// The drawing calls USER makes (GDI's, declared in platform/gdi.h).
#pragma once

#include <vector>

#include "platform/pixel_surface.h"
#include "platform/win_types.h"

HDC CreateSurfaceDC(platform::PixelSurface& surface, POINT origin, const std::vector<RECT>& clip);
BOOL DeleteDC(HDC hdc);
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
