' Property reads from VBScript: Count of Scripting.Dictionary, of the
' library's Collection and of tovFoundedFiles, one million each, in rounds
' that alternate between them, beside the same loop reading a script
' variable: the difference is each object's dispatch.
'   cscript dispatch_bench.vbs LISTFILE FOLDER
Option Explicit
Dim fso, dictionary, list, found, i, n, started, reads, rounds, round, loopOnly, names, objects, spent, k
reads = 1000000
rounds = 4
Set fso = CreateObject("Ormelin0105.tovFSO")
Set dictionary = CreateObject("Scripting.Dictionary")
dictionary.Add "one", 1
dictionary.Add "two", 2
dictionary.Add "three", 3
Set list = fso.ReadStandardListFile(WScript.Arguments(0), ";", True, True, False, True)
Set found = CreateObject("Ormelin0105.tovFoundedFiles")
found.Refresh WScript.Arguments(1), "*"
names = Split("Scripting.Dictionary.Count|Collection.Count|tovFoundedFiles.Count", "|")
spent = Split("0|0|0", "|")
loopOnly = 0
For round = 1 To rounds
    started = Timer
    For i = 1 To reads \ rounds
        n = i
    Next
    loopOnly = loopOnly + (Timer - started)
    For k = 0 To 2
        If k = 0 Then
            started = Timer
            For i = 1 To reads \ rounds
                n = dictionary.Count
            Next
        ElseIf k = 1 Then
            started = Timer
            For i = 1 To reads \ rounds
                n = list.Count
            Next
        Else
            started = Timer
            For i = 1 To reads \ rounds
                n = found.Count
            Next
        End If
        spent(k) = CDbl(spent(k)) + (Timer - started)
    Next
Next
For k = 0 To 2
    WScript.Echo "  VBScript: " & reads & " reads of " & names(k) & " in " & FormatNumber(spent(k), 2) & _
        " s, the bare loop " & FormatNumber(loopOnly, 2) & " s: " & _
        FormatNumber((spent(k) - loopOnly) * 1000000 / reads, 2) & " us a read"
Next
