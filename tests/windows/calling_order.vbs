' The host's calling order, driven from VBScript as a VB host would, against the Winelib build
' whose diary is SQLite. Arguments: the diary, an export file to write, a file to import, a broken
' file to import, a folder for scratch files.
' Ends with "calling_order: N passed, M failed" (cscript exits 0 even on errors).
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

' The error the last call raised (under On Error Resume Next), kept and cleared.
Dim number, description, source
Sub TakeError()
  number = Err.Number
  description = Err.Description
  source = Err.Source
  Err.Clear
End Sub

Dim args, diary, exportFile, importFile, brokenFile, scratch
Set args = WScript.Arguments
diary = args(0)
exportFile = args(1)
importFile = args(2)
brokenFile = args(3)
scratch = args(4)

Dim o, r
Set o = CreateObject("Sarnlink.clsMTExport")

' Initialize answers whether the diary file exists.
Check o.Initialize(scratch & "\no-such.db") = False, "Initialize with a missing diary"
Check o.Initialize("") = False, "Initialize with an empty path"
Check o.Initialize(diary) = True, "Initialize with the diary"

' SetPath refusals in both directions.
o.SetImport
Check o.SetPath(scratch & "\no-such.txt") = False, "import SetPath of a missing file"
Check o.Execute = False, "Execute after a refused SetPath does nothing"
o.SetExport
Check o.SetPath(importFile) = False, "export SetPath of an existing file without OverWrite"
Check o.SetPath(importFile, False) = False, "export SetPath with OverWrite False"

' An export end to end, with a variable passed by reference as VBScript does.
Dim author
author = "Sample Writer"
o.SetAuthor author
Check o.SetPath(exportFile, True) = True, "export SetPath with OverWrite"
Check o.Execute = False, "Execute exports and returns False"

' The diary is never an output: SetPath refuses it, OverWrite or not, and deletes nothing.
On Error Resume Next
r = o.SetPath(diary, True)
TakeError
On Error Goto 0
Check number <> 0, "SetPath of the diary raises an error"
Check InStr(description, "is the diary database") > 0, "the refusal says why: " & description
Check o.Initialize(diary) = True, "the diary is still there"
o.SetAuthor author

' The direction changed after SetPath: the export refuses the file it finds, and leaves it.
Dim fso, sizeBefore
Set fso = CreateObject("Scripting.FileSystemObject")
sizeBefore = fso.GetFile(importFile).Size
o.SetImport
Check o.SetPath(importFile) = True, "import SetPath before the direction changes"
o.SetExport
On Error Resume Next
o.Execute
TakeError
On Error Goto 0
Check number <> 0, "an export onto the file SetPath found raises an error"
Check InStr(description, "already exists") > 0, "the refusal says why: " & description
Check fso.GetFile(importFile).Size = sizeBefore, "the file is untouched"

' An import end to end.
o.SetImport
o.SetAuthor ""
Check o.SetPath(importFile) = True, "import SetPath of an existing file"
o.Execute

' A failing run reaches the host as an error with its description.
Check o.SetPath(brokenFile) = True, "import SetPath of the broken file"
On Error Resume Next
o.Execute
TakeError
On Error Goto 0
Check number <> 0, "a failing run raises an error"
Check InStr(description, "line 3") > 0, "the description names the line: " & description
Check InStr(description, "nothing was stored") > 0, "a malformed file stores nothing: " & _
  description
Check source = "Sarnlink.clsMTExport", "the source is the ProgID: " & source

Dim info
Set info = CreateObject("Sarnlink.Information")
Check info.GetVersion = 100, "GetVersion"
Check info.GetVersionMajor = 1 And info.GetVersionMinor = 0 And info.GetVersionRevision = 0, "parts"

WScript.Echo "calling_order: " & passed & " passed, " & failed & " failed"
