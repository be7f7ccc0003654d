// The pump display control from the second script engine. JScript passes every argument by
// value: a member whose parameter is by reference (SetKestro's Handle, the out-values) does not
// take a JScript value, and the client object goes to the control through the Kestro property.
var ctl = new ActiveXObject("TOLVAN.TolvanCtrl.1");

function show(name) {
    var value = ctl[name];
    WScript.Echo(name + " " + (typeof value == "string" ? "\"" + value + "\"" : value) + " (" +
                 typeof value + ")");
}

// attempt(what, f): runs f and prints what it returned or the error it raised. (Wine's JScript
// gives an error of the dispatch call itself, such as a type mismatch, no description.)
function attempt(what, f) {
    try {
        WScript.Echo(what + " " + f());
    } catch (e) {
        WScript.Echo(what + " raised e.number " + e.number + " (0x" +
                     (e.number >>> 0).toString(16).toUpperCase() + "), \"" + e.description + "\"");
    }
}

var defaults = ["ID", "Number", "Name", "PortID", "CurGradeID", "CurPriceLevel", "CurPrice",
                "PriceDspFormat", "VolumeDspFormat", "ValueDspFormat", "PopupMode",
                "BeepEnabled", "PumpName"];
for (var i = 0; i < defaults.length; i++) {
    show(defaults[i]);
}
WScript.Echo("Kestro " + (ctl.Kestro === null ? "null" : typeof ctl.Kestro));

ctl.PopupMode = 3;
ctl.PopupMode = 9;
show("PopupMode");
ctl.BeepEnabled = 5;
show("BeepEnabled");

attempt("Authorise()", function () { return ctl.Authorise(); });
attempt("PrepayAuthorise(2, 10.5, 1, 1)", function () { return ctl.PrepayAuthorise(2, 10.5, 1, 1); });
attempt("Number = 4", function () { ctl.Number = 4; return "accepted"; });
show("Number");
attempt("CurGradeName = \"GA\"", function () { ctl.CurGradeName = "GA"; return "accepted"; });
attempt("GetHosesCount(0)", function () { return ctl.GetHosesCount(0); });

var client = new ActiveXObject("Kestro.Client.1");
WScript.Echo("Logon " + client.Logon(WScript.Arguments(0), 5000));
ctl.ID = 1;
attempt("SetKestro(client)", function () { return ctl.SetKestro(client); });
ctl.Kestro = client;
WScript.Echo("Kestro = client: Kestro is the client " + (ctl.Kestro == client));
var loaded = ["Number", "Name", "PhysicalNumber", "Side", "PortID", "AuthMode", "PumpState",
              "CurGradeName", "CurShortGradeName", "CurPrice"];
for (var i = 0; i < loaded.length; i++) {
    show(loaded[i]);
}
attempt("CancelAuthorise()", function () { return ctl.CancelAuthorise(); });
// JScript's null is no object reference (VT_NULL): the control keeps its client object.
attempt("Kestro = null", function () { ctl.Kestro = null; return "accepted"; });
WScript.Echo("Kestro is the client " + (ctl.Kestro == client) + ", Number " + ctl.Number);
// ID -1 withdraws the control from the client object and drops it.
ctl.ID = -1;
WScript.Echo("ID = -1: Kestro " + ctl.Kestro + ", Number " + ctl.Number);
attempt("Authorise()", function () { return ctl.Authorise(); });
WScript.Echo("Logoff " + client.Logoff());
