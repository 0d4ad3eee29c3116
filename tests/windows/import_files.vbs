' Imports each file named after the diary through the COM object, as the host would, so that the
' rows can be compared with the CLI's import of the same files. Arguments: the diary, then the
' files. Ends with "import_files: N passed, M failed" (cscript exits 0 even on errors).
Option Explicit
Dim passed, failed, args, o, k
passed = 0
failed = 0
Set args = WScript.Arguments
Set o = CreateObject("Sarnlink.clsMTExport")
If o.Initialize(args(0)) Then
  passed = passed + 1
Else
  failed = failed + 1
  WScript.Echo "FAILED: Initialize " & args(0)
End If
o.SetImport
o.SetAuthor ""
For k = 1 To args.Count - 1
  If o.SetPath(args(k)) Then
    On Error Resume Next
    o.Execute
    If Err.Number = 0 Then
      passed = passed + 1
    Else
      failed = failed + 1
      WScript.Echo "FAILED: import of " & args(k) & ": " & Err.Description
    End If
    On Error Goto 0
  Else
    failed = failed + 1
    WScript.Echo "FAILED: SetPath " & args(k)
  End If
Next
WScript.Echo "import_files: " & passed & " passed, " & failed & " failed"
