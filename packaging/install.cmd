@echo off
rem Registers Tavisk 2002 (tavisk2002.dll, beside this script) for FrontPage 2002.
rem Run it from an administrator's command prompt: the COM class is registered
rem for the machine, the add-in entry for the user who runs it.
setlocal
set "DLL=%~dp0tavisk2002.dll"
set "ADDIN_KEY=HKCU\Software\Microsoft\Office\FrontPage\Addins\tavisk2002.Connect"

if not exist "%DLL%" (
  echo Tavisk 2002 was not installed: %DLL% is missing. Unpack the whole archive first.
  exit /b 1
)

rem The add-in is a 32-bit DLL: on 64-bit Windows only the 32-bit regsvr32 in
rem SysWOW64 can load it.
set "REGSVR=%SystemRoot%\System32\regsvr32.exe"
if exist "%SystemRoot%\SysWOW64\regsvr32.exe" set "REGSVR=%SystemRoot%\SysWOW64\regsvr32.exe"

"%REGSVR%" /s "%DLL%"
set "RESULT=%ERRORLEVEL%"
if not "%RESULT%"=="0" (
  echo Tavisk 2002 was not installed: "%REGSVR%" /s "%DLL%" failed with code %RESULT%.
  if "%RESULT%"=="3" echo The DLL could not be loaded: is it a 32-bit regsvr32 loading it, and is the file whole?
  if "%RESULT%"=="5" echo The registration was refused: run this script from a command prompt opened with "Run as administrator".
  exit /b %RESULT%
)

reg query "%ADDIN_KEY%" /v LoadBehavior >nul 2>&1
if errorlevel 1 (
  echo regsvr32 reported success, but the add-in entry %ADDIN_KEY% is missing.
  exit /b 1
)

echo Tavisk 2002 is installed.
echo Start FrontPage 2002, open a web, and choose Tools ^> Halvern Add-ins ^> Tavisk 2002...
exit /b 0
