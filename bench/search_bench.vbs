' A recursive walk from VBScript, reading every entry's name, size and
' whether it is a folder:
'   cscript search_bench.vbs tov FOLDER   through tovFoundedFiles.Refresh
'   cscript search_bench.vbs fso FOLDER   through Scripting.FileSystemObject
Option Explicit
Dim mode, folder, started, entries, total
mode = WScript.Arguments(0)
folder = WScript.Arguments(1)
entries = 0
total = 0

Sub ReadRecords(list)
    Dim record, name
    For Each record In list
        name = record.FileName
        entries = entries + 1
        If record.AttributeDirectory Then
            ReadRecords record.Childs
        Else
            total = total + record.FileSize
        End If
    Next
End Sub

Sub WalkFolder(f)
    Dim file, sub_, name
    For Each file In f.Files
        name = file.Name
        total = total + file.Size
        entries = entries + 1
    Next
    For Each sub_ In f.SubFolders
        name = sub_.Name
        entries = entries + 1
        WalkFolder sub_
    Next
End Sub

started = Timer
If mode = "tov" Then
    Dim found
    Set found = CreateObject("Ormelin0105.tovFoundedFiles")
    found.Refresh folder, "*"
    ReadRecords found
Else
    WalkFolder CreateObject("Scripting.FileSystemObject").GetFolder(folder)
End If
WScript.Echo "  VBScript " & mode & ": " & entries & " entries, " & total & " bytes in " & FormatNumber(Timer - started, 2) & " s"
