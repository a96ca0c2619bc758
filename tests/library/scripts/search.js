// The found-files search from JScript: an object literal as the callback,
// whose DirectoryCompleted returns true to cancel.
var fso = new ActiveXObject("Scripting.FileSystemObject");
var folder = fso.BuildPath(fso.GetSpecialFolder(2), "tovrin-search-js");
if (fso.FolderExists(folder)) fso.DeleteFolder(folder, true);
fso.CreateFolder(folder);
fso.CreateFolder(folder + "\\a");
fso.CreateFolder(folder + "\\b");
fso.CreateTextFile(folder + "\\a\\x.txt").Write("xx");

var found = new ActiveXObject("Ormelin0105.tovFoundedFiles");
var completed = [];
var callback = { DirectoryCompleted: function (path, cancel) { completed.push(path); return false; } };
check(found.RefreshEx(folder, "*", false, callback) === true, "RefreshEx with an object literal");
check(completed.length === 3, "three folders completed: " + completed.length);
check(found.Count === 2, "two records: " + found.Count);
var names = [];
for (var e = new Enumerator(found); !e.atEnd(); e.moveNext()) names.push(e.item().FileName);
check(names.join(",") === "a,b", "in the find functions' order: " + names.join(","));

var stopper = { DirectoryCompleted: function (path) { return path === folder + "\\a"; } };
check(found.RefreshEx(folder, "*", false, stopper) === false, "returning true cancels");
check(found.Count === 0, "nothing kept");

var refused = 0;
try { found.RefreshEx(folder, "*", false, {}); } catch (error) { refused = error.number & 0xFFFF; }
check(refused === 438, "an object without DirectoryCompleted is refused: " + refused);

fso.DeleteFolder(folder, true);
finish();
