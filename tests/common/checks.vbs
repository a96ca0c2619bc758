' The checks of a script test, put in front of the script by the build (and
' by the installer test): Check counts each check and names the ones that
' fail; Finish, the script's last statement, prints the line the test looks
' for. Wine's cscript may end a script silently on an error, so only a
' script that reached its end prints "ALL n CHECKS PASSED". Option Explicit
' must be the first statement of the file cscript runs: it is this one.
Option Explicit

Dim passed, failed
passed = 0
failed = 0

Sub Check(condition, what)
    If condition Then
        passed = passed + 1
    Else
        failed = failed + 1
        WScript.Echo "FAIL: " & what
    End If
End Sub

Sub Finish()
    If failed = 0 Then
        WScript.Echo WScript.ScriptName & ": ALL " & passed & " CHECKS PASSED"
    Else
        WScript.Echo WScript.ScriptName & ": " & failed & " of " & (passed + failed) & " checks failed"
    End If
End Sub

