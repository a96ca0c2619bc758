// File metadata from JScript: the members whose value is returned.
var fso = new ActiveXObject("Scripting.FileSystemObject");
var tov = new ActiveXObject("Ormelin0105.tovFSO");
var folder = fso.BuildPath(fso.GetSpecialFolder(2), "tovrin-metadata-js");
if (fso.FolderExists(folder)) fso.DeleteFolder(folder, true);
fso.CreateFolder(folder);
var path = folder + "\\notes.txt";
var stream = fso.CreateTextFile(path, true);
stream.Write("text");
stream.Close();

check(tov.SetFileZone(path, 4) === true, "SetFileZone returns true");
check(tov.GetFileZone(path) === 4, "GetFileZone returns 4: " + tov.GetFileZone(path));
check(tov.GetFileCompression(folder + "\\missing.txt") === -1, "cfError for a missing file");
// Wine's JScript has no getVarDate: the date goes as its day count, 15 July 2026 12:00.
check(tov.SetFileDateTime(path, 0, 0, 46218.5) === true, "SetFileDateTime");
check(tov.GetFileDateTime(path) === true, "GetFileDateTime without variables");
var streams = new ActiveXObject("Ormelin0105.tovFileStreams");
check(streams.ReadFileStreams(path) === false, "ReadFileStreams: False without backup reading (Wine)");
check(typeof streams.Count === "number", "Count is a number");
check(tov.RecycleFile(path, true) === true, "RecycleFile past the bin");
check(!fso.FileExists(path), "the file is gone");

fso.DeleteFolder(folder, true);
finish();
