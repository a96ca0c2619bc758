// File names as scripts give them: each member family reads, writes,
// describes, zones, finds and recycles files whose names are Latin-1,
// Cyrillic, CJK or outside the BMP, under their real names; a name with a
// NUL is refused with error 52 and nothing touched; a relative name is the
// file in the current folder. The test command runs this script twice: in
// the prefix's Western code page and under the UTF-8 system code page.
function errorOf(call) {
    try { call(); } catch (error) { return error.number & 0xFFFF; }
    return 0;
}
var fso = new ActiveXObject("Scripting.FileSystemObject");
var shell = new ActiveXObject("WScript.Shell");
var tov = new ActiveXObject("Ormelin0105.tovFSO");
// A folder of its own for each run: the two runs may overlap.
var folder = fso.BuildPath(fso.GetSpecialFolder(2), "tovrin-names-js-" + (WScript.Arguments.length > 0 ? WScript.Arguments(0) : "ansi"));
if (fso.FolderExists(folder)) fso.DeleteFolder(folder, true);
fso.CreateFolder(folder);
var trash = shell.Environment("PROCESS").Item("TOVRIN_TRASH_FILES");
// Takes what went to the recycle bin under the name out of it again (Wine's
// bin may add a suffix to a name); whether there was any. Wine's own file
// collection cannot be enumerated from JScript: the library's search lists it.
function takeFromTrash(name) {
    var listing = new ActiveXObject("Ormelin0105.tovFoundedFiles"), found = [];
    if (!listing.Refresh(trash, name + "*")) return false;
    for (var t = new Enumerator(listing); !t.atEnd(); t.moveNext()) found.push(trash + "\\" + t.item().FileName);
    for (var f = 0; f < found.length; f++) fso.DeleteFile(found[f], true);
    return found.length > 0;
}

var NUL = String.fromCharCode(0);
var names = [
    "caf" + String.fromCharCode(0xE9),                                   // Latin-1, as before
    String.fromCharCode(0x444, 0x430, 0x439, 0x43B),                      // Cyrillic
    String.fromCharCode(0x6587, 0x4EF6),                                  // CJK
    "smile " + String.fromCharCode(0xD83D, 0xDE00)                        // outside the BMP
];

for (var i = 0; i < names.length; i++) {
    var name = names[i] + ".txt", path = folder + "\\" + name, label = " (" + i + ")";
    check(tov.PutFile2(path, "text " + names[i], true, 2) === true, "PutFile2" + label);
    check(fso.FileExists(path), "the file has its real name" + label);
    check(tov.GetFile2(path, true) === "text " + names[i], "GetFile2 reads it back" + label);
    check(tov.AppendFile2(path, "\r\nmore", true) === true, "AppendFile2" + label);
    check(tov.ReadStandardListFile(path).Count === 2, "ReadStandardListFile" + label);
    check(tov.GetFileFormat2(path, true) === true, "GetFileFormat2" + label);

    check(tov.SetFileDescription(path, "about " + names[i]) === true, "SetFileDescription" + label);
    check(tov.GetFileDescription(path) === "about " + names[i], "GetFileDescription" + label);

    check(tov.SetFileZone(path, 3) === true, "SetFileZone" + label);
    check(tov.GetFileZone(path) === 3, "GetFileZone" + label);
    check(tov.DeleteFileZone(path) === true, "DeleteFileZone" + label);

    var shellInfo = new ActiveXObject("Ormelin0105.tovShellFileInfo");
    check(shellInfo.ReadFile(path) === true, "tovShellFileInfo.ReadFile" + label);

    var found = new ActiveXObject("Ormelin0105.tovFoundedFiles");
    check(found.Refresh(folder, "*.txt") === true, "Refresh" + label);
    var seen = false;
    for (var e = new Enumerator(found); !e.atEnd(); e.moveNext()) seen = seen || e.item().FileName === name;
    check(seen, "the search hands back the real name" + label);
    // The mask is the real name, not "?" for each character the code page lacks.
    var alone = found.Refresh(folder, names[i] + ".*") && found.Count >= 1;
    for (var m = new Enumerator(found); !m.atEnd(); m.moveNext())
        alone = alone && m.item().FileName.indexOf(names[i]) === 0;
    check(alone, "a mask with the name finds that file alone" + label);

    check(tov.RecycleFile(path, false, true) === true, "RecycleFile" + label);
    check(!fso.FileExists(path), "recycled" + label);
    check(takeFromTrash(name), "in the recycle bin" + label);
}
var descriptions = new ActiveXObject("Ormelin0105.tovDescriptIon");
check(descriptions.ReadDirectoryFile(folder) === true, "Descript.ion reads back");
if (WScript.Arguments(0) === "ansi")
    check(descriptions.UTF8Mode === true, "names the OEM code page cannot hold turned Descript.ion to UTF-8");
for (var d = 0; d < names.length; d++)
    check(descriptions.ItemDescriptionByFileName(names[d] + ".txt") === "about " + names[d],
          "Descript.ion keeps the name and its description (" + d + ")");

// A NUL inside a name: error 52, or False where the member does not raise,
// and nothing touched.
var a = folder + "\\a.txt", victim = folder + "\\victim.txt";
tov.PutFile2(a, "a", true);
tov.PutFile2(victim, "victim", true);
check(tov.RecycleFile(a + NUL + victim, false) === false, "RecycleFile of a name with a NUL is False");
check(errorOf(function () { tov.RecycleFile(a + NUL + victim, false, true); }) === 52, "and error 52 when raising");
check(fso.FileExists(a) && fso.FileExists(victim), "both files are still there");
check(tov.SetFileZone(a + NUL, 3) === false, "SetFileZone of a name with a NUL is False");
check(tov.GetFile2(a, true) === "a", "the file's data is untouched");
check(errorOf(function () { tov.GetFile2(a + NUL, true); }) === 52, "GetFile2: error 52");
check(errorOf(function () { tov.PutFile2(folder + "\\new.txt" + NUL + "x", "x", true); }) === 52 &&
      !fso.FileExists(folder + "\\new.txt"), "PutFile2: error 52, nothing created");
check(tov.PutFile2(folder + "\\new.txt" + NUL, "x", false) === false, "False without raising");
check(tov.SetFileDescription(a + NUL, "x") === false, "SetFileDescription: False");
check(new ActiveXObject("Ormelin0105.tovFileVersion").ReadFile(a + NUL) === false, "tovFileVersion: False");
check(new ActiveXObject("Ormelin0105.tovFoundedFiles").Refresh(folder + NUL, "*") === false, "Refresh: False");

// A relative name is the file in the current folder.
shell.CurrentDirectory = folder;
tov.PutFile2("rel.txt", "relative", true);
check(fso.FileExists(folder + "\\rel.txt"), "PutFile2 wrote in the current folder");
check(tov.SetFileZone("rel.txt", 3) === true, "SetFileZone of a relative name");
check(tov.GetFileZone(folder + "\\rel.txt") === 3, "the zone is beside the file");
var recycled = "tovrin-relative-" + WScript.Arguments(0) + ".txt";
takeFromTrash(recycled);
tov.PutFile2(recycled, "relative", true);
check(tov.RecycleFile(recycled, false) === true && !fso.FileExists(folder + "\\" + recycled), "RecycleFile of a relative name");
check(takeFromTrash(recycled), "the relative name went to the recycle bin, not for good");
shell.CurrentDirectory = fso.GetSpecialFolder(2);

fso.DeleteFolder(folder, true);
finish();
