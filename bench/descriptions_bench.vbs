' The same work as descriptions_bench.exe, from VBScript.
'   cscript descriptions_bench.vbs SOURCE TARGET ENTRIES
Option Explicit
Dim list, entries, i, started, readTime, addTime, lookTime, found, name
entries = CLng(WScript.Arguments(2))
Set list = CreateObject("Ormelin0105.tovDescriptIon")
started = Timer
list.ReadFile WScript.Arguments(0)
readTime = Timer - started
started = Timer
For i = 0 To 9999
    If i Mod 2 = 1 Then
        name = "new" & i & ".txt"
    Else
        name = "FILE" & (i * (entries \ 10000)) & ".TXT"
    End If
    list.AddItem name, "added " & i
Next
addTime = Timer - started
started = Timer
found = 0
For i = 0 To 999
    If list.ItemDescriptionByFileName("File" & (i * 7 + 1) & ".Txt") <> "" Then found = found + 1
Next
lookTime = Timer - started
started = Timer
list.WriteFile WScript.Arguments(1)
WScript.Echo "  VBScript,        " & Right("      " & entries, 6) & " entries: read " & FormatNumber(readTime, 3) & _
    " s, 10000 AddItem " & FormatNumber(addTime, 3) & " s, 1000 lookups " & FormatNumber(lookTime, 3) & _
    " s (" & found & " found), write " & FormatNumber(Timer - started, 3) & " s"
