@echo off
rem Registers Ormelin0105 from this folder: the 32-bit library for 32-bit
rem script hosts and, on 64-bit Windows, the 64-bit one in x64\ for 64-bit
rem hosts (the default cscript, wscript and PowerShell). Run it from an
rem administrator prompt; unregister.cmd undoes it.
setlocal
call :folders
"%SYS32%\regsvr32.exe" /s "%~dp0Ormelin0105.dll"
if errorlevel 1 goto failed
if not defined SYS64 goto done
"%SYS64%\regsvr32.exe" /s "%~dp0x64\Ormelin0105.dll"
if errorlevel 1 goto failed
:done
echo Ormelin0105 is registered.
exit /b 0

:failed
echo Registering Ormelin0105 failed: run register.cmd from an administrator prompt.
exit /b 1

:folders
rem A 32-bit prompt on 64-bit Windows reaches the 64-bit tools through Sysnative.
set "SYS32=%SystemRoot%\System32"
if exist "%SystemRoot%\SysWOW64\regsvr32.exe" set "SYS32=%SystemRoot%\SysWOW64"
set "SYS64="
if defined PROCESSOR_ARCHITEW6432 set "SYS64=%SystemRoot%\Sysnative"
if /i "%PROCESSOR_ARCHITECTURE%"=="AMD64" set "SYS64=%SystemRoot%\System32"
exit /b 0
