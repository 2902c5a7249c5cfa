# Installs the build into a fresh prefix and checks that the installed programs
# run and find what they ship. Run by CTest with BUILD and PREFIX set.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "install failed: ${result}")
endif()
foreach(file bin/chorvanta bin/chorvanta-cli share/chorvanta/sample.pcm
             share/chorvanta/manual.htm share/chorvanta/examples/demo/demo.txt
             share/chorvanta/examples/demo/demo.mp3 share/applications/chorvanta.desktop
             share/icons/hicolor/scalable/apps/chorvanta.svg)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
execute_process(COMMAND ${PREFIX}/bin/chorvanta --version OUTPUT_VARIABLE version
                RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT version MATCHES "^Chorvanta Song Editor ")
  message(FATAL_ERROR "chorvanta --version: ${result} ${version}")
endif()
# From another folder, the installed tool reads the installed demo song.
execute_process(COMMAND ${PREFIX}/bin/chorvanta-cli check
                        ${PREFIX}/share/chorvanta/examples/demo/demo.txt
                WORKING_DIRECTORY ${PREFIX} OUTPUT_VARIABLE checked RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT checked MATCHES ": ok: ")
  message(FATAL_ERROR "chorvanta-cli check: ${result} ${checked}")
endif()
file(REMOVE_RECURSE ${PREFIX})
