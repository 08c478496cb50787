@echo off
rem Removes the registration of Tavisk 2002 (tavisk2002.dll, beside this script).
rem Close FrontPage 2002 first, and run it as the user who installed it, from an
rem administrator's command prompt.
setlocal
set "DLL=%~dp0tavisk2002.dll"
set "ADDIN_KEY=HKCU\Software\Microsoft\Office\FrontPage\Addins\tavisk2002.Connect"

if not exist "%DLL%" (
  echo Tavisk 2002 was not removed: %DLL% is missing; regsvr32 /u needs the DLL that was registered.
  exit /b 1
)

set "REGSVR=%SystemRoot%\System32\regsvr32.exe"
if exist "%SystemRoot%\SysWOW64\regsvr32.exe" set "REGSVR=%SystemRoot%\SysWOW64\regsvr32.exe"

"%REGSVR%" /u /s "%DLL%"
set "RESULT=%ERRORLEVEL%"
if not "%RESULT%"=="0" (
  echo Tavisk 2002 was not removed: "%REGSVR%" /u /s "%DLL%" failed with code %RESULT%.
  if "%RESULT%"=="5" echo The removal was refused: run this script from a command prompt opened with "Run as administrator".
  exit /b %RESULT%
)

reg query "%ADDIN_KEY%" >nul 2>&1
if not errorlevel 1 (
  echo regsvr32 reported success, but the add-in entry %ADDIN_KEY% is still there.
  exit /b 1
)

echo Tavisk 2002 is removed. FrontPage 2002 no longer loads it at its next start.
exit /b 0
