' Run after the package is installed: the classes come from the installed
' library, registered by the package's own registry table.
Dim shell, fso, tov, version, path
Set shell = CreateObject("WScript.Shell")
Set fso = CreateObject("Scripting.FileSystemObject")
path = shell.RegRead("HKCR\CLSID\{1C795C50-4D5A-4160-9B5C-8AC07EC3A47E}\InprocServer32\")
Check InStr(LCase(path), "program files") > 0 And LCase(fso.GetFileName(path)) = "ormelin0105.dll", "tovFSO is served from Program Files: " & path
Set tov = CreateObject("Ormelin0105.tovFSO")
Check tov.GetFileZone(path) = 0, "tovFSO answers"
Set version = CreateObject("Ormelin0105.tovFileVersion")
Check version.ReadFile(path) And version.FileVerMajor = 1, "the installed library carries its version record"
Dim classes, name
classes = Array("tovDescriptIon", "tovFileStreams", "tovFoundedFiles", "tovFileVersion", "tovShellFileInfo", "IFindFilesCallback")
For Each name In classes
    Check IsObject(CreateObject("Ormelin0105." & name)), name & " can be created"
Next
Check shell.RegRead("HKCR\Applications\Veskar.exe\shell\open\command\") <> "", "Veskar is offered for opening files"
Finish
