' One million reads of a collection's Count from VBScript, beside the same
' loop reading a script variable: the difference is the library's dispatch.
'   cscript dispatch_bench.vbs LISTFILE
Option Explicit
Dim fso, list, i, n, started, loopOnly, reads
reads = 1000000
Set fso = CreateObject("Ormelin0105.tovFSO")
Set list = fso.ReadStandardListFile(WScript.Arguments(0), ";", True, True, False, True)
n = 0
started = Timer
For i = 1 To reads
    n = i
Next
loopOnly = Timer - started
started = Timer
For i = 1 To reads
    n = list.Count
Next
WScript.Echo "  VBScript: " & reads & " reads of Count in " & FormatNumber(Timer - started, 2) & _
    " s, the bare loop " & FormatNumber(loopOnly, 2) & " s: " & _
    FormatNumber((Timer - started - loopOnly) * 1000000 / reads, 2) & " us a read (items " & n & ")"
