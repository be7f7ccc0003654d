// Dialog templates in both of Windows' forms, for comparing forecourt-rc's dialogs with what
// windres writes where the two are known to write the same dialog differently: windres keeps
// a CONTROL's predefined class names ("Button") as strings where rc.exe writes their atoms, and
// rc.exe and windres write a DIALOG statement as DLGTEMPLATE where forecourt-rc writes every
// dialog as DLGTEMPLATEEX.
#pragma once

#include <vector>

namespace rc_windres {

// A DLGTEMPLATE rewritten as the DLGTEMPLATEEX forecourt-rc writes for a DIALOG statement: no
// help ids, a font of weight 0, not italic, DEFAULT_CHARSET, control ids widened with their
// sign. False when `dialog` is not a well-formed DLGTEMPLATE.
bool ClassicToExtended(const std::vector<unsigned char>& dialog, std::vector<unsigned char>* out);

// A DLGTEMPLATEEX with each control class named "BUTTON", "EDIT", "STATIC", "LISTBOX",
// "SCROLLBAR" or "COMBOBOX" (any case) given as its atom 0x0080..0x0085 instead. False when
// `dialog` is not a well-formed DLGTEMPLATEEX.
bool ClassNamesToAtoms(const std::vector<unsigned char>& dialog, std::vector<unsigned char>* out);

}  // namespace rc_windres
