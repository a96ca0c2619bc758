// Reads and writes one large text file, or reads it with the stock scripting
// objects, and prints the seconds taken.
//   cscript //nologo text_bench.js get FILE
//   cscript //nologo text_bench.js put FILE TARGET ENCODING
//   cscript //nologo text_bench.js fso FILE UNICODE(0|1)
//   cscript //nologo text_bench.js list FILE
var tov = new ActiveXObject("Ormelin0105.tovFSO");
var args = WScript.Arguments;
var mode = args(0), file = args(1);
var start = new Date();
if (mode == "get") {
    var text = tov.GetFile2(file, true);
    WScript.Echo("GetFile2 " + (new Date() - start) / 1000 + " " + text.length);
} else if (mode == "put") {
    var text = tov.GetFile2(file, true);
    var read = new Date();
    tov.PutFile2(args(2), text, true, parseInt(args(3), 10), 2, 1);
    WScript.Echo("PutFile2 " + (new Date() - read) / 1000 + " " + text.length);
} else if (mode == "fso") {
    var fso = new ActiveXObject("Scripting.FileSystemObject");
    var stream = fso.OpenTextFile(file, 1, false, parseInt(args(2), 10) ? -1 : 0);
    var text = stream.ReadAll();
    stream.Close();
    WScript.Echo("FSO.ReadAll " + (new Date() - start) / 1000 + " " + text.length);
} else if (mode == "list") {
    var list = tov.ReadStandardListFile2(file, ";", true, true, true);
    WScript.Echo("ReadStandardListFile2 " + (new Date() - start) / 1000 + " " + list.Count);
}
