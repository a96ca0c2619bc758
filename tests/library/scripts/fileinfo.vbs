' Version records and the shell's view of a file, as a VBScript author reads
' them: a variable for lpStringExist, the icon as a picture.

Dim fso, version, shell, exists, text, here

Set fso = CreateObject("Scripting.FileSystemObject")
here = fso.GetParentFolderName(fso.GetParentFolderName(WScript.ScriptFullName))
Set version = CreateObject("Ormelin0105.tovFileVersion")
Check version.ReadFile(here & "\Ormelin0105.dll"), "the library's own record"
Check version.FileVerMajor = 1 And version.FileVerMinor = 5, "version 1.5: " & version.FileVerMajor & "." & version.FileVerMinor
exists = Empty
text = version.StrCompanyName(exists)
Check text = "Tovrin" And TypeName(exists) = "Boolean" And exists, "CompanyName with lpStringExist: " & text & " " & TypeName(exists)
text = version.StrSpecialBuild(exists)
Check text = "" And Not exists, "a string that is not there"
Check version.TranslationLanguageID = &H409, "translation language"
Check Not version.ReadFile(here & "\missing.dll"), "a missing file"
Check version.FileName = "" And version.FileVerMajor = 0, "and the object is cleared"

Set shell = CreateObject("Ormelin0105.tovShellFileInfo")
Check shell.EXEType Is Nothing, "nothing read yet"
Check shell.ReadFile(here & "\Veskar.exe"), "the shell knows Veskar"
Check shell.EXEType.Signature = "PE", "a PE program: " & shell.EXEType.Signature
Check shell.Icon Is shell.Icon, "the same icon object on each read"
Check Not (shell.Icon.Icon Is Nothing), "the icon is a picture"
Check Not shell.ReadFile(here & "\missing.exe"), "a missing file"
Check shell.SmallIcon Is Nothing, "no icon after a failed read"

Finish
