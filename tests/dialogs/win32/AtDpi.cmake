# cmake -DRUN=wine-run.sh -DPROGRAM=... -DDPI=N -P AtDpi.cmake: runs PROGRAM with the Wine
# prefix at N dots per inch (LogPixels, read as a program starts), then back at 96.
set(key "HKCU\\Control Panel\\Desktop")
execute_process(COMMAND ${RUN} reg add ${key} /v LogPixels /t REG_DWORD /d ${DPI} /f OUTPUT_QUIET)
set(ENV{TAVISK_EXPECTED_DPI} ${DPI})
execute_process(COMMAND ${RUN} ${PROGRAM} RESULT_VARIABLE status)
execute_process(COMMAND ${RUN} reg delete ${key} /v LogPixels /f OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} failed at ${DPI} dpi")
endif()
