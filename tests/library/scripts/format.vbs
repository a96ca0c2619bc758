' tovFSO's text-format detection as a VBScript author uses it: the twin's
' write-back into script variables, and the errors a script sees.

Dim fso, tov, folder

Set fso = CreateObject("Scripting.FileSystemObject")
Set tov = CreateObject("Ormelin0105.tovFSO")
folder = fso.BuildPath(fso.GetSpecialFolder(2), "tovrin-format-vbs")
If Not fso.FolderExists(folder) Then fso.CreateFolder folder

Dim stream
Set stream = fso.CreateTextFile(folder & "\unicode.txt", True, True)
stream.Write "text"
stream.Close
Set stream = fso.CreateTextFile(folder & "\ansi.txt", True, False)
stream.Write "text"
stream.Close

Dim encoding, mark, order, result
encoding = "0"
mark = Empty
order = 0
result = tov.GetFileFormat2ByVar(folder & "\unicode.txt", False, encoding, mark, order)
Check result = True, "the file was sampled"
Check TypeName(result) = "Boolean", "the result is a Boolean, not " & TypeName(result)
Check TypeName(encoding) = "Long", "lpEncoding comes back as a Long, not " & TypeName(encoding)
Check TypeName(mark) = "Long", "lpFileBOM comes back as a Long, not " & TypeName(mark)
Check encoding = 3 And mark = 2 And order = 1, "UTF-16 with a mark: " & encoding & mark & order

result = tov.GetFileFormat2ByVar(folder & "\ansi.txt", , encoding)
Check result And encoding = 1, "an argument left out in the middle: " & encoding

On Error Resume Next
encoding = "9"
result = tov.GetFileFormat2ByVar(folder & "\missing.txt", True, encoding)
Check Err.Number = 53, "a missing file raises 53, not " & Err.Number
Check Err.Source = "tovFSO", "the source is tovFSO, not " & Err.Source
Check Err.Description = "File not found", "the description is " & Err.Description
Check TypeName(encoding) = "String" And encoding = "9", "a failed call leaves the variable alone: " & encoding
Err.Clear

result = tov.GetFileFormat2ByVar(folder & "\missing.txt", False, encoding)
Check Err.Number = 0, "without RaiseErrors no error reaches the script: " & Err.Number
Check result = False, "without RaiseErrors the result is False"
Check encoding = 9 And TypeName(encoding) = "Long", "the value passed in comes back, as a Long: " & TypeName(encoding)
Err.Clear

result = tov.GetFileFormat2(folder & "\unicode.txt", True)
Check Err.Number = 0 And result = True, "the typed method answers scripts too: " & Err.Number

Dim unbuilt
Set unbuilt = CreateObject("Ormelin0105.ShellFileEXE")
Check Err.Number = 429, "a class only the library makes cannot be created: " & Err.Number
Check IsEmpty(unbuilt), "and gives no object"
Err.Clear
On Error GoTo 0

fso.DeleteFolder folder, True
Finish
