# cmake -DBUILD=dir -DPREFIX=dir -DAPP_ID=id -DGUI=0|1 -DSYNTAX=file -DSTARTUP=script -P CheckInstall.cmake
# Installs the build tree into a fresh prefix and checks that every file a
# desktop and a user look for is there; then starts the installed window once.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${out}${err}")
endif()

set(expected
  bin/velmora-cli
  share/velmora/changelog.txt
  share/velmora/manual.md
  share/velmora/samples/prefs.dat
  share/velmora/samples/SAMPLES/chorale.mus
  share/velmora/samples/SAMPLES/chorale.tpl
  share/velmora/samples/SAMPLES/DEMO.MAC
  share/velmora/samples/SAMPLES/BUP8THS.DAT
  share/velmora/samples/SAMPLES/page1.eps
  share/man/man1/velmora-cli.1.gz
  share/doc/velmora/copyright
  share/doc/velmora/changelog.gz)
if(GUI)
  list(APPEND expected
    bin/velmora
    share/applications/${APP_ID}.desktop
    share/icons/hicolor/scalable/apps/${APP_ID}.svg
    share/metainfo/${APP_ID}.metainfo.xml
    share/velmora/velmora3.pdf
    share/velmora/main-window.png
    share/man/man1/velmora.1.gz
    share/icons/hicolor/16x16/apps/${APP_ID}.png
    share/icons/hicolor/256x256/apps/${APP_ID}.png)
endif()
if(EXISTS "${SYNTAX}")
  list(APPEND expected share/velmora/SYNTAX.TXT)
endif()
foreach(file IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "cmake --install did not install ${file}")
  endif()
endforeach()

# The programs run from the prefix; the manual is a PDF.
execute_process(COMMAND "${PREFIX}/bin/velmora-cli" --version RESULT_VARIABLE status OUTPUT_VARIABLE version)
if(NOT status EQUAL 0 OR NOT version MATCHES "^velmora-cli 3\\.7")
  message(FATAL_ERROR "the installed velmora-cli does not run: ${status} ${version}")
endif()
if(GUI)
  file(READ "${PREFIX}/share/velmora/velmora3.pdf" head LIMIT 5)
  if(NOT head MATCHES "^%PDF-")
    message(FATAL_ERROR "velmora3.pdf is not a PDF")
  endif()
  execute_process(COMMAND sh "${STARTUP}" "${PREFIX}/bin/velmora" "${PREFIX}/share/velmora" "${PREFIX}-startup"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the installed window did not install its help files:\n${out}${err}")
  endif()
endif()
list(LENGTH expected count)
message(STATUS "${count} files installed in ${PREFIX}")
