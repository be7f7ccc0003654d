// Printing and parsing automation values for control-host scripts.
#include "apps/control-host/value_text.h"

#include "platform/com.h"
#include "platform/variant_owner.h"
#include "platform/variant_values.h"

bool SplitWords(const std::string& line, std::vector<ScriptWord>* words, std::string* error) {
    words->clear();
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        ScriptWord word;
        if (line[i] != '"') {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
                word.text += line[i++];
            }
            words->push_back(word);
            continue;
        }
        word.quoted = true;
        ++i;
        bool closed = false;
        while (i < line.size()) {
            const char c = line[i++];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c != '\\') {
                word.text += c;
                continue;
            }
            if (i >= line.size()) {
                break;
            }
            const char e = line[i++];
            switch (e) {
                case '"':
                case '\\':
                    word.text += e;
                    break;
                case 'n':
                    word.text += '\n';
                    break;
                case 't':
                    word.text += '\t';
                    break;
                default:
                    *error = std::string("unknown escape \\") + e + " in a quoted text";
                    return false;
            }
        }
        if (!closed) {
            *error = "a quoted text is not closed";
            return false;
        }
        words->push_back(word);
    }
    return true;
}

std::string FormatValue(const VARIANT& given) {
    Variant copy;
    if (FAILED(VariantCopyInd(copy.Out(), &given))) {
        // Appended: GCC 12 at -O3 reports a false -Wrestrict for "literal" + std::string.
        std::string unknown = "(";
        unknown += std::to_string(given.vt);
        unknown += ')';
        return unknown;
    }
    const VARIANT& value = copy.Get();
    std::string text;
    switch (value.vt) {
        case VT_EMPTY:
            text = "(empty)";
            break;
        case VT_NULL:
            text = "(null)";
            break;
        case VT_BOOL:
            text = value.boolVal != 0 ? "true" : "false";
            break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            text = value.punkVal == nullptr
                       ? "null"
                       : (value.vt == VT_DISPATCH ? "(IDispatch)" : "(IUnknown)");
            break;
        case VT_ERROR:
            text = "(error " + HResultHex(value.scode) + ")";
            break;
        case VT_BSTR: {
            text = "\"";
            for (char c : BstrToUtf8(value.bstrVal)) {
                if (c == '"' || c == '\\') {
                    text += '\\';
                    text += c;
                } else if (c == '\n') {
                    text += "\\n";
                } else if (c == '\t') {
                    text += "\\t";
                } else {
                    text += c;
                }
            }
            text += '"';
            break;
        }
        default: {
            Variant converted;
            if (SUCCEEDED(VariantChangeType(converted.Out(), &value, 0, VT_BSTR))) {
                text = BstrToUtf8(converted.Get().bstrVal);
            } else {
                text = "(" + std::to_string(value.vt) + ")";
            }
            break;
        }
    }
    return text;
}

HRESULT ParseValue(const ScriptWord& word, VARTYPE vt, VARIANT* out) {
    VariantInit(out);
    if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
        if (!word.quoted && word.text == "null") {
            out->vt = vt;
            out->pdispVal = nullptr;
            return S_OK;
        }
        return DISP_E_TYPEMISMATCH;
    }
    if (vt == VT_VARIANT) {
        out->vt = VT_BSTR;
        out->bstrVal = BstrFromUtf8(word.text);
        return S_OK;
    }
    const Variant text(platform::variants::Text(word.text));
    return VariantChangeType(out, &text.Get(), 0, vt);
}
