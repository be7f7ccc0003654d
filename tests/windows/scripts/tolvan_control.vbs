' The pump display control as a script sees it, with no window and no container site: created by
' its ProgID, every property read as it starts, the writable ones written and read back, the
' read-only ones refusing a put, the pump commands answered without a client object, and then
' the client object logged on to the kestrod whose address is the first argument, handed to the
' control for pump 1 and the pump's configuration read back through the control.
Option Explicit

Dim ctl, client, dictionary, rc, version, i

' Show NAME, VALUE: one line per property, its value and the automation type it came in.
Sub Show(name, value)
    If VarType(value) = vbString Then
        WScript.Echo name & " """ & value & """ (" & TypeName(value) & ")"
    Else
        WScript.Echo name & " " & value & " (" & TypeName(value) & ")"
    End If
End Sub

' ShowError WHAT: what the last statement raised, then clears it.
Sub ShowError(what)
    If Err.Number = 0 Then
        WScript.Echo what & ": no error"
    Else
        WScript.Echo what & ": Err.Number " & Err.Number & " (0x" & Hex(Err.Number) & "), " & _
            Err.Description
    End If
    Err.Clear
End Sub

' The name of an object's type, or Nothing. (Wine's TypeName of a null object reference faults
' in its own code; Windows' returns "Nothing".)
Function ObjectName(value)
    If value Is Nothing Then
        ObjectName = "Nothing"
    Else
        ObjectName = TypeName(value)
    End If
End Function

Sub ShowAll()
    Show "ID", ctl.ID
    Show "Number", ctl.Number
    Show "Name", ctl.Name
    Show "PhysicalNumber", ctl.PhysicalNumber
    Show "Side", ctl.Side
    Show "Address", ctl.Address
    Show "PriceLevel1", ctl.PriceLevel1
    Show "PriceLevel2", ctl.PriceLevel2
    Show "PriceDspFormat", ctl.PriceDspFormat
    Show "VolumeDspFormat", ctl.VolumeDspFormat
    Show "ValueDspFormat", ctl.ValueDspFormat
    Show "Type", ctl.Type
    Show "PortID", ctl.PortID
    Show "AttendantID", ctl.AttendantID
    Show "AuthMode", ctl.AuthMode
    Show "StackMode", ctl.StackMode
    Show "PrepayAllowed", ctl.PrepayAllowed
    Show "PreauthAllowed", ctl.PreauthAllowed
    Show "PumpState", ctl.PumpState
    Show "ReservedFor", ctl.ReservedFor
    Show "ReservedBy", ctl.ReservedBy
    Show "CurHoseID", ctl.CurHoseID
    Show "CurGradeName", ctl.CurGradeName
    Show "CurPriceLevel", ctl.CurPriceLevel
    Show "CurPrice", ctl.CurPrice
    Show "CurVolume", ctl.CurVolume
    Show "CurValue", ctl.CurValue
    Show "StackSize", ctl.StackSize
    Show "CurGradeID", ctl.CurGradeID
    Show "IsCurrentPump", ctl.IsCurrentPump
    Show "CurShortGradeName", ctl.CurShortGradeName
    Show "PopupMode", ctl.PopupMode
    Show "BeepEnabled", ctl.BeepEnabled
    Show "CurHoseNumber", ctl.CurHoseNumber
    Show "PumpName", ctl.PumpName
    WScript.Echo "Kestro " & ObjectName(ctl.Kestro)
End Sub

' The pump commands, each answered by the client object or, without one, by -21. The
' out-values start at -7 (typed as the control declares them): the answer shows whether anything
' was written to them.
Sub CallCommands()
    Dim count, hoseId, delId, delType, delState, delHose, delHoseNum, delGrade, delName
    Dim delShort, delLevel, delPrice, delVolume, delValue, delLocked, delReserved, delAge
    Dim delDate, delAttendant, volumeTotal, volume2Total, valueTotal
    count = CLng(-7)
    hoseId = CLng(-7)
    rc = ctl.GetHosesCount(count)
    WScript.Echo "GetHosesCount " & rc & ", count " & count
    rc = ctl.GetHoseByNumber(1, hoseId)
    WScript.Echo "GetHoseByNumber(1) " & rc & ", hose " & hoseId
    delId = CLng(-7): delType = CInt(-7): delState = CInt(-7): delHose = CLng(-7)
    delHoseNum = CInt(-7): delGrade = CLng(-7): delName = "-7": delShort = "-7"
    delLevel = CInt(-7): delPrice = CDbl(-7): delVolume = CDbl(-7): delValue = CDbl(-7)
    delLocked = CLng(-7): delReserved = CLng(-7): delAge = CLng(-7): delDate = CDate(0)
    delAttendant = CLng(-7): volumeTotal = CDbl(-7): volume2Total = CDbl(-7)
    valueTotal = CDbl(-7)
    rc = ctl.GetDeliveryProperties(1, delId, delType, delState, delHose, delHoseNum, delGrade, _
        delName, delShort, delLevel, delPrice, delVolume, delValue, delLocked, delReserved, _
        delAge, delDate, delAttendant)
    WScript.Echo "GetDeliveryProperties(1) " & rc & ", ID " & delId & ", GradeName """ & _
        delName & """"
    rc = ctl.GetDeliveryPropertiesEx(1, delId, delType, delState, delHose, delHoseNum, _
        delGrade, delName, delShort, delLevel, delPrice, delVolume, delValue, delLocked, _
        delReserved, delAge, delDate, delAttendant, volumeTotal, volume2Total, valueTotal)
    WScript.Echo "GetDeliveryPropertiesEx(1) " & rc & ", ID " & delId & ", ValueETot " & _
        valueTotal
    WScript.Echo "PrepayReserve " & ctl.PrepayReserve()
    WScript.Echo "PrepayCancel " & ctl.PrepayCancel()
    WScript.Echo "PrepayAuthorise " & ctl.PrepayAuthorise(2, 10.5, 1, 1)
    WScript.Echo "PreauthReserve " & ctl.PreauthReserve()
    WScript.Echo "PreauthCancel " & ctl.PreauthCancel()
    WScript.Echo "PreauthAuthorise " & ctl.PreauthAuthorise(2, 10.5, 1, 1)
    WScript.Echo "LoadPreset " & ctl.LoadPreset(2, 10.5, 1, 1)
    WScript.Echo "AttendantAuthorise " & ctl.AttendantAuthorise(5)
    WScript.Echo "AttendantLogon " & ctl.AttendantLogon(5)
    WScript.Echo "TempStop " & ctl.TempStop()
    WScript.Echo "ReAuthorise " & ctl.ReAuthorise()
    WScript.Echo "TerminateDelivery " & ctl.TerminateDelivery()
    WScript.Echo "StackCurrentDelivery " & ctl.StackCurrentDelivery()
    WScript.Echo "CancelAuthorise " & ctl.CancelAuthorise()
    WScript.Echo "Authorise " & ctl.Authorise()
End Sub

Set ctl = CreateObject("TOLVAN.TolvanCtrl.1")
WScript.Echo "-- as created"
ShowAll

WScript.Echo "-- writable properties"
On Error Resume Next
ctl.ID = 3
Show "ID = 3, no client object: ID", ctl.ID
Show "  Number", ctl.Number
Show "  PortID", ctl.PortID
ctl.ID = -1
Show "ID = -1: ID", ctl.ID
ctl.IsCurrentPump = 1
Show "IsCurrentPump = 1", ctl.IsCurrentPump
ctl.IsCurrentPump = 0
Show "IsCurrentPump = 0", ctl.IsCurrentPump
For Each i In Array(2, 0, 4, -1, 3, 1)
    ctl.PopupMode = i
    Show "PopupMode = " & i, ctl.PopupMode
Next
For Each i In Array(-1, 0, 7, 1, 0)
    ctl.BeepEnabled = i
    Show "BeepEnabled = " & i, ctl.BeepEnabled
Next
Set ctl.Kestro = Nothing
WScript.Echo "Set Kestro = Nothing: Kestro " & ObjectName(ctl.Kestro)
ShowError "the writes"
ctl.PopupMode = "two"
ShowError "PopupMode = ""two"""
Show "  PopupMode", ctl.PopupMode
ctl.ID = 2147483648
ShowError "ID = 2147483648"
Show "  ID", ctl.ID

