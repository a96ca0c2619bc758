' Text and list files as a VBScript author uses them: the twins' write-back,
' the format rules, list files, and errors whatever RaiseErrors says.

Dim fso, tov, folder

Set fso = CreateObject("Scripting.FileSystemObject")
Set tov = CreateObject("Ormelin0105.tovFSO")
folder = fso.BuildPath(fso.GetSpecialFolder(2), "tovrin-text-vbs")
If Not fso.FolderExists(folder) Then fso.CreateFolder folder

Dim path, text, encoding, mark, order, success, result
path = folder & "\notes.txt"

' Written as UTF-8 with a mark, read back with every setting automatic.
Check tov.PutFile2(path, "Gr" & Chr(252) & "sse" & vbCrLf & "line two", True, 2, 2, 1), "PutFile2 UTF-8"
encoding = "0"
success = False
text = tov.GetFile2ByVar(path, True, 0, 0, 0, encoding, mark, order, success)
Check text = "Gr" & Chr(252) & "sse" & vbCrLf & "line two", "the text comes back: " & text
Check TypeName(encoding) = "Long" And encoding = 2, "lpEncoding comes back as the Long 2: " & TypeName(encoding)
Check mark = 2 And order = 1, "with a mark, little-endian: " & mark & order
Check TypeName(success) = "Boolean" And success = True, "lpSuccess comes back True"

' Appending follows the file's own format: no second mark.
result = tov.AppendFile2ByVar(path, vbCrLf & "three", False, 0, 0, 0, encoding, mark, order)
Check result = True And encoding = 2, "AppendFile2ByVar keeps UTF-8"
Check tov.GetFile2ByVar(path) = "Gr" & Chr(252) & "sse" & vbCrLf & "line two" & vbCrLf & "three", "appended once"

' A list file: comments and blanks left out, items keyed by position.
Check tov.OverwriteFile2ByVar(path, "alpha" & vbCrLf & "; note" & vbCrLf & vbCrLf & "  beta  "), "OverwriteFile2ByVar"
Dim list, item, all
Set list = tov.ReadStandardListFile2ByVar(path)
Check list.Count = 2, "two entries, not " & list.Count
all = ""
For Each item In list
    all = all & "[" & item & "]"
Next
Check all = "[alpha][beta]", "entries: " & all
Check list("2") = "beta", "fetched by its key"
Set list = tov.ReadStandardListFile(path, "#", False, False)
Check list.Count = 4, "the first form with other rules keeps every line: " & list.Count

' Errors: a range error whatever RaiseErrors says; a missing file only on request.
On Error Resume Next
text = tov.GetFile2ByVar(path, False, 4)
Check Err.Number = 5, "Encoding 4 raises 5 even without RaiseErrors, not " & Err.Number
Check Err.Source = "tovFSO", "from tovFSO"
Err.Clear
result = tov.PutFile2(folder & "\x.txt", "x", False, 1, 3)
Check Err.Number = 5 And Not fso.FileExists(folder & "\x.txt"), "FileBOM 3 raises 5 and writes nothing"
Err.Clear
success = True
text = tov.GetFile2ByVar(folder & "\missing.txt", False, 0, 0, 0, encoding, mark, order, success)
Check Err.Number = 0 And text = "" And success = False, "a missing file without RaiseErrors: empty, lpSuccess False"
text = tov.GetFile2ByVar(folder & "\missing.txt", True)
Check Err.Number = 53, "a missing file with RaiseErrors raises 53, not " & Err.Number
Err.Clear
On Error GoTo 0

fso.DeleteFolder folder, True
Finish
