// The checks of a script test, put in front of the script by the build:
// check counts each check and names the ones that fail; finish, the
// script's last statement, prints the line the test looks for. Wine's
// cscript may end a script silently on an error, so only a script that
// reached its end prints "ALL n CHECKS PASSED".
var passed = 0, failed = 0;

function check(condition, what) {
    if (condition) {
        passed++;
    } else {
        failed++;
        WScript.Echo("FAIL: " + what);
    }
}

function finish() {
    WScript.Echo(failed === 0 ? WScript.ScriptName + ": ALL " + passed + " CHECKS PASSED"
                              : WScript.ScriptName + ": " + failed + " of " + (passed + failed) + " checks failed");
}