WScript.Echo "-- read-only properties refuse a put"
ctl.Number = 5
ShowError "Number = 5"
Show "  Number", ctl.Number
ctl.Name = "Bomba"
ShowError "Name = ""Bomba"""
Show "  Name", ctl.Name
ctl.CurPrice = 1.5
ShowError "CurPrice = 1.5"
Show "  CurPrice", ctl.CurPrice
ctl.PumpState = 6
ShowError "PumpState = 6"
Show "  PumpState", ctl.PumpState
ctl.PumpName = "Bomba"
ShowError "PumpName = ""Bomba"""
Show "  PumpName", ctl.PumpName
On Error GoTo 0

WScript.Echo "-- without a client object"
CallCommands
version = "unchanged"
rc = ctl.GetOCXVersion(version)
WScript.Echo "GetOCXVersion " & rc & ", """ & version & """"
ctl.AboutBox
WScript.Echo "AboutBox: " & TypeName(ctl.AboutBox())

WScript.Echo "-- automation errors"
On Error Resume Next
rc = ctl.NoSuchMember(1)
ShowError "NoSuchMember(1)"
rc = ctl.GetHoseByNumber("one", i)
ShowError "GetHoseByNumber(""one"", i)"
rc = ctl.GetHosesCount()
ShowError "GetHosesCount()"
' An object that is no client object: the first pump command the control forwards to it fails
' in the dispatch call itself, and the control raises that as an automation exception.
Set dictionary = CreateObject("Scripting.Dictionary")
rc = ctl.SetKestro(dictionary)
ShowError "SetKestro(a dictionary) " & rc & " with ID " & ctl.ID
rc = "none"
rc = ctl.Authorise()
ShowError "Authorise with a dictionary for client object, result " & rc
Set dictionary = Nothing
rc = ctl.SetKestro(dictionary)
ShowError "SetKestro(Nothing) " & rc & ", Kestro " & ObjectName(ctl.Kestro)
On Error GoTo 0

WScript.Echo "-- the client object for pump 1"
Set client = CreateObject("Kestro.Client.1")
WScript.Echo "Logon " & client.Logon(WScript.Arguments(0), 5000)
ctl.ID = 1
WScript.Echo "ID = 1 without a client object: Number " & ctl.Number
rc = ctl.SetKestro(client)
WScript.Echo "SetKestro " & rc & ", Kestro Is client " & (ctl.Kestro Is client)
ShowAll
CallCommands
WScript.Echo "-- ID = -1 withdraws the control and drops the client object"
ctl.ID = -1
WScript.Echo "Kestro " & ObjectName(ctl.Kestro) & ", Number " & ctl.Number & ", Name """ & _
    ctl.Name & """, PortID " & ctl.PortID & ", Authorise " & ctl.Authorise()
WScript.Echo "Logoff " & client.Logoff()
Set ctl = Nothing
Set client = Nothing
