' A short tour of Ormelin0105 for script authors: run it with
'   cscript //nologo demo.vbs
' after registering the library (regsvr32 Ormelin0105.dll).
Option Explicit

Dim fso, tov, folder, names, name, stream, encoding, mark, order, encodings, marks, orders, list, item
encodings = Array("auto", "ANSI", "UTF-8", "UTF-16")
marks = Array("auto", "no mark", "mark")
orders = Array("auto", "little-endian", "big-endian")
Set fso = CreateObject("Scripting.FileSystemObject")
Set tov = CreateObject("Ormelin0105.tovFSO")
folder = fso.BuildPath(fso.GetSpecialFolder(2), "ormelin-demo")
If Not fso.FolderExists(folder) Then fso.CreateFolder folder

Set stream = fso.CreateTextFile(folder & "\plain.txt", True, False)
stream.Write "Plain text in the ANSI code page"
stream.Close
Set stream = fso.CreateTextFile(folder & "\unicode.txt", True, True)
stream.Write "UTF-16 text with a byte-order mark"
stream.Close

' A list file written as UTF-8 (encoding 2; a mark comes with it unless told
' otherwise), read back without blanks and comments, each item trimmed.
tov.PutFile2 folder & "\list.txt", "first" & vbCrLf & "; a comment" & vbCrLf & vbCrLf & "  second  " & vbCrLf & _
    "third", True, 2
Set list = tov.ReadStandardListFile2(folder & "\list.txt", ";", True, True, True)
WScript.Echo "list.txt holds " & list.Count & " items:"
For Each item In list
    WScript.Echo "  [" & item & "]"
Next

names = Array("plain.txt", "unicode.txt", "list.txt", "missing.txt")
For Each name In names
    encoding = 0
    mark = 0
    order = 0
    If tov.GetFileFormat2ByVar(folder & "\" & name, False, encoding, mark, order) Then
        WScript.Echo name & ": " & encodings(encoding) & ", " & marks(mark) & ", " & orders(order)
    Else
        WScript.Echo name & ": cannot be read"
    End If
Next

On Error Resume Next
tov.GetFileFormat2ByVar folder & "\missing.txt", True
WScript.Echo "With RaiseErrors True a missing file raises error " & Err.Number & " (" & Err.Description & _
    ") from " & Err.Source
On Error GoTo 0
fso.DeleteFolder folder, True
