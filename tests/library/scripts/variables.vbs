' The typed members (not the ByVar twins) called with script variables for
' their by-reference parameters, arguments left out in the middle, as a
' VBScript author writes them.

Dim fso, tov, folder

Set fso = CreateObject("Scripting.FileSystemObject")
Set tov = CreateObject("Ormelin0105.tovFSO")
folder = fso.BuildPath(fso.GetSpecialFolder(2), "tovrin-variables-vbs")
If Not fso.FolderExists(folder) Then fso.CreateFolder folder

Dim path, stream, text, encoding, mark, order, success, sampled
path = folder & "\unicode.txt"
Set stream = fso.CreateTextFile(path, True, True)
stream.Write "text"
stream.Close

' GetFile2 with every out-parameter, four arguments left out before them.
text = tov.GetFile2(path, , , , , encoding, mark, order, success)
Check text = "text", "GetFile2 read the text: " & text
Check TypeName(encoding) = "Long" And encoding = 3, "encoding is Long 3: " & TypeName(encoding) & " " & encoding
Check TypeName(mark) = "Long" And mark = 2, "mark is Long 2: " & TypeName(mark) & " " & mark
Check TypeName(order) = "Long" And order = 1, "order is Long 1: " & TypeName(order) & " " & order
Check TypeName(success) = "Boolean" And success, "success is Boolean True: " & TypeName(success)

' GetFileFormat2 with RaiseErrors left out between the name and the outputs.
encoding = Empty
mark = "0"
order = Empty
sampled = tov.GetFileFormat2(path, , encoding, mark, order)
Check sampled, "GetFileFormat2 sampled the file"
Check TypeName(encoding) = "Long" And encoding = 3, "format encoding: " & TypeName(encoding) & " " & encoding
Check TypeName(mark) = "Long" And mark = 2, "format mark, given as a string: " & TypeName(mark) & " " & mark

' A missing file: the variables the member leaves alone keep their values.
encoding = Empty
mark = 7
success = True
text = tov.GetFile2(folder & "\missing.txt", , , , , encoding, mark, , success)
Check text = "", "nothing read"
Check IsEmpty(encoding), "encoding is still Empty: " & TypeName(encoding)
Check TypeName(mark) = "Integer" And mark = 7, "mark is still Integer 7: " & TypeName(mark)
Check TypeName(success) = "Boolean" And Not success, "success is False"

encoding = Empty
sampled = tov.GetFileFormat2(folder & "\missing.txt", , encoding)
Check Not sampled And IsEmpty(encoding), "GetFileFormat2 on a missing file leaves encoding Empty"

On Error Resume Next
sampled = tov.GetFileFormat2(folder & "\missing.txt", True, encoding)
Check Err.Number = 53, "error 53 with RaiseErrors True, not " & Err.Number
Check Err.Source = "tovFSO", "from tovFSO, not " & Err.Source
Err.Clear
On Error Goto 0

' Variables that held anything: a string, a Date, Empty, an object, a number.
' Each member starts from a value of its own, so the call goes through; a
' variable changes exactly when the member writes it (False and 0 too) and
' keeps its value and type when the member leaves it alone.
Dim ver, initials, k, start, a, b, c, ok
Set ver = CreateObject("Ormelin0105.tovFileVersion")
initials = Array("", CDate("2001-02-03 04:05:06"), Empty, fso, 42)

Sub Load(variable, value)
    If IsObject(value) Then Set variable = value Else variable = value
End Sub

Function Kept(variable, value)
    If IsObject(value) Then
        Kept = IsObject(variable)
        If Kept Then Kept = variable Is value
    ElseIf IsEmpty(value) Then
        Kept = IsEmpty(variable)
    Else
        Kept = TypeName(variable) = TypeName(value) And variable = value
    End If
End Function

Dim missingPath
missingPath = folder & "\missing.txt"
For k = 0 To UBound(initials)
    start = TypeName(initials(k))
    Load a, initials(k) : Load b, initials(k) : Load c, initials(k)
    ok = tov.GetFileFormat2(path, , a, b, c)
    Check ok And TypeName(a) = "Long" And a = 3 And TypeName(b) = "Long" And TypeName(c) = "Long", _
        "GetFileFormat2 over a " & start & ": " & TypeName(a)
    Load a, initials(k) : Load b, initials(k) : Load c, initials(k)
    ok = tov.GetFileFormat2(missingPath, , a, b, c)
    Check Not ok And Kept(a, initials(k)) And Kept(b, initials(k)) And Kept(c, initials(k)), _
        "GetFileFormat2 on a missing file keeps a " & start

    Load a, initials(k) : Load b, initials(k) : Load c, initials(k)
    ok = tov.GetFileDateTime(path, a, b, c)
    Check ok And TypeName(a) = "Date" And TypeName(b) = "Date" And TypeName(c) = "Date", _
        "GetFileDateTime over a " & start & ": " & TypeName(c)
    Load a, initials(k) : Load b, initials(k) : Load c, initials(k)
    ok = tov.GetFileDateTime(missingPath, a, b, c)
    Check Not ok And Kept(a, initials(k)) And Kept(b, initials(k)) And Kept(c, initials(k)), _
        "GetFileDateTime on a missing file keeps a " & start

    Load a, initials(k)
    ok = tov.GetFileCompression(missingPath, a)
    Check TypeName(a) = "Long" And a = 2, "GetFileCompression over a " & start & " writes code 2: " & TypeName(a)

    Load a, initials(k) : Load b, initials(k)
    text = tov.GetFile2(missingPath, , , , , , , , a)
    Check TypeName(a) = "Boolean" And Not a, "GetFile2's lpSuccess over a " & start & " is False: " & TypeName(a)

    Load a, initials(k)
    text = ver.StrInternalName(a)
    Check TypeName(a) = "Boolean" And Not a, "StrInternalName with nothing read over a " & start & ": " & TypeName(a)
Next

fso.DeleteFolder folder, True
Finish
