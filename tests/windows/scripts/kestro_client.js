// The client object from the second script engine: JScript passes no variable by reference,
// so it reads the properties and calls the members that take values only.
var client = new ActiveXObject("Kestro.Client.1");
client.ClientID = 7;
WScript.Echo("ClientID " + client.ClientID + ", CallPort " + client.CallPort);
WScript.Echo("Logon " + client.Logon(WScript.Arguments(0), 5000) + ", Connected " +
             client.Connected);
WScript.Echo("Logon again " + client.Logon(WScript.Arguments(0), 5000));
WScript.Echo("PumpCancelAuthorise(3) " + client.PumpCancelAuthorise(3));
try {
    client.PumpAuthorise("three");
    WScript.Echo("PumpAuthorise(\"three\") was accepted");
} catch (e) {
    WScript.Echo("PumpAuthorise(\"three\") refused: 0x" +
                 (e.number >>> 0).toString(16).toUpperCase());
}
WScript.Echo("Logoff " + client.Logoff() + ", Connected " + client.Connected);
