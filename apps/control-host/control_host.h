// The scriptable control container: holds one control created through COM, runs script
// commands against it (one per line) and prints one line per result, plus one line per
// event the control raises while a command runs.
//
// Commands (names ignore case; # starts a comment line):
//   create PROGID|{CLSID}   create a registered control (replacing the current one)
//   members                 its members and events from the type information
//   get NAME                print NAME=VALUE
//   put NAME VALUE          set a property; prints ok
//   call NAME ARG...        call a method; prints NAME=RESULT (or NAME when it returns
//                           nothing), then name=value for each out-parameter
//   size                    the control's extent in pixels: size=WxH
//   save / load             save the persistent properties to the host's property bag and
//                           print them / load them back into the control
//   verb properties         run the properties verb; the host prints each property page as
//                           page {CLSID} "CAPTION" WxH and shows it as a dialog in a frame
//                           captioned CAPTION (property_frame.h), run modally until Enter
//                           (applied) or Escape closes it
//   release                 release the control; prints released
//   unload                  unload modules that allow it; prints modules=N
//   client SERVER [CALLPORT [EVENTSPORT]]
//                           create the client automation object Kestro.Client.1, log it on
//                           to the kestrod at SERVER and hand it to the control (SetKestro),
//                           in place of the one before; prints client SERVER. A failed
//                           logon leaves the control with the one it has
//   wait MS                 let the client object's events reach the control for MS
//                           milliseconds (they print as events)
//   echo TEXT               print TEXT
//   help                    list the commands
// The window commands (show, paint, click, dblclick, key, wait, beeps, ambient, window, run)
// are described in host_window.h.
// Failures print "error: TEXT" and the script goes on. While a command holds the thread in a
// dialog's modal loop, the script's following lines go to that dialog (script_runner.h). New
// commands (attaching a client object, painting, input, the clock) are added to the command table
// in control_host.cpp.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "apps/control-host/client_attachment.h"
#include "apps/control-host/host_window.h"
#include "apps/control-host/value_text.h"
#include "platform/com_property_bag.h"
#include "platform/com_ptr.h"
#include "platform/typeinfo.h"

class ControlHost {
  public:
    explicit ControlHost(std::ostream& out);
    ~ControlHost();
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    // Runs one script line; prints its result lines. Returns false when the line failed.
    // `inModalLoop`: the line runs while a modal loop (a dialog of the control) waits for
    // input. Input commands then only queue their input, for the loop to take through the
    // dialog's keyboard, and commands that would destroy the control under its dialog
    // (create, release) are refused.
    bool RunLine(const std::string& line, bool inModalLoop = false);

    // Shows the property pages of the current control (the site's ShowPropertyFrame).
    HRESULT ShowPropertyFrame();
    // The site's window-side interfaces (in-place site, ambient properties).
    HRESULT QueryWindowSite(REFIID riid, void** ppv) { return window_.QuerySite(riid, ppv); }

  private:
    using Words = std::vector<ScriptWord>;
    struct Command {
        std::function<bool(const Words&)> run;
        std::string usage;
    };

    bool RunCommand(const std::string& line);
    bool Create(const Words& args);
    bool Members(const Words& args);
    bool Get(const Words& args);
    bool Put(const Words& args);
    bool Call(const Words& args);
    bool Size(const Words& args);
    bool Save(const Words& args);
    bool Load(const Words& args);
    bool Verb(const Words& args);
    bool Release(const Words& args);
    bool Unload(const Words& args);
    bool Help(const Words& args);
    void AddWindowCommands();
    bool Client(const Words& args);
    bool Wait(const Words& args);

    bool Error(const std::string& text);
    bool NeedControl();
    const MemberInfo* FindMember(const std::string& name);
    bool InvokeFailed(HRESULT hr, EXCEPINFO& info, UINT argErr, const MemberInfo* member);
    void ReleaseControl();

    std::ostream& out_;
    std::map<std::string, Command> commands_;
    ComPtr<IDispatch> control_;
    ComPtr<ITypeInfo> typeInfo_;   // the dispinterface
    ComPtr<ITypeInfo> classInfo_;  // the coclass (events), when the control offers it
    ComPtr<IConnectionPoint> connection_;
    DWORD cookie_ = 0;
    ComPtr<IDispatch> sink_;
    ComPtr<IUnknown> site_;
    ComPtr<MemoryPropertyBag> bag_;
    HostWindow window_{out_};
    // The attached client object and those a failed SetKestro may have left with the control.
    // ~ControlHost releases the control first.
    std::vector<std::unique_ptr<ClientAttachment>> retiredClients_;
    std::unique_ptr<ClientAttachment> client_;
    bool inModalLoop_ = false;
};
