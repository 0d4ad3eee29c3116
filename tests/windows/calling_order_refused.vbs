' The host's calling order against the shipping build, whose ADO backend finds no Jet provider
' under Wine: every step up to Execute works, and Execute's refusal reaches Err with its number,
' source and description, as it reaches a VB host. Arguments: the diary, an export file to write,
' a file to import. Ends with "calling_order: N passed, M failed" (cscript exits 0 even on errors).
Option Explicit
Dim passed, failed
passed = 0
failed = 0

Sub Check(ok, what)
  If ok Then
    passed = passed + 1
  Else
    failed = failed + 1
    WScript.Echo "FAILED: " & what
  End If
End Sub

Sub CheckRefused(what)
  Dim number, description, source
  number = Err.Number
  description = Err.Description
  source = Err.Source
  Err.Clear
  Check number <> 0, what & " raises an error"
  Check source = "Sarnlink.clsMTExport", what & ": the source is the ProgID: " & source
  Check InStr(description, "database error") > 0, what & ": the description: " & description
End Sub

Dim args, o, r, author
Set args = WScript.Arguments
Set o = CreateObject("Sarnlink.clsMTExport")
Check o.Initialize(args(0)) = True, "Initialize with the diary"
o.SetExport
author = "Sample Writer"
o.SetAuthor author
' The diary is never an output, in the shipping build too.
On Error Resume Next
r = o.SetPath(args(0), True)
Dim refusal
refusal = Err.Description
Check Err.Number <> 0, "SetPath of the diary raises an error"
Err.Clear
On Error Goto 0
Check InStr(refusal, "is the diary database") > 0, "the refusal says why: " & refusal
Check o.Initialize(args(0)) = True, "the diary is still there"
o.SetAuthor author
Check o.SetPath(args(1), True) = True, "export SetPath with OverWrite"
On Error Resume Next
r = o.Execute
CheckRefused "the export"
On Error Goto 0

o.SetImport
Check o.SetPath(args(2)) = True, "import SetPath of an existing file"
On Error Resume Next
r = o.Execute
CheckRefused "the import"
On Error Goto 0

Dim info
Set info = CreateObject("Sarnlink.Information")
Check info.GetVersion = 100, "GetVersion"
WScript.Echo "calling_order: " & passed & " passed, " & failed & " failed"
