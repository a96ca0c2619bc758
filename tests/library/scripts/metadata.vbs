' File metadata as a VBScript author uses it: zones, compression with its
' error code in a variable, the recycle bin, time stamps in variables, and
' the streams of a file.

Dim fso, tov, folder

Set fso = CreateObject("Scripting.FileSystemObject")
Set tov = CreateObject("Ormelin0105.tovFSO")
folder = fso.BuildPath(fso.GetSpecialFolder(2), "tovrin-metadata-vbs")
If fso.FolderExists(folder) Then fso.DeleteFolder folder, True
fso.CreateFolder folder

Dim path, stream
path = folder & "\setup.exe"
Set stream = fso.CreateTextFile(path, True)
stream.Write "MZ"
stream.Close

' Zones.
Check tov.GetFileZone(path) = 0, "no zone yet"
Check tov.SetFileZone(path, 3), "SetFileZone"
Check tov.GetFileZone(path) = 3 And tov.IsFileZoneDefined(path), "zone 3 is defined"
Check tov.DeleteFileZone(path), "DeleteFileZone"
Check Not tov.IsFileZoneDefined(path), "the zone is gone"

' Compression: the system's code comes back in the script's variable.
Dim code, format
code = Empty
format = tov.GetFileCompression(folder & "\missing.exe", code)
Check format = -1, "cfError for a missing file: " & format
Check TypeName(code) = "Long" And code = 2, "lpErrorCode is Long 2: " & TypeName(code) & " " & code
code = 99
Check Not tov.SetFileCompression(folder & "\missing.exe", 1, code), "nothing to compress"
Check code = 2, "SetFileCompression's code: " & code

' Time stamps in the script's variables.
Dim created, accessed, written, wanted
wanted = DateSerial(2026, 1, 15) + TimeSerial(12, 0, 0)
Check tov.SetFileDateTime(path, , , wanted), "SetFileDateTime with only the last write"
Check tov.GetFileDateTime(path, created, accessed, written), "GetFileDateTime"
Check TypeName(written) = "Date", "the last write is a Date: " & TypeName(written)
Check written = wanted, "read back exactly: " & written
Check TypeName(created) = "Date" And TypeName(accessed) = "Date", "all three are Dates"
On Error Resume Next
Check Not tov.GetFileDateTime("", created), "no result for an empty name"
Check Err.Number = 5, "an empty name is error 5 whatever RaiseErrors says: " & Err.Number
Err.Clear
On Error GoTo 0

' Streams: Wine has no backup reading, so reading a file's streams fails
' as it does for a missing file, and leaves an empty list.
Dim streams, item, counted
Set streams = CreateObject("Ormelin0105.tovFileStreams")
Check Not streams.ReadFileStreams(folder & "\missing.exe"), "a missing file has no streams"
Check streams.Count = 0, "and the list is empty"
Check Not streams.ReadFileStreams(path), "no backup reading: False"
counted = 0
For Each item In streams
    counted = counted + 1
Next
Check counted = streams.Count, "For Each walks every stream: " & counted

' The recycle bin.
Check tov.RecycleFile(path, True), "RecycleFile past the bin (the C++ tests look into the trash)"
Check Not fso.FileExists(path), "the file left its folder"
Check Not tov.RecycleFile(path), "a missing file is False"

fso.DeleteFolder folder, True
Finish
