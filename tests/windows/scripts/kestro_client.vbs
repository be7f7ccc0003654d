' The client object as a script sees it: created by its ProgID, logged on to the kestrod whose
' address is the first argument, a few pumps read through by-reference variables, and a failing
' call caught through Err.
Option Explicit

Dim client, rc, pumpId, pumps, hoses, i
Dim number, name, physical, side, address, level1, level2, priceFormat, volumeFormat
Dim valueFormat, pumpType, port, attendant, authMode, stackMode, prepay, preauth
Dim state, reservedFor, reservedBy, hoseId, hoseNumber, gradeId, gradeName, shortName
Dim priceLevel, price, volume, value, stackSize

Set client = CreateObject("Kestro.Client.1")
WScript.Echo "CallPort " & client.CallPort & ", EventsPort " & client.EventsPort & _
    ", Connected " & client.Connected
rc = client.Logon(WScript.Arguments(0), 5000)
WScript.Echo "Logon " & rc & ", Connected " & client.Connected

' Pump identifiers are those for which the configuration can be read.
pumps = 0
For pumpId = 1 To 12
    rc = client.ReadPumpProperties(pumpId, number, name, physical, side, address, level1, _
        level2, priceFormat, volumeFormat, valueFormat, pumpType, port, attendant, authMode, _
        stackMode, prepay, preauth)
    If rc = 0 Then
        pumps = pumps + 1
        If pumps <= 2 Then
            WScript.Echo "Pump " & pumpId & ": Number " & number & ", Name """ & name & _
                """, PhysicalNumber " & physical & ", Side " & side & ", PortID " & port & _
                ", AuthMode " & authMode & ", TypeName(Number) " & TypeName(number)
            hoses = -1
            rc = client.ReadPumpHosesCount(pumpId, hoses)
            WScript.Echo "  hoses " & hoses & " (result " & rc & ")"
            For i = 1 To hoses
                rc = client.ReadPumpHoseByNumber(pumpId, i, hoseId)
                WScript.Echo "  hose " & i & ": HoseID " & hoseId & " (result " & rc & ")"
            Next
            rc = client.ReadPumpStatus(pumpId, state, reservedFor, reservedBy, hoseId, _
                hoseNumber, gradeId, gradeName, shortName, priceLevel, price, volume, value, _
                stackSize)
            WScript.Echo "  status " & rc & ": State " & state & ", GradeID " & gradeId & _
                ", GradeName """ & gradeName & """ (" & shortName & "), Price " & _
                FormatNumber(price, 3, -1, 0, 0) & ", TypeName(Price) " & TypeName(price)
        End If
    End If
Next
WScript.Echo "Pumps " & pumps
WScript.Echo "ReadPumpHosesCount of pump 77: " & client.ReadPumpHosesCount(77, hoses)

' A call the object refuses, and a member it does not have.
On Error Resume Next
rc = client.ReadPumpHosesCount("one", hoses)
WScript.Echo "Refused: Err.Number " & Err.Number & " (0x" & Hex(Err.Number) & "), " & _
    Err.Description
Err.Clear
client.Connected = 1
WScript.Echo "Read-only put: Err.Number 0x" & Hex(Err.Number) & ", " & Err.Description
Err.Clear
rc = client.NoSuchMember(1)
WScript.Echo "Unknown member: Err.Number " & Err.Number & ", " & Err.Description
Err.Clear
On Error GoTo 0

WScript.Echo "Logoff " & client.Logoff() & ", Connected " & client.Connected
Set client = Nothing
