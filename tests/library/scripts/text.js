// Text and list files from JScript: strings with characters outside the ANSI
// code page survive every encoding, and the list collection answers to the
// property and enumerator syntax JScript uses.
var fso = new ActiveXObject("Scripting.FileSystemObject");
var tov = new ActiveXObject("Ormelin0105.tovFSO");
var folder = fso.BuildPath(fso.GetSpecialFolder(2), "tovrin-text-js");

if (!fso.FolderExists(folder)) fso.CreateFolder(folder);
var file = folder + "\\text.txt";
var text = "Gr\u00FC\u00DFe \u041F\u0440\u0438\u0432\u0435\u0442 \u20AC \uD83D\uDE00\r\nline 2";

// UTF-8 and UTF-16 in both byte orders, with and without a mark, read back
// with the format the file was written in (no mark: nothing to detect).
var formats = [[2, 1, 1], [2, 2, 1], [3, 1, 1], [3, 2, 1], [3, 1, 2], [3, 2, 2]];
for (var i = 0; i < formats.length; i++) {
    var f = formats[i];
    check(tov.PutFile2(file, text, true, f[0], f[1], f[2]) === true, "PutFile2 " + f);
    var back = f[1] == 2 ? tov.GetFile2(file, true) : tov.GetFile2(file, true, f[0], f[1], f[2]);
    check(back == text, "read back in format " + f + ": " + back.length + " characters");
}

tov.PutFile2(file, "; list\r\n  one \r\n\r\ntwo\r\n;three\r\nFour", true);
var list = tov.ReadStandardListFile2(file, ";", true, true, true);
check(list.Count == 3, "three items, not " + list.Count);
check(list.Item(1) == "one" && list.Item("2") == "two" && list.Item(3) == "Four", "items by position and key");
var items = [];
for (var e = new Enumerator(list); !e.atEnd(); e.moveNext())
    items.push(e.item());
check(items.join("|") == "one|two|Four", "enumerated " + items.join("|"));

try {
    tov.GetFile2(file, false, 4);
    check(false, "an encoding of 4 raises even with RaiseErrors false");
} catch (err) {
    check((err.number & 0xFFFF) == 5, "error 5, not " + (err.number & 0xFFFF));
}

fso.DeleteFolder(folder, true);
finish();
