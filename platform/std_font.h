// The standard font object of OLE (OleCreateFontIndirect): a font description behind an
// IDispatch with the properties Name, Size, Bold, Italic and Weight, as containers hand out
// their ambient font and controls read it.
#pragma once

#include "platform/com.h"
#include "platform/gdi.h"  // FW_NORMAL, FW_BOLD
#include "platform/variant.h"

#ifdef _WIN32
// On Windows the font object, FONTDESC and CY are OLE's (olectl.h, oleaut32). ReadFontDesc, the
// Linux tests' reader of a font object, is not built there.
#else

// A font size in points as a currency value: points times 10,000.
struct CY {
    LONGLONG int64;
};

struct FONTDESC {
    UINT cbSizeofstruct;
    LPOLESTR lpstrName;
    CY cySize;
    SHORT sWeight;
    SHORT sCharset;
    BOOL fItalic;
    BOOL fUnderline;
    BOOL fStrikethrough;
};

// Creates a font object for `desc` and answers its `riid` (IID_IDispatch or IID_IUnknown).
// The object's property gets answer Name (VT_BSTR), Size (VT_CY in llVal), Bold and Italic
// (VT_BOOL), Weight (VT_I2); puts change them. E_POINTER for null arguments, E_NOINTERFACE
// for another interface.
HRESULT OleCreateFontIndirect(const FONTDESC* desc, REFIID riid, void** ppv);

// Reads a font object's description through its dispatch interface (members it lacks keep
// their value in `desc`); the name is a new BSTR the caller frees. False for null.
bool ReadFontDesc(IDispatch* font, FONTDESC* desc);

#endif  // _WIN32
