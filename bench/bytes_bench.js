// Reads and writes one large file with GetFileB and PutFileB, or copies it
// with the platform's own FileSystemObject, and prints the seconds taken.
//   cscript //nologo bytes_bench.js get|getput|copy SOURCE TARGET
var fso = new ActiveXObject("Scripting.FileSystemObject");
var tov = new ActiveXObject("Ormelin0105.tovFSO");
var mode = WScript.Arguments(0), source = WScript.Arguments(1), target = WScript.Arguments(2);

var start = new Date();
if (mode == "copy") {
    fso.CopyFile(source, target, true);
    WScript.Echo("copy " + (new Date() - start) / 1000);
} else {
    var data = tov.GetFileB(source, true);
    var read = new Date();
    WScript.Echo("get " + (read - start) / 1000);
    if (mode == "getput") {
        tov.PutFileB(target, data, true);
        WScript.Echo("put " + (new Date() - read) / 1000);
    }
}
