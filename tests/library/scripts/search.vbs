' The found-files search as a VBScript author uses it: For Each over the
' records and their Childs, a class of the script's own as the callback,
' and cancelling from it.

Dim fso, found, folder

Class Watcher
    Public Completed
    Public CancelAt
    Public Sub DirectoryCompleted(Path, Cancel)
        Completed = Completed & "|" & Mid(Path, Len(folder) + 1)
        If Path = CancelAt Then Cancel = True
    End Sub
End Class

Function Total(list)
    Dim record
    Total = 0
    For Each record In list
        If record.AttributeDirectory Then
            Total = Total + Total(record.Childs)
        Else
            Total = Total + record.FileSize
        End If
    Next
End Function

Set fso = CreateObject("Scripting.FileSystemObject")
folder = fso.BuildPath(fso.GetSpecialFolder(2), "tovrin-search-vbs")
If fso.FolderExists(folder) Then fso.DeleteFolder folder, True
fso.CreateFolder folder
fso.CreateFolder folder & "\sub"
fso.CreateFolder folder & "\sub\deeper"
fso.CreateTextFile(folder & "\one.txt").Write "12345"
fso.CreateTextFile(folder & "\sub\two.txt").Write "123"
fso.CreateTextFile(folder & "\sub\deeper\three.txt").Write "1"

Set found = CreateObject("Ormelin0105.tovFoundedFiles")
Check found.Refresh(folder, "*"), "Refresh"
Check found.Count = 2, "two records at the top: " & found.Count
Check Total(found) = 9 And found.Size = 9, "sizes of the whole tree: " & Total(found) & " " & found.Size
Check found.Item(0).FileName = "one.txt" And found(1).FileName = "sub", "records by position"

Dim watcher
Set watcher = New Watcher
Check found.RefreshEx(folder, "*", False, watcher), "RefreshEx with a script's callback"
Check watcher.Completed = "|\sub\deeper|\sub|", "post-order: " & watcher.Completed

Set watcher = New Watcher
watcher.CancelAt = folder & "\sub\deeper"
Check Not found.RefreshEx(folder, "*", False, watcher), "cancelled below the top"
Check found.Count = 0 And Not found.HasSubItems, "nothing kept"

On Error Resume Next
found.RefreshEx folder, "*", False, fso
Check Err.Number = 438, "an object without DirectoryCompleted is refused: " & Err.Number
Err.Clear
Dim missing
missing = found.Item(found.Count)
Check Err.Number = 9, "Item(Count) is out of range: " & Err.Number
Err.Clear
On Error GoTo 0

' Searches whose joined names come back to the folder searched: a root with
' an empty or blank mask, separators only, a root named with its parent.
' Each returns at once with what the find functions give for the name, and
' the script reaches its last line (a search that recursed forever ended
' the script host with a stack overflow).
' True with the one record of the root, nothing searched below it.
Sub ExpectTheRootAlone(ok, what)
    Check ok, what & " is True"
    Check found.Count = 1, what & " gives one record, not " & found.Count
    If found.Count = 1 Then Check found.Item(0).Childs.Count = 0, what & ": nothing below the root's record"
End Sub

ExpectTheRootAlone found.Refresh("\", ""), "Refresh(""\"", """")"
ExpectTheRootAlone found.RefreshEx("\", " "), "RefreshEx(""\"", "" "")"
ExpectTheRootAlone found.RefreshEx("\\", "", True), "RefreshEx(""\\"", """", True)"
ExpectTheRootAlone found.Refresh("C:\\\", "\\"), "separators only"
Check found.RefreshEx2("C:\", "", True, Nothing, True), "a root named with its parent"
Check found.Count = 1, "one record for the root"
If found.Count = 1 Then Check found.Item(0).Childs.Count <= 1, "the root below itself at most once"
Check Not found.Refresh("", ""), "no name: False"
Check found.Count = 0, "and nothing found"

fso.DeleteFolder folder, True
Finish
