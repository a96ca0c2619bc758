// Binary data through a script: GetFileB then PutFileB keeps every byte value.
var fso = new ActiveXObject("Scripting.FileSystemObject");
var tov = new ActiveXObject("Ormelin0105.tovFSO");
var folder = fso.BuildPath(fso.GetSpecialFolder(2), "tovrin-bytes-js");

if (!fso.FolderExists(folder)) fso.CreateFolder(folder);
var source = fso.GetAbsolutePathName("scripts\\allbytes.bin");
var copy = folder + "\\copy.bin";

var data = tov.GetFileB(source, true);
check(tov.PutFileB(copy, data, true) === true, "PutFileB answers true");
check(fso.GetFile(copy).Size == 256, "the copy holds 256 bytes, not " + fso.GetFile(copy).Size);

// Wine's JScript cannot look inside a byte array (its VBArray takes Variant
// arrays only), so the copy is compared with its source through text reads,
// which map each byte to one character of the ANSI code page.
function readAll(path) {
    var stream = fso.OpenTextFile(path, 1);
    var text = stream.Read(fso.GetFile(path).Size);
    stream.Close();
    return text;
}
var original = readAll(source), copied = readAll(copy);
check(copied.length == 256, "read back 256 characters, not " + copied.length);
check(copied == original, "the copy holds the same bytes as its source");

check(tov.AppendFileB(copy, data) === true, "AppendFileB answers true");
check(fso.GetFile(copy).Size == 512, "appending doubles the file");
check(tov.OverwriteFileB(copy, data) === true, "OverwriteFileB answers true");
check(fso.GetFile(copy).Size == 256, "overwriting leaves one copy");

var empty = tov.GetFileB(folder + "\\missing.bin");
check(tov.PutFileB(folder + "\\empty.bin", empty) === true, "an empty array writes an empty file");
check(fso.GetFile(folder + "\\empty.bin").Size == 0, "the empty file is empty");

try {
    tov.GetFileB(folder + "\\missing.bin", true);
    check(false, "a missing file raises with RaiseErrors");
} catch (e) {
    check((e.number & 0xFFFF) == 53, "error 53, not " + (e.number & 0xFFFF));
}

fso.DeleteFolder(folder, true);
finish();
