// The framework's automation exceptions. A control method raises one to fail its automation
// call (the framework's Invoke turns it into DISP_E_EXCEPTION with EXCEPINFO), and
// COleDispatchDriver raises one when a call it makes fails. They are thrown by value and
// caught by reference.
#pragma once

#include <string>

#include "platform/variant.h"

// A failure known only by its HRESULT.
class COleException {
  public:
    explicit COleException(SCODE sc) : m_sc(sc) {}
    SCODE m_sc;
};

// A failure with the details of EXCEPINFO: an application code (m_wCode) or an SCODE
// (m_scError), a description, a source and help information.
class COleDispatchException {
  public:
    COleDispatchException(std::string description, UINT helpId, WORD wCode)
        : m_wCode(wCode), m_strDescription(std::move(description)), m_dwHelpContext(helpId) {}

    WORD m_wCode = 0;
    SCODE m_scError = 0;
    std::string m_strDescription;
    std::string m_strSource;
    std::string m_strHelpFile;
    DWORD m_dwHelpContext = 0;
};

[[noreturn]] void AfxThrowOleException(SCODE sc);
[[noreturn]] void AfxThrowOleDispatchException(WORD wCode, LPCSTR description, UINT helpId = 0);

// Fills `info` (when not null) from an exception: description, source (the module's name when
// the exception names none), help file and context, and wCode or scode. The strings are new
// BSTRs that the caller of Invoke frees.
void AfxFillExcepInfo(const COleDispatchException& e, EXCEPINFO* info);
void AfxFillExcepInfo(const COleException& e, EXCEPINFO* info);

// The exception that a failed Invoke stands for: COleDispatchException for DISP_E_EXCEPTION
// (from `info`, whose deferred fill-in is run and whose strings are freed), else COleException.
[[noreturn]] void AfxThrowInvokeFailure(HRESULT hr, EXCEPINFO* info);
