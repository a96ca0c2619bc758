// tovFSO's text-format detection as a JScript author uses it.
var fso = new ActiveXObject("Scripting.FileSystemObject");
var tov = new ActiveXObject("Ormelin0105.tovFSO");
var folder = fso.BuildPath(fso.GetSpecialFolder(2), "tovrin-format-js");

if (!fso.FolderExists(folder)) fso.CreateFolder(folder);
var stream = fso.CreateTextFile(folder + "\\unicode.txt", true, true);
stream.Write("text");
stream.Close();

check(tov.GetFileFormat2ByVar(folder + "\\unicode.txt") === true, "the twin answers true");
check(tov.GetFileFormat2(folder + "\\unicode.txt", true) === true, "the typed method answers true");
check(tov.GetFileFormat2ByVar(folder + "\\missing.txt") === false, "a missing file without RaiseErrors is false");

try {
    tov.GetFileFormat2ByVar(folder + "\\missing.txt", true);
    check(false, "a missing file with RaiseErrors raises");
} catch (e) {
    check((e.number & 0xFFFF) == 53, "error 53, not " + (e.number & 0xFFFF));
    check(((e.number >>> 16) & 0xFFFF) == 0x800A, "an automation error status");
    check(e.description == "File not found", "description: " + e.description);
}

try {
    tov.GetFileFormat2ByVar(folder + "\\unicode.txt", "not a Boolean");
    check(false, "an argument that is no Boolean raises");
} catch (e) {
    check((e.number & 0xFFFF) == 13, "type mismatch, not " + (e.number & 0xFFFF));
}

fso.DeleteFolder(folder, true);
finish();
