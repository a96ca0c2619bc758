' File descriptions as a VBScript author keeps them: tovFSO's members for one
' file, and tovDescriptIon for a whole folder.

Dim fso, tov, list, folder

Set fso = CreateObject("Scripting.FileSystemObject")
Set tov = CreateObject("Ormelin0105.tovFSO")
Set list = CreateObject("Ormelin0105.tovDescriptIon")
folder = fso.BuildPath(fso.GetSpecialFolder(2), "tovrin-descriptions-vbs")
If fso.FolderExists(folder) Then fso.DeleteFolder folder, True
fso.CreateFolder folder

Check tov.GetFileDescription(folder & "\report.pdf") = "", "no description yet"
Check tov.SetFileDescription(folder & "\report.pdf", "Quarterly report"), "SetFileDescription"
Check tov.SetFileDescription(folder & "\my notes.txt", "Notes"), "a name with a blank"
Check tov.GetFileDescription(folder & "\REPORT.PDF") = "Quarterly report", "names ignore letter case"
Dim attributes
attributes = fso.GetFile(folder & "\Descript.ion").Attributes
Check 2 = (attributes And 2), "the description file is hidden: " & attributes

Check list.ReadDirectoryFile(folder), "ReadDirectoryFile"
Check list.ItemCount = 2, "two entries, not " & list.ItemCount
Check list.ItemFileName(1) = "my notes.txt", "zero-based positions: " & list.ItemFileName(1)
Check list.ItemFileName(2) = "", "past the end is empty"
Check Not list.RemoveItem(-1), "RemoveItem(-1) is False"
list.AddItem "new.txt", "Added by hand"
Check list.WriteDirectoryFile(""), "rewrites the file last read"
Check tov.GetFileDescription(folder & "\new.txt") = "Added by hand", "the hand-made entry was written"

Check tov.DeleteFileDescription(folder & "\report.pdf"), "DeleteFileDescription"
Check tov.DeleteFileDescription(folder & "\my notes.txt"), "DeleteFileDescription"
Check tov.SetFileDescription(folder & "\new.txt", ""), "an empty text removes the last entry"
Check Not fso.FileExists(folder & "\Descript.ion"), "no entries, no description file"

fso.DeleteFolder folder, True
Finish
